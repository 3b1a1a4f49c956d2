#include "maya/mayaAdapter.h"

#include <array>
#include <vector>

#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <mayaHost/dataBlock.h>
#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>
#include <mayaHost/raytracer.h>
#include <mayaHost/registry.h>

#include "kernel/shadingServices.h"
#include "maya/mayaInputs.h"

namespace flakecoat::preview::maya {

namespace {

MFloatVector toMaya(const Vec3& v) { return MFloatVector(v.x, v.y, v.z); }
Vec3 fromMaya(const MFloatVector& v) { return {v.x, v.y, v.z}; }

// What raySampler points at while one sample is shaded.
struct SampleContext {
    ShadingServices* kernel;
    const SurfaceSample* sample;
};

// The renderer's tracer behind MRenderUtil::raytrace.
class SceneTracer : public mayaHost::Raytracer {
public:
    MStatus raytrace(const MFloatVector& rayOrigin, const MFloatVector& rayDirection, const void*,
                     const void* raySampler, short rayDepth, MFloatVector& resultColor,
                     MFloatVector& resultTransparency, bool) const override {
        if (!raySampler) return MS::kFailure;
        const SampleContext& context = *static_cast<const SampleContext*>(raySampler);
        const Camera& camera = context.kernel->camera();
        const Vec3 direction = normalize(camera.directionToWorld(fromMaya(rayDirection)));
        const Ray ray = context.kernel->leavingRay(camera.pointToWorld(fromMaya(rayOrigin)),
                                                   context.sample->geometricNormalWorld, direction);
        const TraceResult traced = context.kernel->trace(ray, int(rayDepth) + 1);
        resultColor = toMaya(traced.color);
        resultTransparency = MFloatVector(0.0f, 0.0f, 0.0f);
        return MS::kSuccess;
    }
};

// The node's attributes the renderer fills, looked up once.
struct SampleAttributes {
    MObject pointCamera, pointWorld, normalCamera, rayOrigin, rayDirection, objectId, raySampler, rayDepth;
    MObject lightDataArray, lightDirection, lightIntensity, lightAmbient, lightDiffuse, lightSpecular,
        lightShadowFraction, preShadowIntensity;
    MObject outColor;
    MPlug outColorPlug;

    explicit SampleAttributes(const mayaHost::Node& node)
        : pointCamera(node.attribute("pointCamera")), pointWorld(node.attribute("pointWorld")),
          normalCamera(node.attribute("normalCamera")), rayOrigin(node.attribute("rayOrigin")),
          rayDirection(node.attribute("rayDirection")), objectId(node.attribute("objectId")),
          raySampler(node.attribute("raySampler")), rayDepth(node.attribute("rayDepth")),
          lightDataArray(node.attribute("lightDataArray")), lightDirection(node.attribute("lightDirection")),
          lightIntensity(node.attribute("lightIntensity")), lightAmbient(node.attribute("lightAmbient")),
          lightDiffuse(node.attribute("lightDiffuse")), lightSpecular(node.attribute("lightSpecular")),
          lightShadowFraction(node.attribute("lightShadowFraction")),
          preShadowIntensity(node.attribute("preShadowIntensity")), outColor(node.attribute("outColor")),
          outColorPlug(node.plug(outColor)) {}
};

class MayaShader;

// One thread's data blocks, one per ray depth: a reflection shades again
// from inside the outer sample's compute.
class MayaWorker : public SurfaceWorker {
public:
    MayaWorker(const MayaShader& shader);
    Color shade(const SurfaceSample& sample, ShadingServices& services) override;
    const mayaHost::DataBlock* block(int rayDepth) const {
        return rayDepth >= 0 && rayDepth < int(blocks_.size()) ? blocks_[size_t(rayDepth)].get() : nullptr;
    }

private:
    const MayaShader& shader_;
    std::array<std::unique_ptr<mayaHost::DataBlock>, ShadingServices::kMaxTraceDepth + 1> blocks_;
};

class MayaShader : public PaintedSurfaceShader {
public:
    MayaShader(const mayaHost::Node& node, const std::vector<Setting>& settings, int lightCount)
        : node_(node), attributes_(node), settings_(settings), lightCount_(lightCount) {}
    std::unique_ptr<SurfaceWorker> makeWorker() const override { return std::make_unique<MayaWorker>(*this); }

    const mayaHost::Node& node() const { return node_; }
    const SampleAttributes& attributes() const { return attributes_; }
    int lightCount() const { return lightCount_; }

