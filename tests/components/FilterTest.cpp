// The LC filter: the attenuation against independent evaluations of the
// same circuit, the choke search, the point lookup and the field checks.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "CFilter.h"
#include "FilterFields.h"
#include "CCircuitBoard.h"

namespace vantor {
namespace {

using Matrix = std::vector<std::vector<Complex>>;
constexpr double kW = 2.0 * 3.14159265358979323846;

// Dense complex Gaussian elimination with partial pivoting: A x = b.
std::vector<Complex> Solve(Matrix a, std::vector<Complex> b) {
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t piv = k;
        for (std::size_t i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[piv][k])) piv = i;
        std::swap(a[k], a[piv]);
        std::swap(b[k], b[piv]);
        for (std::size_t i = k + 1; i < n; ++i) {
            const Complex m = a[i][k] / a[k][k];
            for (std::size_t j = k; j < n; ++j) a[i][j] -= m * a[k][j];
            b[i] -= m * b[k];
        }
    }
    std::vector<Complex> x(n);
    for (std::size_t k = n; k-- > 0;) {
        Complex s = b[k];
        for (std::size_t j = k + 1; j < n; ++j) s -= a[k][j] * x[j];
        x[k] = s / a[k][k];
    }
    return x;
}

// Admittance stamp of an element between nodes a and b (0 is ground).
void Stamp(Matrix& y, int a, int b, Complex adm) {
    if (a > 0) y[a - 1][a - 1] += adm;
    if (b > 0) y[b - 1][b - 1] += adm;
    if (a > 0 && b > 0) {
        y[a - 1][b - 1] -= adm;
        y[b - 1][a - 1] -= adm;
    }
}

// A power inductor as built: input node 1, output node 2, inner node 3.
// R and L in series, winding capacitance across, pad capacitance and a
// leakage path from each terminal to ground (unequal, so S11 != S22).
struct ChokeModel {
    double r = 0.35, l = 4.7e-6, cw = 3e-12, cp1 = 20e-12, cp2 = 12e-12, rp1 = 2e3, rp2 = 3.3e3;

    Matrix Nodes(double f) const {
        const double w = kW * f;
        Matrix y(3, std::vector<Complex>(3));
        Stamp(y, 1, 3, 1.0 / r);
        Stamp(y, 3, 2, 1.0 / Complex(0.0, w * l));
        Stamp(y, 1, 2, Complex(0.0, w * cw));
        Stamp(y, 1, 0, Complex(1.0 / rp1, w * cp1));
        Stamp(y, 2, 0, Complex(1.0 / rp2, w * cp2));
        return y;
    }
};

// Port admittance matrix of the model (inner node eliminated).
Matrix PortY(const ChokeModel& m, double f) {
    const Matrix y = m.Nodes(f);
    Matrix p(2, std::vector<Complex>(2));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) p[i][j] = y[i][j] - y[i][2] * y[2][j] / y[2][2];
    return p;
}

// S = (I + Z0 Y)^-1 (I - Z0 Y) for a 50 Ohm reference.
CSParameter FromY(const Matrix& y, double f) {
    const double z0 = 50.0;
    const Complex a = 1.0 + z0 * y[0][0], b = z0 * y[0][1], c = z0 * y[1][0], d = 1.0 + z0 * y[1][1];
    const Complex det = a * d - b * c;
    const Complex ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    const Complex e = 1.0 - z0 * y[0][0], g = -z0 * y[0][1], h = -z0 * y[1][0], k = 1.0 - z0 * y[1][1];
    CSParameter p;
    p.freq = f;
    p.s11 = ia * e + ib * h;
    p.s12 = ia * g + ib * k;
    p.s21 = ic * e + id * h;
    p.s22 = ic * g + id * k;
    return p;
}

// Y = (I - S)(I + S)^-1 / Z0, the inverse of FromY.
Matrix ToY(const CSParameter& p) {
    const Complex a = 1.0 + p.s11, b = p.s12, c = p.s21, d = 1.0 + p.s22;
    const Complex det = a * d - b * c;
    const Complex ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    const Complex e = 1.0 - p.s11, g = -p.s12, h = -p.s21, k = 1.0 - p.s22;
    return {{(e * ia + g * ic) / 50.0, (e * ib + g * id) / 50.0}, {(h * ia + k * ic) / 50.0, (h * ib + k * id) / 50.0}};
}

double Db(Complex h) { return std::min(0.0, 20.0 * std::log10(std::abs(h))); }

