// flakecoat shade --host maya: one shading sample per JSON line, evaluated
// through the plug-in as the host runs it (registry, data block, compute).

#include <cstdio>
#include <iostream>
#include <string>

#include <mayaHost/dataBlock.h>
#include <mayaHost/raytracer.h>

#include "mayaSample.h"
#include "mayaSession.h"
#include "modulePaths.h"
#include "pluginOption.h"
#include "shade.h"

namespace {

// Answers the reflection ray with the line's "trace" colour, found through
// the raySampler address; a sample with a null sampler carries no address,
// so the tracer falls back to the line being evaluated.
class ShadeTracer : public mayaHost::Raytracer {
public:
    const MayaSampleContext* current = nullptr;

    MStatus raytrace(const MFloatVector&, const MFloatVector&, const void*, const void* raySampler, short,
                     MFloatVector& resultColor, MFloatVector&, bool) const override {
        const MayaSampleContext* context =
            raySampler ? static_cast<const MayaSampleContext*>(raySampler) : current;
        if (context && context->hasTrace) resultColor = context->trace;
        return MS::kSuccess;
    }
};

}  // namespace

int shadeMaya(std::istream& input, const std::string& sourceName) {
    std::string error;
    std::unique_ptr<MayaSession> session = MayaSession::open(pluginPath(kPluginFile), error);
    if (!session) {
        std::cerr << "flakecoat shade: " << error << "\n";
        return 2;
    }
    const mayaHost::NodeType& type = session->type();
    mayaHost::DataBlock block(session->node());
    const MObject outColor = type.attribute("outColor");
    const MPlug outColorPlug = session->node().plug(outColor);

    ShadeTracer tracer;
    mayaHost::installRaytracer(&tracer);
    const int status = shadeEachLine(input, sourceName, [&](const nlohmann::json& sample, std::string& message) {
        MayaSampleContext context;
        block.setDefaults();
        if (!applyMayaSample(sample, type, block, context, message)) return false;
        tracer.current = &context;
        const MStatus computed = block.compute(outColorPlug);
        tracer.current = nullptr;
        if (computed != MS::kSuccess) {
            message = std::string("compute failed: ") + computed.errorString().asChar();
            return false;
        }
        const MFloatVector& c = block.value(outColor).asFloatVector();
        std::printf("%.9g %.9g %.9g\n", double(c.x), double(c.y), double(c.z));
        return true;
    });
    mayaHost::installRaytracer(nullptr);
    return status;
}
