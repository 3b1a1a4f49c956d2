#ifndef FLAKECOAT_HOST_MAYA_MOBJECT_H
#define FLAKECOAT_HOST_MAYA_MOBJECT_H

// A handle on something the host owns: an attribute, a node or a plug-in.
// Copying a handle copies the reference, never the object. Handles stay
// plain values (no reference counting), so a plug-in's class-wide handles
// need no teardown when the library unloads.
class MObject {
public:
    MObject() = default;

    bool isNull() const { return object_ == nullptr; }
    bool operator==(const MObject& other) const { return object_ == other.object_; }
    bool operator!=(const MObject& other) const { return object_ != other.object_; }

    static MObject kNullObj;

    // Host side only: what the handle refers to.
    enum class Referent : unsigned char { none, attribute, node, plugin };
    MObject(void* object, Referent referent) : object_(object), referent_(referent) {}
    void* hostObject() const { return object_; }
    Referent referent() const { return referent_; }

private:
    void* object_ = nullptr;
    Referent referent_ = Referent::none;
};

#endif
