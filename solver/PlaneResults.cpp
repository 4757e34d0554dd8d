#include "PlaneResults.h"

#include <algorithm>
#include <cmath>

#include "CAnalysisDomain.h"
#include "CArchive.h"
#include "PlaneMesh.h"
#include "Polint.h"
#include "Values.h"

namespace vantor {

using Complex = std::complex<double>;

int PlaneResults::EntryCount() const { return static_cast<int>(std::min(resultMaps.size(), resultLabels.size())); }

const ComplexMatrix* PlaneResults::MaximumMap() const {
    const int n = EntryCount();
    return n > 0 && resultLabels[n - 1] == kMaximumLabel ? &resultMaps[n - 1] : nullptr;
}

Complex PlaneResults::ImpedanceAt(const PlaneMesh& mesh, double x, double y, double f, int& valid) const {
    if (resultMaps.empty() || resultLabels.empty()) {
        valid = 1;
        return {0.0, 0.0};
    }
    return ImpedanceAt(mesh.FindNearestNode(x, y), f, valid);
}

Complex PlaneResults::ImpedanceAt(const CNode* node, double f, int& valid) const {
    valid = 1;
    if (resultMaps.empty() || resultLabels.empty()) return {0.0, 0.0};
    const int entries = EntryCount();
    // Maps from another mesh than the current one cannot be read.
    if (node == nullptr || !resultMaps[0].Contains(node->row, node->column)) {
        valid = 0;
        return {0.0, 0.0};
    }
    const int r = node->row, c = node->column;

    int stop = entries - 1;
    for (int i = 0; i < entries; ++i) {
        const double fi = ParseValue(resultLabels[i]);
        if (fi >= f) {
            if (fi == f) return resultMaps[i](r, c);
            stop = i;
            break;
        }
    }
    // The DC map of an open pair (1e12 everywhere) is no point of the
    // smooth curve above it: interpolation starts at the next entry.
    const int base = ParseValue(resultLabels[0]) == 0.0 ? 1 : 0;
    if (entries - base < 3) return {0.0, 0.0};

    // The last entry is "Maximum"; interpolate over the frequency entries,
    // at most six of them around the bracketing one.
    const int n = entries - 1 - base;
    const int count = std::min(n, 6);
    const int first = base + (n < 6 ? 0 : std::min(std::max(stop - base - 3, 0), n - 6));
    double xa[6];
    Complex ya[6];
    for (int i = 0; i < count; ++i) {
        xa[i] = ParseValue(resultLabels[first + i]);
        ya[i] = resultMaps[first + i](r, c);
    }
    // Labels round to four digits, so close frequencies can read alike; a
    // polynomial through two equal abscissae does not exist. The nearest
    // stored map answers instead.
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (xa[i] == xa[j]) {
                int nearest = 0;
                for (int k = 1; k < count; ++k)
                    if (std::abs(xa[k] - f) < std::abs(xa[nearest] - f)) nearest = k;
                return ya[nearest];
            }
    Complex value, dy;
    Polint(xa, ya, count, f, value, dy);
    if (!(std::abs(dy) < 0.01)) valid = 0;
    return value;
}

WorstPoint PlaneResults::FindWorstPoint() const {
    WorstPoint w;
    double best = 0.0;
    const int entries = EntryCount();
    for (int e = 0; e < entries; ++e) {
        const ComplexMatrix& map = resultMaps[e];
        for (int r = 0; r < map.Rows(); ++r)
            for (int c = 0; c < map.Columns(); ++c) {
                const Complex z = map(r, c);
                if (z == kNoMetal) continue;
                const double a = std::abs(z);
                if (!w.found || a > best) {
                    w.found = true;
                    w.entry = e;
                    w.row = r;
                    w.column = c;
                    best = a;
                }
            }
    }
    if (w.found) w.frequency = ParseValue(resultLabels[w.entry]);
    return w;
}

void PlaneResults::Write(CArchive& ar, std::int32_t meshRows, std::int32_t meshColumns) const {
    const std::size_t m = static_cast<std::size_t>(EntryCount());
    // Every map of one solve has the mesh's size.
    const std::int32_t rows = m > 0 ? resultMaps[0].Rows() : meshRows;
    const std::int32_t columns = m > 0 ? resultMaps[0].Columns() : meshColumns;
    ar.WriteInt32(rows);
    ar.WriteInt32(columns);
    ar.WriteInt32(static_cast<std::int32_t>(m));
    for (std::size_t e = 0; e < m; ++e) {
        ar.WriteText(resultLabels[e]);
        const ComplexMatrix& map = resultMaps[e];
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const Complex z = map.Contains(r, c) ? map(r, c) : kNoMetal;
                ar.WriteDouble(z.real());
                ar.WriteDouble(z.imag());
            }
    }
}

void PlaneResults::Read(CArchive& ar) {
    const std::int32_t rows = ar.ReadInt32();
    const std::int32_t columns = ar.ReadInt32();
    const std::int32_t m = ar.ReadInt32();
    // One map a frequency and the maximum: no solve makes more.
    if (rows < 0 || columns < 0 || m < 0 || m > AnalysisFields::kMaxFrequencySteps + 2)
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
    // Each map is allocated once its label has been read; the lists grow
    // with the maps actually there.
    std::vector<ComplexMatrix> maps;
    std::vector<std::string> labels;
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
    resultMaps = std::move(maps);
    resultLabels = std::move(labels);
}

}  // namespace vantor
