// Records of the plane objects in the document file.
#include "CArchive.h"
#include "CCutOut.h"
#include "CNode.h"
#include "CPort.h"
#include "CProbe.h"

namespace vantor {

namespace {

// Versions nobody wrote are refused rather than guessed at.
void CheckVersion(std::int32_t version, std::int32_t lowest, std::int32_t highest, const char* what) {
    if (version < lowest || version > highest)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " eines Datensatzes " + what);
}

}  // namespace

void CCutOut::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    if (ar.IsLoading()) CheckVersion(version, 1, 1, "CCutOut");
    ar.Double(y2);
    ar.Double(x1);
    ar.Double(x2);
    ar.Double(y1);
    ar.Int32(inactive);
    ar.Text(name);
}

void CNode::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    if (ar.IsLoading()) CheckVersion(version, 1, 1, "CNode");
    ar.Int32(active);
    ar.Double(x);
    ar.Double(y);
    ar.Int32(column);
    ar.Int32(number);
    ar.Int32(row);
}

void CPort::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    if (ar.IsLoading()) {
        CheckVersion(version, 1, 1, "CPort");
        node = nullptr;  // found again by the next mesh build
    }
    ar.Double(value1);
    ar.Double(value2);
    ar.Int32(index);
}

void CProbe::Serialize(CArchive& ar) {
    std::int32_t version = 2;
    ar.Int32(version);
    if (ar.IsLoading()) CheckVersion(version, 1, 2, "CProbe");
    ar.Double(x);
    ar.Double(y);
    if (version >= 2)
        ar.Text(name);
    else
        name.clear();
}

}  // namespace vantor