// Nodal analysis of the whole filter with the model's elements: Norton
// source at node 1, the group and the load at node 2.
double NodalModel(const ChokeModel& m, double f, Complex groupY) {
    Matrix y = m.Nodes(f);
    y[0][0] += 1.0 / 50.0;
    y[1][1] += 1.0 / 50.0 + groupY;
    const auto v = Solve(y, {1.0 / 50.0, 0.0, 0.0});  // 1 V source
    return Db(2.0 * v[1]);
}

// The same with a measured two-port stamped through its Y-matrix.
double NodalTwoPort(const CSParameter& p, Complex groupY) {
    Matrix y = ToY(p);
    y[0][0] += 1.0 / 50.0;
    y[1][1] += 1.0 / 50.0 + groupY;
    const auto v = Solve(y, {1.0 / 50.0, 0.0});
    return Db(2.0 * v[1]);
}

// The Z-parameter route: S to Z, the choke as a T network, the circuit
// determinant. Valid only where the Z-parameters exist.
double ZRoute(const CSParameter& p, Complex zc) {
    const Complex s11 = p.s11, s22 = p.s22, s21 = p.s21;
    const Complex s12 = std::abs(p.s21 - p.s12) < 0.01 ? p.s21 : p.s12;
    const Complex delta = (1.0 - s11) * (1.0 - s22) - s12 * s21;
    const Complex z11 = 50.0 * ((1.0 + s11) * (1.0 - s22) + s12 * s21) / delta;
    const Complex z12 = 50.0 * 2.0 * s12 / delta;
    const Complex z21 = 50.0 * 2.0 * s21 / delta;
    const Complex z22 = 50.0 * ((1.0 - s11) * (1.0 + s22) + s12 * s21) / delta;
    const Complex z1 = z11 - z12, z2 = z22 - z12, z3 = z21;
    const Complex a = z1 + 50.0;
    const Complex d = (a * z2 + a * z3 + z2 * z3) * (zc + 50.0) + (a + z3) * zc * 50.0;
    const Complex h = (50.0 + 50.0) * z3 * zc / d;
    return std::min(0.0, 10.0 * std::log10(std::norm(h)));
}

// A filter group: plane entry and three ceramics on the default board.
struct GroupFixture {
    CCircuitBoard board;
    CCGroup group;
    GroupFixture() {
        group.board = &board;
        group.Append(CCGroup::PlaneCapacitanceEntry(board));
        for (double c : {10e-9, 100e-9, 1e-6}) group.Append(group.NewCapacitor(c));
    }
};

const double kFrequencies[] = {1e5, 1e6, 7.3e6, 2.2e7, 1e8, 3e8, 1e9};

TEST(FilterAttenuation, MatchesNodalAnalysisAndTheZRouteOnAChokeModel) {
    const ChokeModel model;
    GroupFixture g;
    CFilter filter;
    filter.group.Assign(g.group);
    for (int useGroup : {0, 1}) {
        filter.useGroup = useGroup;
        for (double f : kFrequencies) {
            const CSParameter p = FromY(PortY(model, f), f);
            const Complex delta = (1.0 - p.s11) * (1.0 - p.s22) - p.s12 * p.s21;
            ASSERT_GT(std::abs(delta), 1e-3) << "the Z-parameters must be well-conditioned at " << f;
            const Complex groupY = useGroup ? filter.group.GroupAdmittance(f, 1) : Complex(1e-9, 0.0);
            const double a = filter.Attenuation(p);
            EXPECT_NEAR(a, NodalModel(model, f, groupY), 1e-9) << "f " << f << " group " << useGroup;
            EXPECT_NEAR(a, ZRoute(p, 1.0 / groupY), 1e-9) << "f " << f << " group " << useGroup;
            EXPECT_LT(a, 0.0);
        }
    }
}

TEST(FilterAttenuation, TheGroupAddsAttenuationAboveTheCorner) {
    const ChokeModel model;
    GroupFixture g;
    CFilter filter;
    filter.group.Assign(g.group);
    const CSParameter p = FromY(PortY(model, 1e7), 1e7);
    filter.useGroup = 0;
    const double alone = filter.Attenuation(p);
    filter.useGroup = 1;
    const double with = filter.Attenuation(p);
    // 4.7 uH and about 1 uF: an LC low-pass far above its corner at 10 MHz.
    EXPECT_LT(with, alone - 40.0);
}