    std::unique_ptr<mayaHost::DataBlock> makeBlock() const {
        auto block = std::make_unique<mayaHost::DataBlock>(node_);
        for (const Setting& value : settings_) writeInput(node_, value, *block);
        block->reserveElements(attributes_.lightDataArray, unsigned(lightCount_));
        return block;
    }

private:
    const mayaHost::Node& node_;
    SampleAttributes attributes_;
    std::vector<Setting> settings_;
    int lightCount_;
};

MayaWorker::MayaWorker(const MayaShader& shader) : shader_(shader) {
    for (auto& block : blocks_) block = shader.makeBlock();
}

Color MayaWorker::shade(const SurfaceSample& sample, ShadingServices& services) {
    if (sample.rayDepth < 0 || sample.rayDepth >= int(blocks_.size())) return Color();
    mayaHost::DataBlock& block = *blocks_[size_t(sample.rayDepth)];
    const SampleAttributes& a = shader_.attributes();
    const Camera& camera = services.camera();
    SampleContext context{&services, &sample};

    // Geometry and ray
    block.value(a.pointCamera).set(toMaya(sample.pointCamera));
    block.value(a.pointWorld).set(toMaya(sample.pointWorld));
    block.value(a.normalCamera).set(toMaya(sample.normalCamera));
    block.value(a.rayOrigin).set(toMaya(camera.pointToCamera(sample.rayOriginWorld)));
    block.value(a.rayDirection).set(toMaya(sample.rayDirectionCamera));
    block.value(a.objectId).setAddr(const_cast<void*>(sample.object));
    block.value(a.raySampler).setAddr(&context);
    block.value(a.rayDepth).set(short(sample.rayDepth));

    // One light element per light, then one per pick of the environment's
    // lights, each carrying its share of the picks' mean.
    const int lights = services.lightCount();
    const int picks = services.environmentPickCount(sample.rayDepth);
    block.setElementCount(a.lightDataArray, unsigned(lights + picks));
    const auto setElement = [&](int index, const Vec3& towards, const Color& intensity, const Color& unshadowed,
                                bool ambient) {
        const float before = (unshadowed.x + unshadowed.y + unshadowed.z) / 3.0f;
        const float after = (intensity.x + intensity.y + intensity.z) / 3.0f;
        MDataHandle handle = block.element(a.lightDataArray, unsigned(index));
        handle.child(a.lightDirection).set(toMaya(towards));
        handle.child(a.lightIntensity).set(toMaya(intensity));
        handle.child(a.lightAmbient).set(ambient);
        handle.child(a.lightDiffuse).set(!ambient);
        handle.child(a.lightSpecular).set(!ambient);
        handle.child(a.lightShadowFraction).set(before > 0.0f ? 1.0f - after / before : 0.0f);
        handle.child(a.preShadowIntensity).set(before);
    };
    for (int i = 0; i < lights; ++i) {
        const Light& light = services.light(i);
        Color unshadowed;
        const LightSample element =
            services.averagedLight(i, sample.pointWorld, sample.geometricNormalWorld, &unshadowed, sample.rayDepth);
        const bool ambient = light.kind == LightKind::Ambient;
        const Vec3 towards = ambient ? sample.normalCamera : camera.directionToCamera(element.towardsLight);
        setElement(i, towards, element.intensity, unshadowed, ambient);
    }
    for (int k = 0; k < picks; ++k) {
        const ShadowedLightSample picked =
            services.sampleEnvironmentLight(k, picks, sample.pointWorld, sample.geometricNormalWorld);
        const float share = 1.0f / float(picks);
        setElement(lights + k, camera.directionToCamera(picked.light.towardsLight), picked.light.intensity * share,
                   picked.unshadowedIntensity * share, false);
    }

    // Request the colour
    block.compute(a.outColorPlug);
    return fromMaya(block.value(a.outColor).asFloatVector());
}

class MayaRenderHost : public RenderHost {
public:
    MayaRenderHost(std::unique_ptr<mayaHost::PluginLibrary> library, std::unique_ptr<mayaHost::Node> node)
        : library_(std::move(library)), node_(std::move(node)), inputs_(nodeInputs(node_->type())) {
        mayaHost::installRaytracer(&tracer_);
    }
    // A plug-in that fails to unload leaves nothing this process uses.
    ~MayaRenderHost() override {
        mayaHost::installRaytracer(nullptr);
        node_.reset();
        std::string ignored;
        library_->unload(ignored);
    }

    const std::string& name() const override { return name_; }
    const std::vector<ShadingInput>& inputs() const override { return inputs_; }
    std::unique_ptr<PaintedSurfaceShader> makeShader(const Scene& scene, const Look& look) const override {
        return std::make_unique<MayaShader>(*node_, look.settings(),
                                            int(scene.lights.size()) + scene.environmentLights.picks);
    }

private:
    std::string name_ = "maya";
    std::unique_ptr<mayaHost::PluginLibrary> library_;
    std::unique_ptr<mayaHost::Node> node_;
    std::vector<ShadingInput> inputs_;
    SceneTracer tracer_;
};

}  // namespace

const mayaHost::DataBlock* workerDataBlock(const SurfaceWorker& worker, int rayDepth) {
    const auto* mayaWorker = dynamic_cast<const MayaWorker*>(&worker);
    return mayaWorker ? mayaWorker->block(rayDepth) : nullptr;
}

std::unique_ptr<RenderHost> loadMayaHost(const std::string& libraryDirectory, std::string& error) {
    return loadMayaHostFrom(libraryDirectory + kPluginFile, error);
}

std::unique_ptr<RenderHost> loadMayaHostFrom(const std::string& path, std::string& error) {
    std::unique_ptr<mayaHost::PluginLibrary> library = mayaHost::PluginLibrary::load(path, error);
    if (!library) return nullptr;
    std::unique_ptr<mayaHost::Node> node = mayaHost::Node::create("flakeCoat", error);
    if (!node) {
        error = path + ": " + error;
        std::string ignored;
        library->unload(ignored);
        return nullptr;
    }
    return std::make_unique<MayaRenderHost>(std::move(library), std::move(node));
}

}  // namespace flakecoat::preview::maya
