#ifndef MENTALRAY_HOST_SCRIPTED_SERVICES_H
#define MENTALRAY_HOST_SCRIPTED_SERVICES_H

#include <map>
#include <optional>
#include <vector>

#include <mentalrayHost/rendererServices.h>

namespace mentalrayHost {

// Services that answer from a script instead of a scene: each light yields
// its listed samples in order, the traces and the irradiance return fixed
// colours (or nothing), connected parameters return fixed values. The
// answers do not depend on the state, so a test knows them in advance.
// Set it up before shading; then it is read-only and may serve several
// threads, unless it records its calls.
class ScriptedServices : public RendererServices {
public:
    struct LightSample {
        miColor colour;
        miVector direction;  // towards the light
    };

    // One received call, for tests that check what the shader asked.
    struct Call {
        enum Kind { SampleLight, ReflectionDirection, TraceReflection, TraceEnvironment, Irradiance, Parameter };
        Kind kind;
        miTag light;            // SampleLight
        const void* parameter;  // Parameter
        miVector direction;     // the traces
        miVector normal;        // the state's normal
        miState state;          // the whole state as given
    };

    void setLightSamples(miTag light, std::vector<LightSample> samples) { lights_[light] = std::move(samples); }
    // Unset: the default mirror direction.
    void setReflectionDirection(std::optional<miVector> direction) { reflectionDirection_ = direction; }
    void setReflection(std::optional<miColor> colour) { reflection_ = colour; }
    void setEnvironment(std::optional<miColor> colour) { environment_ = colour; }
    void setIrradiance(std::optional<miColor> colour) { irradiance_ = colour; }
    // mi_phen_eval answers `value` for `parameter`; the value must outlive the shading.
    void connect(const void* parameter, void* value) { connections_[parameter] = value; }

    // Appends every call to `log` (null stops recording); not thread-safe.
    void record(std::vector<Call>* log) { log_ = log; }

    bool sampleLight(const miState& state, miTag light, miInteger index, miColor& colour,
                     miVector& direction) override;
    void reflectionDirection(const miState& state, miVector& direction) override;
    bool traceReflection(const miState& state, const miVector& direction, miColor& colour) override;
    bool traceEnvironment(const miState& state, const miVector& direction, miColor& colour) override;
    bool computeIrradiance(const miState& state, miColor& irradiance) override;
    void* evaluateParameter(const miState& state, void* parameter) override;

private:
    void note(Call::Kind kind, const miState& state, miTag light = 0, const void* parameter = nullptr,
              miVector direction = {0.0f, 0.0f, 0.0f});

    std::map<miTag, std::vector<LightSample>> lights_;
    std::optional<miVector> reflectionDirection_;
    std::optional<miColor> reflection_, environment_, irradiance_;
    std::map<const void*, void*> connections_;
    std::vector<Call>* log_ = nullptr;
};

}  // namespace mentalrayHost

#endif