TEST(FilterAttenuation, APureSeriesElementFollowsTheClosedForm) {
    // Z-parameters do not exist here (the determinant is zero); the series
    // element and the shunt Zc give H = 2 (Zc||50) / (50 + Z + Zc||50).
    const Complex zs[] = {{0.0, 1e-3}, {2.0, 30.0}, {10.0, -400.0}, {600.0, 150.0}, {1e4, 0.0}};
    const Complex zcs[] = {{1e9, 0.0}, {0.05, -0.2}, {3.0, 1.0}};
    for (const Complex z : zs) {
        CSParameter p;
        p.freq = 1e7;
        p.s11 = p.s22 = z / (z + 100.0);
        p.s21 = p.s12 = 100.0 / (z + 100.0);
        for (const Complex zc : zcs) {
            const Complex par = zc * 50.0 / (zc + 50.0);
            const double expected = Db(2.0 * par / (50.0 + z + par));
            const double a = ChokeAttenuation(p, 1.0 / zc);
            ASSERT_TRUE(std::isfinite(a));
            EXPECT_NEAR(a, expected, 1e-9) << "Z " << z << " Zc " << zc;
            EXPECT_NEAR(a, NodalTwoPort(p, 1.0 / zc), 1e-9);
        }
    }
}

TEST(FilterAttenuation, HoldsForNonReciprocalTwoPorts) {
    // With the source at the reference impedance the reverse transmission
    // cannot change the load voltage: data within the reciprocity tolerance,
    // and a two-port that is not reciprocal at all, agree with the nodal
    // analysis of the same circuit.
    const ChokeModel model;
    const CSParameter base = FromY(PortY(model, 3e7), 3e7);
    const Complex groupY(0.02, 0.5);

    CSParameter near = base;
    near.s12 = base.s21 + Complex(0.006, -0.006);  // |difference| 0.0085 < 0.01
    EXPECT_NEAR(ChokeAttenuation(near, groupY), ChokeAttenuation(base, groupY), 1e-12);

    for (const Complex factor : {Complex(0.5, 0.0), Complex(0.0, 0.0), Complex(-0.3, 0.8)}) {
        CSParameter far = base;
        far.s12 = base.s21 * factor;
        ASSERT_GT(std::abs(far.s12 - far.s21), 0.01);
        EXPECT_NEAR(ChokeAttenuation(far, groupY), NodalTwoPort(far, groupY), 1e-9) << factor;
    }
}

TEST(FilterAttenuation, IsLimitedToZeroDecibel) {
    CSParameter through;  // a plain connection: nothing lost
    through.freq = 1e6;
    through.s21 = through.s12 = 1.0;
    EXPECT_EQ(ChokeAttenuation(through, 0.0), 0.0);

    CSParameter gain = through;  // an amplifier would give +6 dB
    gain.s21 = 2.0;
    gain.s12 = 0.0;
    EXPECT_EQ(ChokeAttenuation(gain, 0.0), 0.0);

    CSParameter block = through;  // no transmission at all
    block.s21 = block.s12 = 0.0;
    block.s11 = block.s22 = 1.0;
    EXPECT_EQ(ChokeAttenuation(block, 0.0), -HUGE_VAL);
}

TEST(FilterAttenuation, WithoutGroupTheShuntIsOneGigaohm) {
    GroupFixture g;
    CFilter filter;
    filter.group.Assign(g.group);
    filter.useGroup = 0;
    CSParameter p;
    p.freq = 5e7;
    const Complex z(1.0, 200.0);
    p.s11 = p.s22 = z / (z + 100.0);
    p.s21 = p.s12 = 100.0 / (z + 100.0);
    EXPECT_EQ(filter.Attenuation(p), ChokeAttenuation(p, Complex(1e-9, 0.0)));
}

// --- choke search -------------------------------------------------------------------

// A choke as a series R-L from fLow to fHigh, 10 points per decade.
std::unique_ptr<CSParaSet> SeriesChoke(const std::string& name, double l, double imax, double fLow, double fHigh) {
    auto s = std::make_unique<CSParaSet>();
    s->name = name;
    s->nominalL = l;
    s->maxCurrent = imax;
    s->refImpedance = 50.0;
    std::vector<double> freqs;
    for (int i = 0; fLow * std::pow(10.0, i / 10.0) < fHigh * (1 - 1e-9); ++i) freqs.push_back(fLow * std::pow(10.0, i / 10.0));
    freqs.push_back(fHigh);  // the data end exactly at fHigh
    for (const double f : freqs) {
        const Complex z(0.1, kW * f * l);
        CSParameter p;
        p.freq = f;
        p.s11 = p.s22 = z / (z + 100.0);
        p.s21 = p.s12 = 100.0 / (z + 100.0);
        s->points.push_back(p);
    }
    s->pointCount = static_cast<int>(s->points.size());
    s->fMin = s->points.front().freq;
    s->fMax = s->points.back().freq;
    return s;
}

