#ifndef FLAKECOAT_HOST_MAYA_MTYPEID_H
#define FLAKECOAT_HOST_MAYA_MTYPEID_H

// The unique id of a node type, saved with scenes.
class MTypeId {
public:
    MTypeId() = default;
    MTypeId(unsigned int id) : id_(id) {}
    // A vendor prefix (upper 24 bits) and a local id (lower 8 bits).
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xffu)) {}

    unsigned int id() const { return id_; }
    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }

private:
    unsigned int id_ = 0;
};

#endif
