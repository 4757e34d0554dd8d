// The plane's record in the document file: fields, object lists, results.
#include <limits>

#include "CCGroup.h"
#include "CArchive.h"
#include "CLayer.h"

namespace vantor {

namespace {

template <class T>
void SerializeList(CArchive& ar, std::vector<std::unique_ptr<T>>& list, const char* className) {
    if (ar.IsStoring()) {
        ar.WriteCount(list.size());
        for (auto& o : list) ar.WriteObject(o.get());
        return;
    }
    const std::size_t n = ar.ReadListCount();
    std::vector<std::unique_ptr<T>> read;
    read.reserve(n);
    for (std::size_t i = 0; i < n; ++i) read.push_back(ReadListElement<T>(ar, className));
    list = std::move(read);
}

void WriteResults(CArchive& ar, const CLayer& layer) {
    const std::size_t m = std::min(layer.resultMaps.size(), layer.resultLabels.size());
    // Every map of one solve has the mesh's size; without maps the header
    // still names the mesh.
    const std::int32_t rows = m > 0 ? layer.resultMaps[0].Rows() : layer.ny;
    const std::int32_t columns = m > 0 ? layer.resultMaps[0].Columns() : layer.nx;
    ar.WriteInt32(rows);
    ar.WriteInt32(columns);
    ar.WriteInt32(static_cast<std::int32_t>(m));
    for (std::size_t e = 0; e < m; ++e) {
        ar.WriteText(layer.resultLabels[e]);
        const ComplexMatrix& map = layer.resultMaps[e];
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const std::complex<double> z = map.Contains(r, c) ? map(r, c) : kNoMetal;
                ar.WriteDouble(z.real());
                ar.WriteDouble(z.imag());
            }
    }
}

void ReadResults(CArchive& ar, CLayer& layer) {
    const std::int32_t rows = ar.ReadInt32();
    const std::int32_t columns = ar.ReadInt32();
    const std::int32_t m = ar.ReadInt32();
    if (rows < 0 || columns < 0 || m < 0)
        throw ArchiveError("Ungültige Ergebnisgröße " + std::to_string(rows) + " x " + std::to_string(columns) + " x " +
                           std::to_string(m));
    // Each map needs at least its label's length byte and 16 bytes a value:
    // refuse sizes the rest of the file cannot hold before allocating.
    const std::size_t cells = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (m > 0 && (cells > ar.Remaining() / 16 || 1 + 16 * cells > ar.Remaining() / static_cast<std::size_t>(m)))
        throw ArchiveError("Ergebnisse (" + std::to_string(m) + " Felder " + std::to_string(rows) + " x " +
                           std::to_string(columns) + ") größer als der Rest der Datei");
    // A solve never leaves empty maps; 0 x 2^31 would only cost empty walks.
    if (m > 0 && cells == 0)
        throw ArchiveError("Ergebnisse mit leeren Feldern (" + std::to_string(rows) + " x " + std::to_string(columns) +
                           ")");
    std::vector<ComplexMatrix> maps;
    std::vector<std::string> labels;
    maps.reserve(static_cast<std::size_t>(m));
    labels.reserve(static_cast<std::size_t>(m));
    for (std::int32_t e = 0; e < m; ++e) {
        labels.push_back(ar.ReadText());
        ComplexMatrix map(rows, columns, kNoMetal);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const double re = ar.ReadDouble();
                const double im = ar.ReadDouble();
                map.Set(r, c, {re, im});
            }
        maps.push_back(std::move(map));
    }
    layer.resultMaps = std::move(maps);
    layer.resultLabels = std::move(labels);
}

}  // namespace

void CLayer::Serialize(CArchive& ar) {
    std::int32_t version = 2;
    ar.Int32(version);
    if (ar.IsLoading() && version != 1 && version != 2)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " eines Datensatzes CLayer");
    ar.Double(cellSize);
    ar.Double(planeLength);
    ar.Double(planeWidth);
    ar.Int32(nx);
    ar.Int32(ny);
    ar.Int32(gridPointCount);
    ar.Int32(activeCount);
    ar.Int32(groundFlag);
    // A mesh has no negative size; the results header repeats it.
    if (ar.IsLoading() && (nx < 0 || ny < 0))
        throw ArchiveError("Ungültige Gittergröße " + std::to_string(nx) + " x " + std::to_string(ny) +
                           " einer Lage");
    ar.Text(name);
    SerializeList(ar, capacitorGroups, "CCGroup");
    SerializeList(ar, cutOuts, "CCutOut");
    SerializeList(ar, gridNodes, "CNode");
    SerializeList(ar, nodePorts, "CPort");
    if (ar.IsLoading()) {
        // The two probes of construction make way for the stored ones; the
        // mesh's index map and structure are not stored.
        probes.clear();
        nodeIndexMap = IntMatrix();
        structure.Clear();
    }
    SerializeList(ar, probes, "CProbe");
    if (ar.IsStoring())
        WriteResults(ar, *this);
    else if (version == 2)
        ReadResults(ar, *this);
    else {
        resultMaps.clear();
        resultLabels.clear();
    }
}

}  // namespace vantor