std::vector<std::string> CandidateNames(const CFilter& f) {
    std::vector<std::string> names;
    for (const CSParaSet* s : f.candidates) names.push_back(s->name);
    return names;
}

CFilter SearchFilter() {
    CFilter f;
    f.useGroup = 0;
    f.fLower = 1e7;
    f.fUpper = 1e8;
    f.minAttenuation = 20.0;  // series L alone: 20 dB at 10 MHz needs |Z| > 900 Ohm, about 15 uH
    f.maxSupplyCurrent = 3.0;
    return f;
}

TEST(ChokeSearch, KeepsOnlyChokesMeetingCurrentBandAndAttenuation) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("good", 47e-6, 5.0, 1e6, 1e9));
    db.AddSet(SeriesChoke("ends80MHz", 47e-6, 5.0, 1e6, 8e7));      // data end below fUpper
    db.AddSet(SeriesChoke("starts20MHz", 47e-6, 5.0, 2e7, 1e9));    // data start above fLower
    db.AddSet(SeriesChoke("imax2A", 47e-6, 2.0, 1e6, 1e9));         // below 3 A
    db.AddSet(SeriesChoke("imax3A", 47e-6, 3.0, 1e6, 1e9));         // exactly enough
    db.AddSet(SeriesChoke("noImax", 47e-6, 0.0, 1e6, 1e9));         // not given: not excluded
    db.AddSet(SeriesChoke("tooSmall", 4.7e-6, 5.0, 1e6, 1e9));      // about 10 dB at 10 MHz
    CFilter f = SearchFilter();
    EXPECT_EQ(f.SearchChokes(db), 3);
    EXPECT_EQ(CandidateNames(f), (std::vector<std::string>{"good", "imax3A", "noImax"}));

    f.fUpper = 8e7;  // now the short data cover the band
    f.SearchChokes(db);
    EXPECT_EQ(CandidateNames(f), (std::vector<std::string>{"good", "ends80MHz", "imax3A", "noImax"}));
}

TEST(ChokeSearch, TheAttenuationIsCheckedOnlyInsideTheBand) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("L", 22e-6, 0.0, 1e5, 1e9));  // about 23 dB at 10 MHz, 4 dB at 100 kHz
    CFilter f = SearchFilter();
    EXPECT_EQ(f.SearchChokes(db), 1);
    f.fLower = 1e6;  // 1 MHz gives about 4.5 dB only
    EXPECT_EQ(f.SearchChokes(db), 0);
    EXPECT_TRUE(f.candidates.empty());
    EXPECT_EQ(f.SelectedChoke(), nullptr);
}

TEST(ChokeSearch, TheGroupTakesPartWhenSwitchedOn) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("L", 1e-6, 0.0, 1e6, 1e9));  // far too small alone
    GroupFixture g;
    CFilter f = SearchFilter();
    f.group.Assign(g.group);
    EXPECT_EQ(f.SearchChokes(db), 0);
    f.useGroup = 1;
    EXPECT_EQ(f.SearchChokes(db), 1);
}

TEST(ChokeSearch, ProposesTheFirstNameIgnoringCase) {
    struct Case {
        std::vector<std::string> names;
        int selected;
    };
    const Case cases[] = {
        {{"Beta", "alpha", "Gamma"}, 1},                  // a case-blind order, not "Beta" < "alpha"
        {{"b", "A", "a"}, 1},                             // ties keep the earlier
        {{"zzzzzzzzzzzzzzzzzzzz", "zzzzzzzzzzzzzzzzzzzzz"}, 0},  // nothing sorts before the start value
        {{"zzzzzzzzzzzzzzzzzzzz", "ZZZZZZZZZZZZZZZZZY"}, 1},
    };
    for (const Case& c : cases) {
        CSParameterDB db;
        for (const std::string& n : c.names) db.AddSet(SeriesChoke(n, 47e-6, 0.0, 1e6, 1e9));
        CFilter f = SearchFilter();
        ASSERT_EQ(f.SearchChokes(db), static_cast<int>(c.names.size()));
        EXPECT_EQ(f.selected, c.selected) << c.names[0];
        EXPECT_EQ(f.SelectedChoke()->name, c.names[static_cast<std::size_t>(c.selected)]);
    }
}

// --- points, trace, group -----------------------------------------------------------

