#include "CCutOut.h"

#include <utility>

namespace vantor {

CCutOut::CCutOut(double x1_, double y1_, double x2_, double y2_, std::string name_)
    : y1(y1_), y2(y2_), x1(x1_), x2(x2_), name(std::move(name_)) {
    if (y2 < y1) std::swap(y1, y2);
    if (x1 > x2) std::swap(x1, x2);
}

bool CCutOut::contains(double x, double y) const { return inactive == 0 && covers(x, y); }

}  // namespace vantor
