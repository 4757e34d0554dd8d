// The point-and-frequency lookup in the stored result maps.
#include <algorithm>
#include <cmath>

#include "Polint.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {

using Complex = std::complex<double>;

Complex CLayer::ImpedanceAt(double x, double y, double f, int& valid) const {
    valid = 1;
    if (resultMaps.empty() || resultLabels.empty()) return {0.0, 0.0};
    const CNode* node = FindNearestNode(x, y);
    const int entries = static_cast<int>(std::min(resultMaps.size(), resultLabels.size()));
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
    if (entries < 3) return {0.0, 0.0};

    // The last entry is "Maximum"; interpolate over the frequency entries,
    // at most six of them around the bracketing one.
    const int n = entries - 1;
    const int count = std::min(n, 6);
    const int first = n < 6 ? 0 : std::min(std::max(stop - 3, 0), n - 6);
    double xa[6];
    Complex ya[6];
    for (int i = 0; i < count; ++i) {
        xa[i] = ParseValue(resultLabels[first + i]);
        ya[i] = resultMaps[first + i](r, c);
    }
    Complex value, dy;
    Polint(xa, ya, count, f, value, dy);
    if (!(std::abs(dy) < 0.01)) valid = 0;
    return value;
}

}  // namespace vantor