TEST(FilterPoints, NearestPointWalksToTheClosest) {
    CSParameterDB db;
    auto s = std::make_unique<CSParaSet>();
    s->name = "P";
    for (double f : {1e6, 2e6, 4e6, 8e6}) s->points.push_back(CSParameter{f, {}, {}, {}, {}});
    s->fMin = 1e6;
    s->fMax = 8e6;
    db.AddSet(std::move(s));
    CFilter f;
    EXPECT_EQ(f.NearestPoint(1e6), nullptr);  // no choke chosen yet
    f.candidates.push_back(&db.Set(0));
    const std::pair<double, double> cases[] = {
        {4e6, 4e6}, {3e6, 2e6} /* tie: the earlier */, {2.9e6, 2e6}, {3.1e6, 4e6}, {0.0, 1e6}, {5.9e6, 4e6},
        {6.1e6, 8e6}, {1e12, 8e6}, {-1.0, 1e6}};
    for (const auto& [query, expected] : cases) EXPECT_EQ(f.NearestPoint(query)->freq, expected) << query;
}

TEST(FilterPoints, TheTraceHasOnePointPerDataPointInTheBand) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("L", 10e-6, 0.0, 1e6, 1e9));  // 1, 1.26, 1.58 ... 1000 MHz
    CFilter f;
    f.fLower = 1e7;
    f.fUpper = 1e8;
    std::vector<FilterTracePoint> trace;
    EXPECT_EQ(f.AttenuationTrace(trace), 0);  // no choke
    f.candidates.push_back(&db.Set(0));
    trace.push_back({1, 1.0, 7.0});           // appended to, not replaced
    EXPECT_EQ(f.AttenuationTrace(trace), 11); // both band edges are data points
    ASSERT_EQ(trace.size(), 12u);
    EXPECT_NEAR(trace[1].x, 1e7, 1e-3);
    EXPECT_NEAR(trace.back().x, 1e8, 1e-2);
    for (std::size_t i = 1; i < trace.size(); ++i) {
        EXPECT_EQ(trace[i].y, 0.0);
        EXPECT_EQ(trace[i].flag, 1);
    }
}

// --- field checks ----------------------------------------------------------------------

TEST(FilterFields, ChecksInTheOrderOfTheForm) {
    struct Case {
        const char *fo, *fu, *a, *imax;
        const char* message;  // nullptr: accepted
        int control;
    };
    const Case cases[] = {
        {"300MHz", "10MHz", "35dB", "0.1A", nullptr, 0},
        {"300MHz", "10MHz", "120dB", "100A", nullptr, 0},
        {"3GHz", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", kFoControl},
        {"0", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", kFoControl},
        {"abc", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", kFoControl},
        {"300MHz", "0", "35", "1", "Fehler: 0Hz < Fu < 3GHz !", kFuControl},
        {"300MHz", "300MHz", "35", "1", "Fehler: Fo muß größer als Fu sein!", kFoControl},
        {"300MHz", "1GHz", "35", "1", "Fehler: Fo muß größer als Fu sein!", kFoControl},
        {"300MHz", "10MHz", "35", "0", "Fehler: 0A < Imax < 100A", kImaxControl},
        {"300MHz", "10MHz", "35", "100.5A", "Fehler: 0A < Imax < 100A", kImaxControl},
        {"300MHz", "10MHz", "0", "1", "Fehler: 0dB < A <= 120dB", kAttenuationControl},
        {"300MHz", "10MHz", "120.5dB", "1", "Fehler: 0dB < A <= 120dB", kAttenuationControl},
        {"300MHz", "10MHz", "0", "0", "Fehler: 0A < Imax < 100A", kImaxControl},  // Imax before A
        {"1e309", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", kFoControl},       // infinite
        {"300MHz", "10MHz", "1e309dB", "1", "Fehler: 0dB < A <= 120dB", kAttenuationControl},
    };
    for (const Case& c : cases) {
        const FieldCheck r = FilterFields{c.fo, c.fu, c.a, c.imax}.Check();
        if (c.message == nullptr) {
            EXPECT_FALSE(r.has_value()) << c.fo << " " << c.fu << " " << c.a << " " << c.imax;
            continue;
        }
        ASSERT_TRUE(r.has_value()) << c.message;
        EXPECT_EQ(r->message, c.message);
        EXPECT_EQ(r->controlId, c.control) << c.message;
    }
    const FilterFields fields{"300MHz", "10MHz", "35dB", "0.1A"};
    ASSERT_FALSE(fields.Check().has_value());
    CFilter f;
    fields.ApplyTo(f);
    EXPECT_DOUBLE_EQ(f.fUpper, 3e8);
    EXPECT_DOUBLE_EQ(f.fLower, 1e7);
    EXPECT_DOUBLE_EQ(f.minAttenuation, 35.0);
    EXPECT_DOUBLE_EQ(f.maxSupplyCurrent, 0.1);
    EXPECT_EQ(FilterFields::FromFilter(f).fo, "300MHz");
}

}  // namespace
}  // namespace vantor
