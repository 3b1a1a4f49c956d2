#include <mentalrayHost/scriptedServices.h>

namespace mentalrayHost {

void ScriptedServices::note(Call::Kind kind, const miState& state, miTag light, const void* parameter,
                            miVector direction) {
    if (log_) log_->push_back(Call{kind, light, parameter, direction, state.normal, state});
}

bool ScriptedServices::sampleLight(const miState& state, miTag light, miInteger index, miColor& colour,
                                   miVector& direction) {
    note(Call::SampleLight, state, light);
    const auto found = lights_.find(light);
    if (found == lights_.end() || index < 0 || std::size_t(index) >= found->second.size()) return false;
    colour = found->second[std::size_t(index)].colour;
    direction = found->second[std::size_t(index)].direction;
    return true;
}

void ScriptedServices::reflectionDirection(const miState& state, miVector& direction) {
    note(Call::ReflectionDirection, state);
    if (reflectionDirection_) {
        direction = *reflectionDirection_;
    } else {
        RendererServices::reflectionDirection(state, direction);
    }
}

bool ScriptedServices::traceReflection(const miState& state, const miVector& direction, miColor& colour) {
    note(Call::TraceReflection, state, 0, nullptr, direction);
    if (!reflection_) return false;
    colour = *reflection_;
    return true;
}

bool ScriptedServices::traceEnvironment(const miState& state, const miVector& direction, miColor& colour) {
    note(Call::TraceEnvironment, state, 0, nullptr, direction);
    if (!environment_) return false;
    colour = *environment_;
    return true;
}

bool ScriptedServices::computeIrradiance(const miState& state, miColor& irradiance) {
    note(Call::Irradiance, state);
    if (!irradiance_) return false;
    irradiance = *irradiance_;
    return true;
}

void* ScriptedServices::evaluateParameter(const miState& state, void* parameter) {
    note(Call::Parameter, state, 0, parameter);
    const auto found = connections_.find(parameter);
    return found == connections_.end() ? parameter : found->second;
}

}  // namespace mentalrayHost
