// Writes the sample component folder shipped in Database/: chokes computed
// from physical models (SMD power inductors, ferrite beads) and written as
// series-through two-port data, the way such parts are measured.
//
//   vantor-make-sample-database OUTPUT_FOLDER
//
// The output is deterministic; rerun it after changing a model and commit
// the result.

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Printf.h"

namespace {

using Complex = std::complex<double>;
using vantor::Printf;
constexpr double kTwoPi = 6.283185308;
constexpr double kFixtureC = 0.12e-12;  // F, pad capacitance of the test fixture per port
constexpr const char* kModelNote = "Modelldaten, erzeugt vom Vantor-Projekt, keine Messung";

// Small deterministic scatter so the curves look measured.
class Scatter {
public:
    explicit Scatter(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    double Next(double amplitude) {
        state_ = state_ * 1664525u + 1013904223u;
        return amplitude * ((state_ >> 8) / 8388608.0 - 1.0);
    }

private:
    std::uint32_t state_;
};

// Power inductor: winding resistance with skin effect in series with L,
// shunted by the winding capacitance and a core-loss resistance that falls
// with frequency.
struct Inductor {
    const char* name;
    const char* partNumber;
    const char* maker;
    const char* dimensions;
    double l;     // H
    double rdc;   // Ohm
    double imax;  // A
    double cw;    // F
    double qSrf;  // quality at the self-resonance, sets the core loss

    double Srf() const { return 1.0 / (kTwoPi * std::sqrt(l * cw)); }
    Complex Z(double f) const {
        const double w = kTwoPi * f;
        const double rac = rdc * (1.0 + std::sqrt(f / 2e6));  // skin and proximity effect
        const double rcore = qSrf * kTwoPi * Srf() * l * std::pow(Srf() / f, 0.35);
        const Complex ys = 1.0 / Complex(rac, w * l) + Complex(1.0 / rcore, w * cw);
        return 1.0 / ys;
    }
};

// Ferrite bead: DC resistance in series with a lossy parallel R-L-C whose
// broad peak lies above 100 MHz; sized for its impedance at 100 MHz.
struct Bead {
    const char* name;
    const char* partNumber;
    const char* maker;
    const char* dimensions;
    double z100;   // Ohm at 100 MHz
    double fPeak;  // Hz
    double q;      // of the parallel resonance, below 1: lossy
    double rdc;    // Ohm
    double imax;   // A

