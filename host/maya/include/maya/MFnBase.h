#ifndef FLAKECOAT_HOST_MAYA_MFNBASE_H
#define FLAKECOAT_HOST_MAYA_MFNBASE_H

#include <maya/MObject.h>
#include <maya/MStatus.h>

// Base of the function sets: a function set acts on the object it is
// attached to, which for the attribute sets is the one it created last.
class MFnBase {
public:
    MFnBase() = default;
    virtual ~MFnBase();
    MFnBase(const MFnBase&) = delete;
    MFnBase& operator=(const MFnBase&) = delete;

    MObject object(MStatus* returnStatus = nullptr) const;
    MStatus setObject(const MObject& object);

protected:
    MObject object_;
};

#endif
