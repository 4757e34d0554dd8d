#pragma once
// One unknown of a plane's equation system, attached to a metal mesh node.

#include <cstdint>

#include "DeepConst.h"
#include "CNode.h"
#include "CObject.h"

namespace vantor {

class CPort : public CObject {
public:
    CPort() = default;
    CPort(std::int32_t index_, CNode* node_) : node(node_), index(index_) {}

    /// Row and column of the node; -1 while the port has no node (after a
    /// file was read and before the next mesh build).
    std::int32_t Row() const { return node != nullptr ? node->row : -1; }
    std::int32_t Column() const { return node != nullptr ? node->column : -1; }

    const char* ClassName() const override { return "CPort"; }
    /// Record: version 1, value1, value2, index. The node is not stored.
    void Serialize(CArchive& ar) override;

    double value1 = 0.0;
    double value2 = 0.0;
    DeepConst<CNode*> node;  // not owned, not stored
    std::int32_t index = 0;  // active-node number, from 1
};

}  // namespace vantor