    Complex Z(double f) const {
        // |Z(100 MHz)| scales with R at fixed peak and Q: size R for z100.
        const double r = z100 / std::abs(Parallel(1.0, 1e8));
        return rdc + Parallel(r, f);
    }
    double Srf() const { return fPeak; }

private:
    Complex Parallel(double r, double f) const {
        const double wp = kTwoPi * fPeak;
        const double l = r / (wp * q);
        const double c = 1.0 / (wp * wp * l);
        const double w = kTwoPi * f;
        return 1.0 / Complex(1.0 / r, w * c - 1.0 / (w * l));
    }
};

struct Point {
    double f;
    Complex s11, s21, s12, s22;
};

// The part in series between two 50 Ohm ports, with the fixture's pads.
template <class Part>
std::vector<Point> Measure(const Part& part, std::uint32_t seed) {
    Scatter scatter(seed);
    std::vector<Point> points;
    const int perDecade = 40;
    for (int i = 0; i <= 4 * perDecade + 8; ++i) {  // 100 kHz .. about 1.6 GHz
        const double f = 1e5 * std::pow(10.0, static_cast<double>(i) / perDecade);
        const Complex z = part.Z(f) * (1.0 + scatter.Next(3e-3));  // a real factor keeps the part passive
        const double w = kTwoPi * f;
        // Y-matrix of pad - series Z - pad, then S = (I + 50Y)^-1 (I - 50Y).
        const Complex yp(0.0, w * kFixtureC), ys = 1.0 / z;
        const Complex y11 = yp + ys, y12 = -ys;
        const Complex a = 1.0 + 50.0 * y11, b = 50.0 * y12;
        const Complex det = a * a - b * b;
        const Complex e = 1.0 - 50.0 * y11, g = -50.0 * y12;
        const Complex s11 = (a * e - b * g) / det;
        const Complex s21 = (a * g - b * e) / det;
        points.push_back({f, s11, s21, s21, s11});
    }
    return points;
}

std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

enum class Format { MA, DB, RI };

std::string Pair(Format fmt, Complex s) {
    switch (fmt) {
        case Format::RI: return Number(s.real()) + " " + Number(s.imag());
        case Format::MA: return Number(std::abs(s)) + " " + Number(std::arg(s) * 180.0 / M_PI);
        case Format::DB: return Number(20.0 * std::log10(std::abs(s))) + " " + Number(std::arg(s) * 180.0 / M_PI);
    }
    return "";
}

std::string DataLines(const std::vector<Point>& points, Format fmt, double unit) {
    std::string out;
    for (const Point& p : points) {
        out += Number(p.f / unit) + " " + Pair(fmt, p.s11) + " " + Pair(fmt, p.s21) + " " + Pair(fmt, p.s12) + " " +
               Pair(fmt, p.s22) + "\n";
    }
    return out;
}

// Inductance in the engineering notation of the component files.
std::string Henry(double l) { return l >= 1e-6 ? Printf("%.3guH", l * 1e6) : Printf("%.3gnH", l * 1e9); }

std::string SrfText(double srf) { return srf >= 1e9 ? Printf("%.2g GHz", srf / 1e9) : Printf("%.3g MHz", srf / 1e6); }

template <class Part>
std::string S2pFile(const Part& part, double nominalL, const std::vector<Point>& points, Format fmt,
                    const char* unitName, double unit) {
    static const char* const kFormat[] = {"MA", "DB", "RI"};
    std::string s;
    s += std::string("! PART_NUMBER: ") + part.partNumber + "\n";
    s += "! NOM_L=" + Henry(nominalL) + "\n";
    s += "! IMAX=" + Printf("%.3gA", part.imax) + "\n";
    s += std::string("! MAKE: ") + part.maker + "\n";
    s += std::string("! DIM: ") + part.dimensions + "\n";
    s += "! SRF: " + SrfText(part.Srf()) + "\n";
    s += std::string("! ") + kModelNote + "\n";
    s += "! DATASHEET:\n";
    s += std::string("# ") + unitName + " S " + kFormat[static_cast<int>(fmt)] + " R 50\n";
    s += "! series-through, 50 Ohm fixture\n";
    s += DataLines(points, fmt, unit);
    return s;
}

template <class Part>
std::string FlpSet(const Part& part, double nominalL, const std::string& kind, const std::vector<Point>& points,
                   Format fmt) {
    static const char* const kFormat[] = {"S", "DB", "RI"};
    std::string s;
    s += std::string(part.name) + " " + Number(points.front().f) + " " + Number(points.back().f) + " " +
         std::to_string(points.size()) + " 50 " + kFormat[static_cast<int>(fmt)] + "\n";
    s += kind + " (" + kModelNote + ")\n";
    s += "NOM_L=" + Henry(nominalL) + "\n";
    s += "IMAX=" + Printf("%.3gA", part.imax) + "\n";
    s += std::string("MAKE: ") + part.maker + "\n";
    s += std::string("DIM: ") + part.dimensions + "\n";
    s += "SRF: " + SrfText(part.Srf()) + "\n";
    s += std::string("PART_NUMBER: ") + part.partNumber + "\n";
    s += "DATASHEET:\n";
    s += DataLines(points, fmt, 1.0);
    return s;
}

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// Makers and part numbers are invented.
const Inductor kInductors[] = {
    {"NWP5040_1R0", "NWP-5040-1R0M", "Nordwerk Magnetics", "5040", 1.0e-6, 0.009, 10.0, 0.9e-12, 30},
    {"NWP5040_2R2", "NWP-5040-2R2M", "Nordwerk Magnetics", "5040", 2.2e-6, 0.016, 7.5, 1.1e-12, 30},
    {"NWP5040_4R7", "NWP-5040-4R7M", "Nordwerk Magnetics", "5040", 4.7e-6, 0.030, 5.2, 1.4e-12, 28},
    {"NWP5040_100", "NWP-5040-100M", "Nordwerk Magnetics", "5040", 10e-6, 0.058, 3.6, 1.7e-12, 26},
    {"NWP5040_220", "NWP-5040-220M", "Nordwerk Magnetics", "5040", 22e-6, 0.120, 2.4, 2.0e-12, 24},
    {"NWP5040_470", "NWP-5040-470M", "Nordwerk Magnetics", "5040", 47e-6, 0.260, 1.6, 2.4e-12, 22},
    {"NWP5040_101", "NWP-5040-101M", "Nordwerk Magnetics", "5040", 100e-6, 0.540, 1.1, 2.8e-12, 20},
    {"SKL2016_1R5", "SKL2016T1R5", "Sorvik Components", "2016", 1.5e-6, 0.080, 2.2, 0.7e-12, 25},
    {"SKL2016_3R3", "SKL2016T3R3", "Sorvik Components", "2016", 3.3e-6, 0.160, 1.5, 0.9e-12, 24},
    {"SKL2016_6R8", "SKL2016T6R8", "Sorvik Components", "2016", 6.8e-6, 0.340, 1.0, 1.1e-12, 22},
    {"SKL2016_150", "SKL2016T150", "Sorvik Components", "2016", 15e-6, 0.800, 0.6, 1.3e-12, 20},
    {"SKL2016_330", "SKL2016T330", "Sorvik Components", "2016", 33e-6, 1.900, 0.3, 1.6e-12, 18},
};

const Bead kBeads[] = {
    {"KF1608_300", "KF1608-300", "Keldan Ferrit", "0603", 30, 450e6, 0.9, 0.015, 6.0},
    {"KF1608_600", "KF1608-600", "Keldan Ferrit", "0603", 60, 400e6, 0.8, 0.030, 4.0},
    {"KF1608_121", "KF1608-121", "Keldan Ferrit", "0603", 120, 350e6, 0.8, 0.050, 3.0},
    {"KF1608_221", "KF1608-221", "Keldan Ferrit", "0603", 220, 300e6, 0.7, 0.080, 2.0},
    {"KF2012_331", "KF2012-331", "Keldan Ferrit", "0805", 330, 260e6, 0.7, 0.090, 2.5},
    {"KF2012_601", "KF2012-601", "Keldan Ferrit", "0805", 600, 220e6, 0.6, 0.150, 1.5},
    {"KF2012_102", "KF2012-102", "Keldan Ferrit", "0805", 1000, 180e6, 0.6, 0.300, 0.8},
    {"KF3216_471", "KF3216-471", "Keldan Ferrit", "1206", 470, 240e6, 0.65, 0.060, 4.5},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out / "Drosseln", ec);
    std::filesystem::create_directories(out / "Ferrite", ec);

