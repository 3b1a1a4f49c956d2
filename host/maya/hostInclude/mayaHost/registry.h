#ifndef FLAKECOAT_HOST_MAYA_HOST_REGISTRY_H
#define FLAKECOAT_HOST_MAYA_HOST_REGISTRY_H

// Read-only view of the host's registry: the node types plug-ins have
// registered, their attributes and dependency declarations. Everything here
// stays valid until the node type is deregistered.

#include <string>
#include <utility>
#include <vector>

#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace mayaHost {

enum class AttributeKind {
    numeric,          // one value: boolean, short, int, float, double
    numericCompound,  // two or three numeric children
    address,          // a pointer-sized address
    matrix,           // 4x4 matrix
    lightData         // the renderer's light-data compound of eight children
};
const char* attributeKindName(AttributeKind kind);

// The platform defaults are those of a newly created attribute.
struct AttributeFlags {
    bool readable = true;
    bool writable = true;
    bool storable = true;
    bool keyable = false;
    bool hidden = false;
    bool usedAsColor = false;
    bool array = false;
};

// Hard limits bound the value, soft limits only the user interface slider.
struct AttributeLimits {
    bool hasMin = false;
    bool hasMax = false;
    bool hasSoftMin = false;
    bool hasSoftMax = false;
    double min[3] = {0, 0, 0};  // per component
    double max[3] = {0, 0, 0};
    double softMin = 0;
    double softMax = 0;
};

// One light's data, in the order of MFnLightDataAttribute::setDefault.
struct LightDataValue {
    float direction[3] = {0, 0, 0};
    float intensity[3] = {0, 0, 0};
    bool ambient = false;
    bool diffuse = false;
    bool specular = false;
    float shadowFraction = 0;
    float preShadowIntensity = 0;
    void* blindData = nullptr;
};

struct AttributeInfo {
    std::string longName;
    std::string shortName;
    AttributeKind kind = AttributeKind::numeric;
    // numeric: its type; compound: k2Float, k3Float, ...; address: kAddr.
    MFnNumericData::Type numericType = MFnNumericData::kInvalid;
    MFnMatrixAttribute::Type matrixType = MFnMatrixAttribute::kFloat;  // matrix only
    std::vector<const AttributeInfo*> children;  // in creation order
    const AttributeInfo* parent = nullptr;
    // numeric: [0]; compound: one value per child. Set at creation (a
    // compound takes its children's), replaced by setDefault. Stored as the
    // attribute's own type holds it (a float default is a float).
    double defaultValue[3] = {0, 0, 0};
    double createDefault = 0;  // the value given to create (numeric only)
    void* defaultAddress = nullptr;  // address only
    bool hasLightDataDefault = false;  // light data: setDefault was called
    LightDataValue lightDataDefault;
    AttributeFlags flags;
    AttributeLimits limits;

    // Values of a numeric compound or a numeric: 1, 2 or 3.
    unsigned componentCount() const;
};

class NodeType {
public:
    const std::string& name() const { return name_; }
    MTypeId id() const { return id_; }
    const std::string& classification() const { return classification_; }
    MPxNode::Type nodeKind() const { return nodeKind_; }
    // Path of the plug-in library that registered the type.
    const std::string& pluginPath() const { return pluginPath_; }

    // Every attribute its attribute-initialise function created, in creation
    // order, whether or not it became part of the type.
    const std::vector<const AttributeInfo*>& createdAttributes() const { return created_; }
    // The attributes addAttribute accepted, in call order.
    const std::vector<const AttributeInfo*>& addedAttributes() const { return added_; }
    // The attributes of the type: the added ones and their descendants, in
    // creation order.
    const std::vector<const AttributeInfo*>& attributes() const { return attributes_; }
    // The accepted attributeAffects declarations (input, output), in order.
    const std::vector<std::pair<const AttributeInfo*, const AttributeInfo*>>& affects() const { return affects_; }

    // An attribute of the type by long or short name; null when none.
    const AttributeInfo* findAttribute(const std::string& name) const;
    // The attribute's handle (MObject::kNullObj when the type has none).
    MObject attribute(const std::string& name) const;
    MObject attribute(const AttributeInfo& info) const;
    // The registry's record of a handle; null for a handle on no attribute.
    static const AttributeInfo* info(const MObject& attribute);

protected:
    NodeType() = default;
    ~NodeType() = default;
    std::string name_;
    MTypeId id_;
    std::string classification_;
    MPxNode::Type nodeKind_ = MPxNode::kDependNode;
    std::string pluginPath_;
    std::vector<const AttributeInfo*> created_;
    std::vector<const AttributeInfo*> added_;
    std::vector<const AttributeInfo*> attributes_;
    std::vector<std::pair<const AttributeInfo*, const AttributeInfo*>> affects_;
};

// Registered node types by name or id; null when none.
const NodeType* findNodeType(const std::string& name);
const NodeType* findNodeType(MTypeId id);
std::vector<const NodeType*> registeredNodeTypes();

}  // namespace mayaHost

#endif
