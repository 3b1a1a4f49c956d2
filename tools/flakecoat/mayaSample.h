#ifndef FLAKECOAT_TOOLS_MAYA_SAMPLE_H
#define FLAKECOAT_TOOLS_MAYA_SAMPLE_H

#include <string>

#include <maya/MFloatVector.h>
#include <nlohmann/json.hpp>

#include <mayaHost/dataBlock.h>
#include <mayaHost/registry.h>

// What one JSON line gives beyond attribute values: the colour the tracing
// service answers for the reflection ray. The raySampler and objectId
// addresses of a sample point into it, so the tracer finds it again.
struct MayaSampleContext {
    bool hasTrace = false;
    MFloatVector trace;
    char objectMarker = 0;
};

// Sets the block from one sample object: keys are the node's input
// attribute long names, "lights" (one object per lightDataArray element,
// keyed by the element's children) and "trace". Values not given keep the
// block's current ones (callers start from the defaults). False with a
// message naming the key when a key is unknown or a value has the wrong
// type or lies outside the attribute's hard limits.
bool applyMayaSample(const nlohmann::json& sample, const mayaHost::NodeType& type, mayaHost::DataBlock& block,
                     MayaSampleContext& context, std::string& error);

#endif
