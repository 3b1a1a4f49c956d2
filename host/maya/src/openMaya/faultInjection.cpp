// Injected failures and the record of registration-time calls.

#include "hostState.h"

namespace mayaHost {

const char* apiCallName(ApiCall call) {
    switch (call) {
        case ApiCall::numericCreate: return "MFnNumericAttribute::create";
        case ApiCall::numericCreateAddr: return "MFnNumericAttribute::createAddr";
        case ApiCall::matrixCreate: return "MFnMatrixAttribute::create";
        case ApiCall::lightDataCreate: return "MFnLightDataAttribute::create";
        case ApiCall::numericSetDefault: return "MFnNumericAttribute::setDefault";
        case ApiCall::lightDataSetDefault: return "MFnLightDataAttribute::setDefault";
        case ApiCall::setMin: return "MFnNumericAttribute::setMin";
        case ApiCall::setMax: return "MFnNumericAttribute::setMax";
        case ApiCall::setSoftMin: return "MFnNumericAttribute::setSoftMin";
        case ApiCall::setSoftMax: return "MFnNumericAttribute::setSoftMax";
        case ApiCall::setReadable: return "MFnAttribute::setReadable";
        case ApiCall::setWritable: return "MFnAttribute::setWritable";
        case ApiCall::setStorable: return "MFnAttribute::setStorable";
        case ApiCall::setArray: return "MFnAttribute::setArray";
        case ApiCall::setKeyable: return "MFnAttribute::setKeyable";
        case ApiCall::setHidden: return "MFnAttribute::setHidden";
        case ApiCall::setUsedAsColor: return "MFnAttribute::setUsedAsColor";
        case ApiCall::addAttribute: return "MPxNode::addAttribute";
        case ApiCall::attributeAffects: return "MPxNode::attributeAffects";
        case ApiCall::registerNode: return "MFnPlugin::registerNode";
        case ApiCall::deregisterNode: return "MFnPlugin::deregisterNode";
        case ApiCall::executeCommand: return "MGlobal::executeCommand";
        case ApiCall::arrayNext: return "MArrayDataHandle::next";
    }
    return "?";
}

void failNthCall(ApiCall call, unsigned n, MS::MStatusCode code) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (n == 0) return;
    r.nthRules.push_back({call, n, code});
    if (call == ApiCall::arrayNext) r.nextRuleArmed.store(true, std::memory_order_release);
}

void failCallsOnAttribute(const std::string& longName, MS::MStatusCode code) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    r.failingAttribute = longName;
    r.failingAttributeCode = code;
}

void clearInjectedFailures() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    r.nthRules.clear();
    r.failingAttribute.clear();
    r.nextRuleArmed.store(false, std::memory_order_release);
}

void startRecordingCalls() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    r.calls.clear();
    r.recording = true;
}

std::vector<RecordedCall> stopRecordingCalls() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    r.recording = false;
    std::vector<RecordedCall> calls;
    calls.swap(r.calls);
    return calls;
}

MStatus injectedResult(ApiCall call, const std::string& attribute, const std::string& attribute2) {
    Registry& r = registry();
    MStatus result = MS::kSuccess;
    for (auto rule = r.nthRules.begin(); rule != r.nthRules.end();) {
        if (rule->call == call && --rule->remaining == 0) {
            if (result == MS::kSuccess) result = rule->code;
            rule = r.nthRules.erase(rule);
        } else {
            ++rule;
        }
    }
    if (result == MS::kSuccess && !r.failingAttribute.empty() &&
        (attribute == r.failingAttribute || attribute2 == r.failingAttribute))
        result = r.failingAttributeCode;
    return result;
}

void recordCall(ApiCall call, const std::string& attribute, const std::string& attribute2, bool statusArgument,
                MStatus result) {
    Registry& r = registry();
    if (!r.recording) return;
    r.calls.push_back({call, attribute, attribute2, statusArgument, result.statusCode()});
}

MStatus injectedArrayNext() {
    Registry& r = registry();
    if (!r.nextRuleArmed.load(std::memory_order_acquire)) return MS::kSuccess;
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    MStatus result = injectedResult(ApiCall::arrayNext, "");
    bool armed = false;
    for (const Registry::NthRule& rule : r.nthRules) armed = armed || rule.call == ApiCall::arrayNext;
    r.nextRuleArmed.store(armed, std::memory_order_release);
    return result;
}

}  // namespace mayaHost
