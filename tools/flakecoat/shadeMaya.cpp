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

bool isBlank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

// nlohmann's messages start with "[json.exception...] "; keep the rest.
std::string parseMessage(const char* what) {
    std::string message(what);
    const std::string::size_type bracket = message.find("] ");
    return bracket == std::string::npos ? message : message.substr(bracket + 2);
}

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
    int status = 0;
    std::string line;
    for (long lineNumber = 1; std::getline(input, line); ++lineNumber) {
        if (isBlank(line)) continue;
        const std::string where = sourceName + ":" + std::to_string(lineNumber) + ": ";
        nlohmann::json sample;
        try {
            sample = nlohmann::json::parse(line);
        } catch (const nlohmann::json::parse_error& e) {
            std::cerr << "flakecoat shade: " << where << "malformed JSON: " << parseMessage(e.what()) << "\n";
            std::printf("error\n");  // keeps the output line for line with the input
            status = 1;
            continue;
        }
        MayaSampleContext context;
        block.setDefaults();
        if (!applyMayaSample(sample, type, block, context, error)) {
            std::cerr << "flakecoat shade: " << where << error << "\n";
            std::printf("error\n");  // keeps the output line for line with the input
            status = 1;
            continue;
        }
        tracer.current = &context;
        const MStatus computed = block.compute(outColorPlug);
        tracer.current = nullptr;
        if (computed != MS::kSuccess) {
            std::cerr << "flakecoat shade: " << where << "compute failed: " << computed.errorString().asChar()
                      << "\n";
            std::printf("error\n");  // keeps the output line for line with the input
            status = 1;
            continue;
        }
        const MFloatVector& c = block.value(outColor).asFloatVector();
        std::printf("%.9g %.9g %.9g\n", double(c.x), double(c.y), double(c.z));
    }
    std::fflush(stdout);
    mayaHost::installRaytracer(nullptr);
    return status;
}
