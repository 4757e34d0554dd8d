#pragma once
// The four structure matrices of a meshed plane (interior and edge branches,
// diagonal and off-diagonal), held sparse in the compressed-column pattern
// of their sum S. Column k lists its rows in ascending order.

#include <cstdint>
#include <vector>

namespace vantor {

struct PlaneStructure {
    enum Kind : std::uint8_t { Diagonal = 0, InteriorOff = 1, EdgeOff = 2 };

    int n = 0;                       // active nodes N
    std::vector<int> interiorDiag;   // per node: number of interior branches
    std::vector<int> edgeDiag;       // per node: number of edge branches
    std::vector<int> columnStart;    // n + 1 entries
    std::vector<int> rowIndex;       // 0-based rows
    std::vector<std::uint8_t> kind;  // what each stored entry is

    /// Value of interiorOff / edgeOff at (i, j), 0-based (0 or 1).
    int interiorOff(int i, int j) const { return Entry(i, j, InteriorOff); }
    int edgeOff(int i, int j) const { return Entry(i, j, EdgeOff); }

    void Clear() { *this = PlaneStructure{}; }

private:
    int Entry(int i, int j, Kind k) const {
        if (j < 0 || j >= n) return 0;
        for (int e = columnStart[j]; e < columnStart[j + 1]; ++e)
            if (rowIndex[e] == i) return kind[e] == k ? 1 : 0;
        return 0;
    }
};

}  // namespace vantor
