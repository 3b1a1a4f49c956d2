#ifndef FLAKECOAT_HOST_MAYA_MARRAYDATAHANDLE_H
#define FLAKECOAT_HOST_MAYA_MARRAYDATAHANDLE_H

#include <maya/MDataHandle.h>
#include <maya/MStatus.h>

// Walks the elements of an array attribute's value in a data block. The
// handle starts on the first element; next() moves on and fails after the
// last one.
class MArrayDataHandle {
public:
    MArrayDataHandle() = default;
    MArrayDataHandle(const MDataHandle& handle, MStatus* returnStatus = nullptr);

    unsigned int elementCount(MStatus* returnStatus = nullptr);
    MDataHandle inputValue(MStatus* returnStatus = nullptr);
    MDataHandle outputValue(MStatus* returnStatus = nullptr);
    MStatus next();
    MStatus jumpToArrayElement(unsigned int position);
    MStatus setClean();

private:
    void* array_ = nullptr;
    void* block_ = nullptr;
    unsigned int position_ = 0;
};

#endif
