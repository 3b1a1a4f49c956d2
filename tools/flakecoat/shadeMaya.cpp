// flakecoat shade --host maya: each sample set into a data block of a
// flakeCoat node and evaluated by the node's compute, as the host runs it.

#include <mayaHost/dataBlock.h>
#include <mayaHost/raytracer.h>

#include "mayaSample.h"
#include "mayaSession.h"
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

class MayaShader : public SampleShader {
public:
    explicit MayaShader(std::unique_ptr<MayaSession> session)
        : session_(std::move(session)), block_(session_->node()),
          outColor_(session_->type().attribute("outColor")), outColorPlug_(session_->node().plug(outColor_)) {
        mayaHost::installRaytracer(&tracer_);
    }
    ~MayaShader() override { mayaHost::installRaytracer(nullptr); }

    bool shade(const nlohmann::json& sample, float* components, int& count, std::string& error) override {
        MayaSampleContext context;
        block_.setDefaults();
        if (!applyMayaSample(sample, session_->type(), block_, context, error)) return false;
        tracer_.current = &context;
        const MStatus computed = block_.compute(outColorPlug_);
        tracer_.current = nullptr;
        if (computed != MS::kSuccess) {
            error = std::string("compute failed: ") + computed.errorString().asChar();
            return false;
        }
        const MFloatVector& c = block_.value(outColor_).asFloatVector();
        components[0] = c.x;
        components[1] = c.y;
        components[2] = c.z;
        count = 3;
        return true;
    }

private:
    std::unique_ptr<MayaSession> session_;
    mayaHost::DataBlock block_;
    MObject outColor_;
    MPlug outColorPlug_;
    ShadeTracer tracer_;
};

}  // namespace

std::unique_ptr<SampleShader> openMayaShader(const std::string& libraryPath, std::string& error) {
    std::unique_ptr<MayaSession> session = MayaSession::open(libraryPath, error);
    if (!session) return nullptr;
    return std::make_unique<MayaShader>(std::move(session));
}
