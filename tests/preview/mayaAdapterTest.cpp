// What the Maya software-renderer stand-in fills in for a sample on the ball,
// read back from the node's data block after its compute, and what its
// tracer returns. Camera-space values are worked out by hand: the eye is at
// (0, 1, 5) looking down -z with y up, so camera space is world space
// shifted by (0, -1, -5).

#include <cmath>
#include <string>

#include <gtest/gtest.h>
#include <maya/MDataHandle.h>
#include <mayaHost/dataBlock.h>
#include <mayaHost/raytracer.h>
#include <mayaHost/registry.h>

#include "kernel/shadingServices.h"
#include "maya/mayaAdapter.h"

namespace fp = flakecoat::preview;

namespace {

// Lights: 0 a point light 3 in front of the ball's front point (0, 1, 1);
// 1 an ambient light; 2 a 1 x 1 panel 5 in front of that point, facing it;
// 3 a point light behind the ball, which the ball hides from that point.
fp::Scene probeScene(bool onlyFirstLight = false) {
    fp::Light point;
    point.position = {0, 1, 4};
    point.intensity = 9.0f;  // 1 at distance 3
    fp::Light ambient;
    ambient.kind = fp::LightKind::Ambient;
    ambient.intensity = 0.25f;
    fp::Light panel;
    panel.kind = fp::LightKind::Area;
    panel.position = {0, 1, 6};
    panel.edgeU = {1, 0, 0};
    panel.edgeV = {0, -1, 0};  // emits towards -z, at the ball
    panel.intensity = 25.0f;
    panel.samples = 4;
    fp::Light behind;
    behind.position = {0, 1, -4};
    behind.intensity = 25.0f;  // 1 at distance 5
    std::vector<fp::Light> lights = {point, ambient, panel, behind};
    if (onlyFirstLight) lights.resize(1);
    return fp::Scene{fp::Camera({0, 1, 5}, {0, 1, 0}, {0, 1, 0}, 30.0f, 1.0f),
                     fp::Sphere{{0, 1, 0}, 1.0f},
                     true,
                     fp::Plane{},
                     std::move(lights),
                     fp::Environment(),
                     nullptr,
                     fp::kRayEpsilon,
                     1.0f,
                     {},
                     false};
}

class MayaAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        host = fp::maya::loadMayaHost(FLAKECOAT_LIBRARY_DIR, error);
        ASSERT_TRUE(host) << error;
    }

    // Shades where the ray meets the ball at `depth`; keeps the worker.
    fp::Color shadeAlong(const fp::Scene& scene, const fp::Ray& ray, int depth = 0) {
        shader = host->makeShader(scene, look);
        worker = shader->makeWorker();
        fp::SampleRandom random(1, 0, 0);
        fp::ShadingServices services(scene, *worker, random);
        return services.trace(ray, depth).color;
    }

    static MObject attribute(const char* name) { return mayaHost::findNodeType("flakeCoat")->attribute(name); }
    mayaHost::DataBlock& block(int depth) {
        return *const_cast<mayaHost::DataBlock*>(fp::maya::workerDataBlock(*worker, depth));
    }
    MDataHandle value(int depth, const char* name) { return block(depth).value(attribute(name)); }
    MDataHandle light(int index, const char* child) {
        return block(0).element(attribute("lightDataArray"), unsigned(index)).child(attribute(child));
    }

    std::unique_ptr<fp::RenderHost> host;
    fp::Look look;
    std::unique_ptr<fp::PaintedSurfaceShader> shader;
    std::unique_ptr<fp::SurfaceWorker> worker;
};

