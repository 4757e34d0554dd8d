#include "Polint.h"

#include <cmath>
#include <new>
#include <vector>

#include "NrError.h"

namespace vantor {

void Polint(const double xa[], const Complex ya[], int n, double x, Complex& y, Complex& dy) {
    y = Complex{};
    dy = Complex{};
    if (n <= 0) return;

    std::vector<Complex> c, d;
    try {
        c.assign(ya, ya + n);
        d.assign(ya, ya + n);
    } catch (const std::bad_alloc&) {
        NrError(kVectorAllocationError);
        return;
    }

    // Start from the tabulated point nearest to x (the first one on ties).
    int ns = 0;
    double dif = std::fabs(x - xa[0]);
    for (int i = 1; i < n; ++i) {
        const double dift = std::fabs(x - xa[i]);
        if (dift < dif) {
            ns = i;
            dif = dift;
        }
    }
    y = ya[ns];
    --ns;

    // Indices are 0-based here; ns = -1 stands for "before the first".
    for (int m = 1; m < n; ++m) {
        for (int i = 0; i < n - m; ++i) {
            const double ho = xa[i] - x;
            const double hp = xa[i + m] - x;
            const Complex w = c[static_cast<std::size_t>(i) + 1] - d[static_cast<std::size_t>(i)];
            double den = ho - hp;
            if (den == 0.0) NrError(kPolintError);  // logged; the estimate goes on
            const Complex q = w / den;
            d[static_cast<std::size_t>(i)] = hp * q;
            c[static_cast<std::size_t>(i)] = ho * q;
        }
        if (2 * (ns + 1) < n - m) {
            dy = c[static_cast<std::size_t>(ns + 1)];
        } else {
            dy = d[static_cast<std::size_t>(ns)];
            --ns;
        }
        y += dy;
    }
}

}  // namespace vantor
