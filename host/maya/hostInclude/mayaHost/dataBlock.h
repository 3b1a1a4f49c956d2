#ifndef FLAKECOAT_HOST_MAYA_HOST_DATA_BLOCK_H
#define FLAKECOAT_HOST_MAYA_HOST_DATA_BLOCK_H

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <mayaHost/node.h>

namespace mayaHost {

// The values of one node for one evaluation at a time: every attribute of
// the node type, starting at its default. Make one per thread (and one per
// nesting level where a tracer shades again from inside a compute) and reuse
// it for every sample: after construction nothing here allocates, except
// setElementCount beyond the capacity reached so far.
//
// Per sample: set the sample's inputs through value(), set the light
// elements through setElementCount() and element(), call compute() on the
// output plug and read the result through value(). Blocks of one node may
// be used on several threads at once; one block on one thread at a time.
// A block must not outlive its node.
class DataBlock {
public:
    explicit DataBlock(const Node& node);
    ~DataBlock();
    DataBlock(const DataBlock&) = delete;
    DataBlock& operator=(const DataBlock&) = delete;

    // The block as the node's compute sees it.
    MDataBlock& dataBlock();

    // A handle on the stored value of an attribute of the node (a child of a
    // compound included, an element child excluded). Writing through it sets
    // the value directly, as a connection from the renderer does.
    MDataHandle value(const MObject& attribute);
    // The handle on element `index` of an array attribute.
    MDataHandle element(const MObject& arrayAttribute, unsigned index);

    // Number of elements of an array attribute. Elements that come into use
    // take the attribute's element default; no allocation while the count
    // stays within the largest count (or reserve) so far.
    void setElementCount(const MObject& arrayAttribute, unsigned count);
    unsigned elementCount(const MObject& arrayAttribute) const;
    void reserveElements(const MObject& arrayAttribute, unsigned capacity);

    // Every value back to its default, every array to no elements (capacity
    // kept), every output dirty.
    void setDefaults();

    // Requests a plug of the node: marks its attribute (and its children)
    // dirty and runs the node's compute on this block.
    MStatus compute(const MPlug& plug);
    bool isClean(const MObject& attribute) const;

    struct Storage;

private:
    const Node& node_;
    Storage* storage_;
    MDataBlock block_;
};

}  // namespace mayaHost

#endif