    // Inductors as single "S2P" files, in all three formats and units.
    std::uint32_t seed = 1;
    int files = 0;
    for (const Inductor& part : kInductors) {
        const auto points = Measure(part, seed++);
        const int k = files % 3;
        const Format fmt = k == 0 ? Format::RI : (k == 1 ? Format::MA : Format::DB);
        const char* unitName = k == 0 ? "Hz" : (k == 1 ? "MHz" : "GHz");
        const double unit = k == 0 ? 1.0 : (k == 1 ? 1e6 : 1e9);
        if (!WriteFile(out / "Drosseln" / (std::string(part.name) + ".s2p"),
                       S2pFile(part, part.l, points, fmt, unitName, unit)))
            return 1;
        ++files;
    }
    // The small beads as "S2P" files, the larger ones together in one "FLP" file.
    std::string flp;
    for (const Bead& part : kBeads) {
        const auto points = Measure(part, seed++);
        const double lEff = std::imag(part.Z(1e6)) / (kTwoPi * 1e6);  // inductance seen at low frequency
        if (part.z100 < 200) {
            if (!WriteFile(out / "Ferrite" / (std::string(part.name) + ".s2p"),
                           S2pFile(part, lEff, points, Format::RI, "Hz", 1.0)))
                return 1;
            ++files;
        } else {
            const Format fmt = flp.empty() ? Format::MA : Format::RI;
            flp += FlpSet(part, lEff, "Ferritperle " + std::string(part.dimensions), points, fmt);
        }
    }
    if (!WriteFile(out / "Ferrite" / "KELDAN_FERRIT.flp", flp)) return 1;
    std::printf("%d S2P files and one FLP file written to %s\n", files, out.string().c_str());
    return 0;
}
