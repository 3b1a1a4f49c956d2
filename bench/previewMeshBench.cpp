// Painted models: a sphere of about a million triangles (1024 segments by
// 489 rings, with normals), written as OBJ at run time in place of the
// shader ball, same centre and radius, so its renders compare with the
// ball's directly:
//   MeshLoad/1M                  reading and checking the OBJ file (ms)
//   MeshBuild/1M/<quality>       the BVH over its triangles (ms), built
//                                balanced (the renderer's) or quick
//   MeshAim/1M/<shot>            aiming the camera at it (ms), framed to
//                                fill, whole or close-up: what the viewer
//                                pays on every step of a drag
//   MeshRender/<host>/ball       512 x 512, 4 samples per pixel, 2 threads,
//   MeshRender/<host>/1M         the analytic ball and the model: primary
//                                samples per second (items/s)
//   PeerMesh/<host>              512 x 512, 1 sample per pixel, 2 threads:
//                                what scripts/bench-peer.sh compares with
//                                POV-Ray
//   MeshVsBall/<host>/<quality>  the peer renders of the ball and of the
//                                model taken in turn in one loop, so that
//                                both see the same load: their rates and
//                                meshToBall, the model's rate over the ball's
// The OBJ goes to a temporary file removed at exit, or, when the
// environment names one in FLAKECOAT_BENCH_MESH_OBJ, to that file, kept for
// the peer script.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "hosts/renderHost.h"
#include "kernel/framing.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "meshes/objLoader.h"
#include "previewBench.h"
#include "testing/sphereObj.h"

namespace fp = flakecoat::preview;

