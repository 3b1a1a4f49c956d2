#ifndef FLAKECOAT_HOST_MAYA_MDATABLOCK_H
#define FLAKECOAT_HOST_MAYA_MDATABLOCK_H

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MPlug;

// The values of one node for one evaluation, handed to the node's compute.
// The host owns the storage; handles point into it.
class MDataBlock {
public:
    MDataHandle inputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MDataHandle inputValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MDataHandle outputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MDataHandle outputValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MArrayDataHandle inputArrayValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MStatus setClean(const MObject& attribute);
    MStatus setClean(const MPlug& plug);
    bool isClean(const MObject& attribute, MStatus* returnStatus = nullptr);

    // Host side only: a block over the host's storage.
    explicit MDataBlock(void* storage) : storage_(storage) {}
    MDataBlock(const MDataBlock&) = delete;
    MDataBlock& operator=(const MDataBlock&) = delete;

private:
    void* storage_;
};

#endif
