#ifndef FLAKECOAT_HOST_MAYA_HOST_FAULT_INJECTION_H
#define FLAKECOAT_HOST_MAYA_HOST_FAULT_INJECTION_H

// Makes chosen API calls fail, and records the registration-time calls, so
// that a plug-in's handling of failures can be tested for real. A failing
// call does nothing but return the failure (a failing create returns
// MObject::kNullObj and leaves its function set attached to nothing).

#include <string>
#include <vector>

#include <maya/MStatus.h>

namespace mayaHost {

enum class ApiCall {
    numericCreate,          // MFnNumericAttribute::create (both forms)
    numericCreateAddr,      // MFnNumericAttribute::createAddr
    matrixCreate,           // MFnMatrixAttribute::create
    lightDataCreate,        // MFnLightDataAttribute::create
    numericSetDefault,      // MFnNumericAttribute::setDefault
    lightDataSetDefault,    // MFnLightDataAttribute::setDefault
    setMin,
    setMax,
    setSoftMin,
    setSoftMax,
    setReadable,
    setWritable,
    setStorable,
    setArray,
    setKeyable,
    setHidden,
    setUsedAsColor,
    addAttribute,           // MPxNode::addAttribute
    attributeAffects,       // MPxNode::attributeAffects
    registerNode,           // MFnPlugin::registerNode
    deregisterNode,         // MFnPlugin::deregisterNode
    executeCommand,         // MGlobal::executeCommand
    arrayNext               // MArrayDataHandle::next
};
// The API's name of the call, e.g. "MFnAttribute::setStorable".
const char* apiCallName(ApiCall call);

// The n-th call (1-based) of this kind from now on fails, once.
void failNthCall(ApiCall call, unsigned n, MS::MStatusCode code = MS::kFailure);
// Every call acting on the attribute with this long name fails: its
// creation, its setters, and addAttribute/attributeAffects naming it.
void failCallsOnAttribute(const std::string& longName, MS::MStatusCode code = MS::kFailure);
void clearInjectedFailures();

// Registration-time calls (everything above but arrayNext), as made.
struct RecordedCall {
    ApiCall call;
    std::string attribute;    // long name acted on ("" when none)
    std::string attribute2;   // attributeAffects: the affected output
    bool statusArgument = false;  // create: a status pointer was passed
    MS::MStatusCode result = MS::kSuccess;
};
void startRecordingCalls();
std::vector<RecordedCall> stopRecordingCalls();

}  // namespace mayaHost

#endif