namespace {

constexpr int kSegments = 1024, kRings = 489;  // 2 * 1024 * 488 = 999424 triangles

class MillionTriangleSphere {
public:
    MillionTriangleSphere() {
        const char* named = std::getenv("FLAKECOAT_BENCH_MESH_OBJ");
        keep_ = named && *named;
        path_ = keep_ ? named : "/tmp/flakecoat-bench-sphere-" + std::to_string(::getpid()) + ".obj";
        std::ofstream(path_, std::ios::binary)
            << fp::testing::sphereObj(kSegments, kRings, {0, 1, 0}, 1.0f, true, false);
        std::string error;
        if (!fp::loadObjFile(path_, mesh_, error)) std::fprintf(stderr, "%s\n", error.c_str());
        for (auto quality : {fp::HierarchyQuality::Balanced, fp::HierarchyQuality::QuickBuild}) {
            geometry_[int(quality)] = fp::MeshGeometry::build(mesh_, 0.0f, error, nullptr, quality);
            if (!geometry_[int(quality)]) std::fprintf(stderr, "%s\n", error.c_str());
        }
    }
    ~MillionTriangleSphere() {
        if (!keep_) std::remove(path_.c_str());
    }
    const std::string& path() const { return path_; }
    const fp::TriangleMesh& mesh() const { return mesh_; }
    std::shared_ptr<const fp::MeshGeometry> geometry(
        fp::HierarchyQuality quality = fp::HierarchyQuality::Balanced) const {
        return geometry_[int(quality)];
    }

private:
    std::string path_;
    bool keep_ = false;
    fp::TriangleMesh mesh_;
    std::shared_ptr<const fp::MeshGeometry> geometry_[2];
};

const MillionTriangleSphere& sphere() {
    static const MillionTriangleSphere instance;
    return instance;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void meshLoad(benchmark::State& state) {
    const std::string& path = sphere().path();
    for (auto _ : state) {
        fp::TriangleMesh mesh;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        if (!fp::loadObjFile(path, mesh, error)) state.SkipWithError(error.c_str());
        state.SetIterationTime(secondsSince(start));
        state.counters["triangles"] = double(mesh.triangles.size());
    }
}

void meshBuild(benchmark::State& state, fp::HierarchyQuality quality) {
    for (auto _ : state) {
        fp::TriangleMesh mesh = sphere().mesh();
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        const auto geometry = fp::MeshGeometry::build(std::move(mesh), 0.0f, error, nullptr, quality);
        state.SetIterationTime(secondsSince(start));
        if (!geometry) state.SkipWithError(error.c_str());
    }
}

fp::Scene benchmarkScene(const std::shared_ptr<const fp::MeshGeometry>& model) {
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    return model ? fp::modelScene(1.0f, lights, fp::Environment(), model)
                 : fp::shaderBallScene(1.0f, lights, fp::Environment());
}

fp::RenderSettings benchmarkSettings(int samplesPerPixel) {
    fp::RenderSettings settings;
    settings.width = settings.height = 512;
    settings.samplesPerPixel = samplesPerPixel;
    settings.threads = 2;
    return settings;
}

void meshRender(benchmark::State& state, fp::RenderHost* host, bool model, int samplesPerPixel) {
    const fp::Scene scene = benchmarkScene(model ? sphere().geometry() : nullptr);
    const std::unique_ptr<fp::PaintedSurfaceShader> hostShader = host->makeShader(scene);
    const fp::PaintedSurfaceShader& shader = *hostShader;
    const fp::RenderSettings settings = benchmarkSettings(samplesPerPixel);
    fp::Framebuffer image;
    for (auto _ : state) {
        const fp::RenderStats stats = fp::render(scene, shader, settings, image);
        state.SetIterationTime(stats.seconds);
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512 * samplesPerPixel);
}

// Each iteration renders the ball, then the model; the manual time is the
// model's.
void meshVersusBall(benchmark::State& state, fp::RenderHost* host, fp::HierarchyQuality quality) {
    const fp::Scene scenes[2] = {benchmarkScene(nullptr), benchmarkScene(sphere().geometry(quality))};
    const std::unique_ptr<fp::PaintedSurfaceShader> shaders[2] = {host->makeShader(scenes[0]),
                                                                  host->makeShader(scenes[1])};
    const fp::RenderSettings settings = benchmarkSettings(1);
    fp::Framebuffer image;
    double seconds[2] = {0.0, 0.0};
    for (auto _ : state) {
        for (int model = 0; model < 2; ++model) {
            const fp::RenderStats stats = fp::render(scenes[model], *shaders[model], settings, image);
            seconds[model] += stats.seconds;
            if (model) state.SetIterationTime(stats.seconds);
        }
    }
    const double samples = double(state.iterations()) * 512.0 * 512.0;
    state.counters["ballRate"] = samples / seconds[0];
    state.counters["meshRate"] = samples / seconds[1];
    state.counters["meshToBall"] = seconds[0] / seconds[1];
}

void meshAim(benchmark::State& state, bool closeUp) {
    const fp::Scene scene = fp::modelScene(1.0f, {}, fp::Environment(), sphere().geometry());
    fp::CameraAim aim{30.0f, 20.0f, 1.0f, fp::kBallFov, fp::Framing::Fill, closeUp};
    for (auto _ : state) {
        aim.orbitDegrees += 1.0f;  // a drag's next step
        benchmark::DoNotOptimize(fp::aimCamera(scene, aim, 512, 512, {}));
    }
    state.counters["corners"] = double(scene.model->cornerCount());
}

}  // namespace

void registerMeshBenchmarks() {
    for (bool closeUp : {false, true})
        benchmark::RegisterBenchmark(closeUp ? "MeshAim/1M/closeup" : "MeshAim/1M/whole", meshAim, closeUp)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MeshLoad/1M", meshLoad)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    for (auto [name, quality] : {std::pair{"balanced", fp::HierarchyQuality::Balanced},
                                 std::pair{"quick", fp::HierarchyQuality::QuickBuild}})
        benchmark::RegisterBenchmark((std::string("MeshBuild/1M/") + name).c_str(), meshBuild, quality)
            ->UseManualTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    for (const auto& [name, host] : benchmarkHosts()) {
        for (bool model : {false, true})
            benchmark::RegisterBenchmark(("MeshRender/" + name + (model ? "/1M" : "/ball")).c_str(), meshRender, host,
                                         model, 4)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("PeerMesh/" + name).c_str(), meshRender, host, true, 1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        for (auto [quality, qualityName] : {std::pair{fp::HierarchyQuality::Balanced, "balanced"},
                                            std::pair{fp::HierarchyQuality::QuickBuild, "quick"}})
            benchmark::RegisterBenchmark(("MeshVsBall/" + name + "/" + qualityName).c_str(), meshVersusBall, host,
                                         quality)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    }
}