void expectVector(const MFloatVector& actual, const fp::Vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace

TEST_F(MayaAdapter, EyeRaySampleAttributesInCameraAndWorldSpace) {
    shadeAlong(probeScene(), fp::Ray{{0, 1, 5}, {0, 0, -1}});
    ASSERT_TRUE(fp::maya::workerDataBlock(*worker, 0));
    expectVector(value(0, "pointCamera").asFloatVector(), {0, 0, -4});
    expectVector(value(0, "pointWorld").asFloatVector(), {0, 1, 1});
    expectVector(value(0, "normalCamera").asFloatVector(), {0, 0, 1});
    expectVector(value(0, "rayDirection").asFloatVector(), {0, 0, -1});
    expectVector(value(0, "rayOrigin").asFloatVector(), {0, 0, 0});
    EXPECT_EQ(value(0, "rayDepth").asShort(), 0);
    EXPECT_NE(value(0, "raySampler").asAddr(), nullptr);
    EXPECT_NE(value(0, "objectId").asAddr(), nullptr);
}

TEST_F(MayaAdapter, OneLightElementPerLightWithFlagsAndShadows) {
    shadeAlong(probeScene(), fp::Ray{{0, 1, 5}, {0, 0, -1}});
    EXPECT_EQ(block(0).elementCount(attribute("lightDataArray")), 4u);
    // Point light: straight ahead, 9 / 3^2 = 1, diffuse and specular.
    expectVector(light(0, "lightDirection").asFloatVector(), {0, 0, 1});
    expectVector(light(0, "lightIntensity").asFloatVector(), {1, 1, 1});
    EXPECT_FALSE(light(0, "lightAmbient").asBool());
    EXPECT_TRUE(light(0, "lightDiffuse").asBool());
    EXPECT_TRUE(light(0, "lightSpecular").asBool());
    EXPECT_NEAR(light(0, "lightShadowFraction").asFloat(), 0.0f, 1e-6f);
    // Ambient light: only lightAmbient, its intensity as it is.
    EXPECT_TRUE(light(1, "lightAmbient").asBool());
    EXPECT_FALSE(light(1, "lightDiffuse").asBool());
    EXPECT_FALSE(light(1, "lightSpecular").asBool());
    EXPECT_NEAR(light(1, "lightIntensity").asFloatVector().x, 0.25f, 1e-6f);
    // Panel: towards its centre, the mean of samples each 25 cos / d^2 with
    // d^2 from 25 to 25.5, so between 0.9707 and 1.
    expectVector(light(2, "lightDirection").asFloatVector(), {0, 0, 1});
    EXPECT_GT(light(2, "lightIntensity").asFloatVector().y, 0.9707f);
    EXPECT_LE(light(2, "lightIntensity").asFloatVector().y, 1.0f);
    // Behind the ball: hidden by the ball itself, fully shadowed; its
    // unshadowed value 25 / 5^2 = 1 stays in preShadowIntensity.
    expectVector(light(3, "lightDirection").asFloatVector(), {0, 0, -1});
    expectVector(light(3, "lightIntensity").asFloatVector(), {0, 0, 0});
    EXPECT_NEAR(light(3, "lightShadowFraction").asFloat(), 1.0f, 1e-6f);
    EXPECT_NEAR(light(3, "preShadowIntensity").asFloat(), 1.0f, 1e-5f);
}

TEST_F(MayaAdapter, ReflectedHitsAreShadedAtDepthOne) {
    shadeAlong(probeScene(), fp::Ray{{0, 1, 5}, {0, 0, -1}}, 1);
    EXPECT_EQ(value(1, "rayDepth").asShort(), 1);
    expectVector(value(1, "pointWorld").asFloatVector(), {0, 1, 1});
    EXPECT_NE(value(1, "raySampler").asAddr(), nullptr);
}

TEST_F(MayaAdapter, TracerReturnsTheEnvironmentOnAMissAndTheSceneOnAHit) {
    // Only the traced reflection left in the colour: no diffuse, no
    // specular, colour black, reflectivity 1.
    look = host->look();
    std::string error;
    for (const char* text : {"reflectivity=1", "diffuse=0", "specularPower=0", "color=0,0,0"})
        ASSERT_TRUE(look.set(text, error)) << error;
    const fp::Scene scene = probeScene(true);

    // Front point: the mirror ray goes straight back out, to the sky.
    fp::Color color = shadeAlong(scene, fp::Ray{{0, 1, 5}, {0, 0, -1}});
    const fp::Color sky = scene.environment.lookup({0, 0, 1});
    EXPECT_NEAR(color.x, sky.x, 1e-5f);
    EXPECT_NEAR(color.z, sky.z, 1e-5f);

    // 45 degrees below the front the mirror ray meets the floor; the kernel
    // shading the same mirror ray is the reference.
    const float s = std::sqrt(0.5f);
    const fp::Vec3 p(0, 1 - s, s), n(0, -s, s), eye(0, 1, 5);
    const fp::Ray ray{eye, fp::normalize(p - eye)};
    color = shadeAlong(scene, ray);
    struct NoWorker : fp::SurfaceWorker {
        fp::Color shade(const fp::SurfaceSample&, fp::ShadingServices&) override { return {}; }
    } none;
    fp::SampleRandom random(1, 0, 0);
    fp::ShadingServices services(scene, none, random);
    const fp::TraceResult floor = services.trace(fp::Ray{p + n * fp::kRayEpsilon, fp::reflect(ray.direction, n)}, 1);
    ASSERT_TRUE(floor.hit);
    EXPECT_NEAR(color.x, floor.color.x, 1e-3f);
    EXPECT_NEAR(color.y, floor.color.y, 1e-3f);

    // Without a sampler the tracer has no sample to trace from.
    MFloatVector untouched(7, 7, 7), transparency;
    EXPECT_NE(mayaHost::installedRaytracer()->raytrace(MFloatVector(0, 0, -4), MFloatVector(0, 0, 1), nullptr,
                                                       nullptr, 0, untouched, transparency, true),
              MS::kSuccess);
    EXPECT_EQ(untouched, MFloatVector(7, 7, 7));
}

TEST_F(MayaAdapter, ShadingInputsAreTheNodesUserAttributes) {
    auto find = [&](const std::string& name) { return fp::findInput(host->inputs(), name); };
    for (const char* name : {"color", "transparency", "ambientColor", "incandescence", "diffuse", "depthRange",
                             "refractiveIndex", "specular", "specularPower", "frequency", "normalDeviation", "seed",
                             "reflectivity", "placementMatrix", "colorR", "depthRangeMax"})
        EXPECT_TRUE(find(name)) << name;
    for (const char* name : {"pointCamera", "rayDepth", "lightDataArray", "outColor", "lightIntensity"})
        EXPECT_FALSE(find(name)) << name;
    EXPECT_EQ(find("depthRange")->arity, 2);
    EXPECT_EQ(find("placementMatrix")->arity, 16);
    EXPECT_EQ(find("seed")->kind, fp::ValueKind::Float);  // a float attribute on this node
    ASSERT_TRUE(find("refractiveIndex")->hasHardMin);
    EXPECT_EQ(find("refractiveIndex")->hardMin[2], 1.0);
    EXPECT_FALSE(find("reflectivity")->hasHardMin);  // soft range only

    fp::Look look = host->look();
    std::string error;
    EXPECT_FALSE(look.set("refractiveIndex=1.4,0.9,1.4", error));
    EXPECT_NE(error.find("0.9 is below the minimum 1"), std::string::npos) << error;
    EXPECT_FALSE(look.set("refractiveIndexG=0.5", error));
    EXPECT_TRUE(look.set("reflectivity=2", error) && look.set("seed=1.5", error)) << error;
}
