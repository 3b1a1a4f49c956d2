#include "mentalray/mentalrayAdapter.h"

#include <algorithm>
#include <vector>

#include <mentalrayHost/compiledDeclaration.h>
#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/rendererServices.h>
#include <mentalrayHost/shaderLibrary.h>
#include <mentalrayHost/shadingSample.h>

#include "kernel/shadingServices.h"
#include "mentalray/declaredInputs.h"

namespace flakecoat::preview::mentalray {

namespace {

miVector toMi(const Vec3& v) { return {v.x, v.y, v.z}; }
Vec3 fromMi(const miVector& v) { return {v.x, v.y, v.z}; }

// The renderer's answers for one sample, on the stack of that sample's
// shading call; the shader's copy of the state carries its address.
class SampleServices : public mentalrayHost::RendererServices {
public:
    SampleServices(ShadingServices& kernel, const SurfaceSample& sample) : kernel_(kernel), sample_(sample) {}

    bool sampleLight(const miState& state, miTag tag, miInteger index, miColor& colour,
                     miVector& direction) override {
        const int lightIndex = int(tag) - 1;
        if (lightIndex == kernel_.lightCount()) return sampleEnvironment(state, index, colour, direction);
        if (lightIndex < 0 || lightIndex >= kernel_.lightCount()) return false;
        const int count = kernel_.lightSamples(lightIndex, sample_.rayDepth);
        if (index < 0 || index >= count) return false;
        const ShadowedLightSample sample =
            kernel_.sampleShadowedLight(lightIndex, sample_.pointWorld, sample_.geometricNormalWorld, index, count);
        const float facing = dot(sample.light.towardsLight, fromMi(state.normal));
        // A single-sample light behind the surface gives no sample at all; an
        // area light's sample from behind counts, in black, in its mean.
        if (count == 1 && !(facing > 0.0f)) return false;
        const Color c = facing > 0.0f ? sample.light.intensity : Color();
        colour = {c.x, c.y, c.z, 1.0f};
        direction = toMi(sample.light.towardsLight);
        return true;
    }

    // The environment's lights are one light of several samples, each
    // sample a pick: the shader's mean of them is the environment's light.
    // A pick from behind the surface counts, in black, as an area light's.
    bool sampleEnvironment(const miState& state, miInteger index, miColor& colour, miVector& direction) {
        const int picks = kernel_.environmentPickCount(sample_.rayDepth);
        if (index < 0 || index >= picks) return false;
        const ShadowedLightSample sample =
            kernel_.sampleEnvironmentLight(index, picks, sample_.pointWorld, sample_.geometricNormalWorld);
        const float facing = dot(sample.light.towardsLight, fromMi(state.normal));
        const Color c = facing > 0.0f ? sample.light.intensity : Color();
        colour = {c.x, c.y, c.z, 1.0f};
        direction = toMi(sample.light.towardsLight);
        return true;
    }

    bool traceReflection(const miState& state, const miVector& direction, miColor& colour) override {
        if (state.reflection_level >= kMaxReflectionLevel) return false;
        const Ray ray =
            kernel_.leavingRay(sample_.pointWorld, sample_.geometricNormalWorld, normalize(fromMi(direction)));
        const TraceResult traced = kernel_.trace(ray, sample_.rayDepth + 1);
        if (!traced.hit) return false;
        colour = {traced.color.x, traced.color.y, traced.color.z, 1.0f};
        return true;
    }

    bool traceEnvironment(const miState&, const miVector& direction, miColor& colour) override {
        const Color c = kernel_.environment(normalize(fromMi(direction)));
        colour = {c.x, c.y, c.z, 1.0f};
        return true;
    }

    bool computeIrradiance(const miState&, miColor& irradiance) override {
        const Color e = kernel_.irradiance(sample_.pointWorld, sample_.normalWorld, kIrradianceSamples);
        irradiance = {e.x, e.y, e.z, 1.0f};
        return true;
    }

private:
    ShadingServices& kernel_;
    const SurfaceSample& sample_;
};

class MentalrayShader;

class MentalrayWorker : public SurfaceWorker {
public:
    explicit MentalrayWorker(const MentalrayShader& shader) : shader_(shader) {}
    Color shade(const SurfaceSample& sample, ShadingServices& services) override;

private:
    const MentalrayShader& shader_;
};

class MentalrayShader : public PaintedSurfaceShader {
public:
    MentalrayShader(const mentalrayHost::ShaderLibrary& library, std::unique_ptr<mentalrayHost::ParameterBlock> block)
        : library_(library), block_(std::move(block)) {}
    std::unique_ptr<SurfaceWorker> makeWorker() const override { return std::make_unique<MentalrayWorker>(*this); }

