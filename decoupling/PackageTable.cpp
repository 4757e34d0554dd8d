#include "PackageTable.h"

#include <charconv>

namespace vantor {

namespace {

struct Row {
    const char* name;
    double lserNH, rloss, capHigh, capLow, widthMM, thicknessMM, lengthMM;
};

const Row kRows[PackageTable::kSize] = {
    {"Benutzerdefiniert", 0.75, 0.2, 10e-6, 0.5e-12, 0.5, 0.6, 1},
    {"0603(0201) COG-Keramik", 0.7, 0.2, 470e-12, 0.5e-12, 0.3, 0.3, 0.6},
    {"1005(0402) COG-Keramik", 0.75, 0.2, 470e-12, 0.5e-12, 0.5, 0.6, 1},
    {"1608(0603) COG-Keramik", 0.87, 0.2, 470e-12, 0.5e-12, 0.8, 0.8, 1.6},
    {"2012(0805) COG-Keramik", 1.05, 0.2, 1e-9, 0.5e-12, 1.2, 1, 2},
    {"3216(1206) COG-Keramik", 1.25, 0.2, 2.2e-9, 0.5e-12, 1.6, 1.3, 3.2},
    {"3225(1210) COG-Keramik", 1.3, 0.2, 2.2e-9, 0.5e-12, 2.5, 1.3, 3.2},
    {"4532(1812) COG-Keramik", 1.35, 0.2, 2.2e-9, 0.5e-12, 3.2, 1.3, 4.5},
    {"0603(0201) X7R-Keramik", 0.7, 0.25, 470e-12, 0.5e-12, 0.3, 0.3, 0.6},
    {"1005(0402) X7R-Keramik", 0.75, 0.25, 470e-12, 0.5e-12, 0.5, 0.6, 1},
    {"1608(0603) X7R-Keramik", 0.87, 0.25, 470e-12, 0.5e-12, 0.8, 0.8, 1.6},
    {"2012(0805) X7R-Keramik", 1.05, 0.25, 1e-9, 0.5e-12, 1.2, 1, 2},
    {"3216(1206) X7R-Keramik", 1.25, 0.25, 2.2e-9, 0.5e-12, 1.6, 1.3, 3.2},
    {"3225(1210) X7R-Keramik", 1.3, 0.25, 2.2e-9, 0.5e-12, 2.5, 1.3, 3.2},
    {"4532(1812) X7R-Keramik", 1.35, 0.25, 2.2e-9, 0.5e-12, 3.2, 1.3, 4.5},
};

std::vector<std::string> BuildSeries(const std::vector<const char*>& mantissas, const std::vector<const char*>& tail) {
    // Decades 10 pF .. 1 uF written as 10p, 100p, 1n, 10n, 100n, 1u.
    struct Decade {
        double factor;
        const char* prefix;
    };
    const Decade decades[] = {{10, "p"}, {100, "p"}, {1, "n"}, {10, "n"}, {100, "n"}, {1, "u"}};
    std::vector<std::string> out;
    for (const Decade& d : decades) {
        for (const char* m : mantissas) {
            double v = 0;
            std::from_chars(m, m + std::char_traits<char>::length(m), v);
            v *= d.factor;
            char buf[32];
            auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
            std::string s(buf, r.ptr);
            if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
            out.push_back(s + d.prefix + "F");
        }
    }
    for (const char* t : tail) out.emplace_back(t);
    return out;
}

}  // namespace

PackageTable::PackageTable() {
    entries_.reserve(kSize);
    for (int i = 0; i < kSize; ++i) {
        const Row& r = kRows[i];
        CCapShape s;
        s.packageType = i;
        s.name = r.name;
        s.lser = r.lserNH * 1e-9;
        s.rloss = r.rloss;
        s.capHigh = r.capHigh;
        s.capLow = r.capLow;
        s.bodyWidth = r.widthMM * 1e-3;
        s.bodyThickness = r.thicknessMM * 1e-3;
        s.bodyLength = r.lengthMM * 1e-3;
        entries_.push_back(s);
    }
}

const CCapShape* PackageTable::Find(const std::string& typeOrName) const {
    int type = -1;
    auto r = std::from_chars(typeOrName.data(), typeOrName.data() + typeOrName.size(), type);
    if (r.ec == std::errc() && r.ptr == typeOrName.data() + typeOrName.size()) {
        if (type >= 0 && type < kSize) return &entries_[static_cast<std::size_t>(type)];
        return nullptr;
    }
    for (const CCapShape& s : entries_)
        if (s.name == typeOrName) return &s;
    return nullptr;
}

PackageTable& PackageTable::Application() {
    static PackageTable table;
    return table;
}

const CCapShape& DefaultPackage() { return PackageTable::Application()[PackageTable::kDefaultType]; }

const std::vector<std::string>& E6Series() {
    static const std::vector<std::string> series = BuildSeries({"1.0", "1.5", "2.2", "3.3", "4.7", "6.8"},
                                                               {"10uF", "15uF", "22uF"});
    return series;
}

const std::vector<std::string>& E12Series() {
    static const std::vector<std::string> series = BuildSeries({"1.0", "1.2", "1.5", "1.8", "2.2", "2.7", "3.3", "3.9",
                                                                "4.7", "5.6", "6.8", "8.2"},
                                                               {"10uF", "12uF", "15uF", "18uF", "22uF"});
    return series;
}

}  // namespace vantor