    Color shade(const SurfaceSample& sample, ShadingServices& services) const {
        mentalrayHost::SurfaceHit hit;
        hit.origin = toMi(sample.rayOriginWorld);
        hit.direction = toMi(sample.rayDirectionWorld);
        hit.distance = length(sample.pointWorld - sample.rayOriginWorld);
        hit.point = toMi(sample.pointWorld);
        hit.normal = toMi(sample.normalWorld);
        hit.geometricNormal = toMi(sample.geometricNormalWorld);
        hit.u = sample.u;
        hit.v = sample.v;
        hit.reflectionLevel = sample.rayDepth;
        SampleServices sampleServices(services, sample);
        mentalrayHost::ShadingSample state(hit, block_->function(), &sampleServices);
        // The renderer hands the shader a cleared result record.
        miColor result{0.0f, 0.0f, 0.0f, 0.0f};
        library_.shade(&result, &state.state(), block_->data());
        return {result.r, result.g, result.b};
    }

private:
    const mentalrayHost::ShaderLibrary& library_;
    std::unique_ptr<mentalrayHost::ParameterBlock> block_;  // read by the shader only
};

Color MentalrayWorker::shade(const SurfaceSample& sample, ShadingServices& services) {
    return shader_.shade(sample, services);
}

class MentalrayRenderHost : public RenderHost {
public:
    MentalrayRenderHost(std::unique_ptr<mentalrayHost::ShaderLibrary> library,
                        mentalrayHost::ShaderDeclaration declaration, std::vector<ShadingInput> inputs)
        : library_(std::move(library)), declaration_(std::move(declaration)), inputs_(std::move(inputs)) {}

    const std::string& name() const override { return name_; }
    const std::vector<ShadingInput>& inputs() const override { return inputs_; }

    std::unique_ptr<PaintedSurfaceShader> makeShader(const Scene& scene, const Look& look) const override {
        // A block with one slot per light the renderer knows
        std::vector<miTag> tags;
        for (size_t i = 0; i < scene.lights.size(); ++i)
            if (scene.lights[i].kind != LightKind::Ambient) tags.push_back(miTag(i + 1));
        // and one for the environment's lights
        if (!scene.environmentLights.empty()) tags.push_back(miTag(scene.lights.size() + 1));
        auto block = std::make_unique<mentalrayHost::ParameterBlock>(declaration_, int(tags.size()));
        for (const Setting& value : look.settings()) writeSetting(declaration_, value, *block);
        const mentalrayHost::DeclaredParameter& light = *declaration_.find("light");
        block->at<miInteger>(light.firstIndexOffset()) = block->firstElementIndex();
        block->at<miInteger>(light.countOffset()) = miInteger(tags.size());
        std::copy(tags.begin(), tags.end(), block->arrayElements());
        return std::make_unique<MentalrayShader>(*library_, std::move(block));
    }

private:
    std::string name_ = "mentalray";
    std::unique_ptr<mentalrayHost::ShaderLibrary> library_;
    mentalrayHost::ShaderDeclaration declaration_;
    std::vector<ShadingInput> inputs_;
};

}  // namespace

std::unique_ptr<RenderHost> loadMentalrayHostFrom(const std::string& shaderLibraryPath, const std::string& modulePath,
                                                  const std::string& declarationPath, std::string& error) {
    mentalrayHost::ShaderDeclaration declaration;
    if (!mentalrayHost::readShaderDeclaration(declarationPath, declaration, error)) return nullptr;
    // The scene's lights go into the light array.
    if (declaration.name != "tarn_flakeCoat" || !declaration.findArray("light", mentalrayHost::ParameterType::Light)) {
        error = declarationPath + ":" + std::to_string(declaration.closeLine) +
                ": does not declare tarn_flakeCoat with a light array \"light\"";
        return nullptr;
    }
    // The library reads the block by the layout it was compiled with.
    if (!mentalrayHost::matchesCompiledDeclaration(declaration, declarationPath, error)) return nullptr;
    // The interface hints beside the declaration, if the file has them
    std::vector<ShadingInput> inputs = declaredInputs(declaration);
    mentalrayHost::ShaderGui gui;
    bool hinted = false;
    if (!mentalrayHost::readShaderGui(declarationPath, "gui_" + declaration.name, gui, hinted, error) ||
        (hinted && !applyGuiHints(gui, declaration, declarationPath, inputs, error)))
        return nullptr;
    std::unique_ptr<mentalrayHost::ShaderLibrary> library =
        mentalrayHost::ShaderLibrary::open(shaderLibraryPath, modulePath, error);
    if (!library) return nullptr;
    return std::make_unique<MentalrayRenderHost>(std::move(library), std::move(declaration), std::move(inputs));
}

std::unique_ptr<RenderHost> loadMentalrayHost(const std::string& libraryDirectory, std::string& error) {
    return loadMentalrayHostFrom(libraryDirectory + kShaderLibraryFile, libraryDirectory + kRendererModuleFile,
                                 libraryDirectory + kDeclarationFile, error);
}

}  // namespace flakecoat::preview::mentalray
