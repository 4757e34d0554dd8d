// The LC filter: the attenuation against independent evaluations of the
// same circuit, the choke search, the point lookup and the field checks.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "CFilter.h"
#include "FilterFields.h"
#include "CCircuitBoard.h"

namespace vantor {
namespace {

constexpr double kW = 2.0 * 3.14159265358979323846;

// 2x2 matrices as {a, b, c, d}, row by row.
using M2 = std::array<Complex, 4>;
M2 Mul(const M2& x, const M2& y) {
    return {x[0] * y[0] + x[1] * y[2], x[0] * y[1] + x[1] * y[3], x[2] * y[0] + x[3] * y[2], x[2] * y[1] + x[3] * y[3]};
}
M2 Inv(const M2& x) {
    const Complex det = x[0] * x[3] - x[1] * x[2];
    return {x[3] / det, -x[1] / det, -x[2] / det, x[0] / det};
}
M2 Plus(const M2& x, double f) { return {1.0 + f * x[0], f * x[1], f * x[2], 1.0 + f * x[3]}; }  // I + f X

// A power inductor as built: input node 1, output node 2, inner node 3.
// R and L in series, winding capacitance across, pad capacitance and a
// leakage path from each terminal to ground (unequal, so S11 != S22).
// Returns the port admittances, the inner node eliminated.
M2 ChokeY(double f) {
    const double w = kW * f;
    Complex y[3][3] = {};
    const auto stamp = [&y](int a, int b, Complex adm) {  // between nodes a and b, 0 is ground
        if (a > 0) y[a - 1][a - 1] += adm;
        if (b > 0) y[b - 1][b - 1] += adm;
        if (a > 0 && b > 0) y[a - 1][b - 1] -= adm, y[b - 1][a - 1] -= adm;
    };
    stamp(1, 3, 1.0 / 0.35);
    stamp(3, 2, 1.0 / Complex(0.0, w * 4.7e-6));
    stamp(1, 2, Complex(0.0, w * 3e-12));
    stamp(1, 0, Complex(1.0 / 2e3, w * 20e-12));
    stamp(2, 0, Complex(1.0 / 3.3e3, w * 12e-12));
    const auto port = [&y](int i, int j) { return y[i][j] - y[i][2] * y[2][j] / y[2][2]; };
    return {port(0, 0), port(0, 1), port(1, 0), port(1, 1)};
}

// S = (I + Z0 Y)^-1 (I - Z0 Y) for a 50 Ohm reference: the measured data of the choke model.
CSParameter ChokeData(double f) {
    const M2 s = Mul(Inv(Plus(ChokeY(f), 50.0)), Plus(ChokeY(f), -50.0));
    return CSParameter{f, s[0], s[2], s[1], s[3]};
}

// Y = (I - S)(I + S)^-1 / Z0, the inverse of the above.
M2 ToY(const CSParameter& p) {
    const M2 s{p.s11, p.s12, p.s21, p.s22};
    const M2 y = Mul(Plus(s, -1.0), Inv(Plus(s, 1.0)));
    return {y[0] / 50.0, y[1] / 50.0, y[2] / 50.0, y[3] / 50.0};
}

// A series element Z measured between two 50 Ohm ports.
CSParameter Series(double f, Complex z) {
    return {f, z / (z + 100.0), 100.0 / (z + 100.0), 100.0 / (z + 100.0), z / (z + 100.0)};
}

double Db(Complex h) { return std::min(0.0, 20.0 * std::log10(std::abs(h))); }

// Nodal analysis of the whole filter, the choke given by its admittances:
// a 1 V Norton source at port 1, the group and the load at port 2.
double Nodal(M2 y, Complex groupY) {
    y[0] += 1.0 / 50.0;
    y[3] += 1.0 / 50.0 + groupY;
    return Db(2.0 * Inv(y)[2] / 50.0);
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
    CCGroup group{&board};
    GroupFixture() {
        group.Append(CCGroup::PlaneCapacitanceEntry(board));
        for (double c : {10e-9, 100e-9, 1e-6}) group.Append(group.NewCapacitor(c));
    }
};

TEST(FilterAttenuation, MatchesNodalAnalysisAndTheZRouteOnAChokeModel) {
    GroupFixture g;
    CFilter filter(&g.board);
    filter.group.Assign(g.group);
    for (int useGroup : {0, 1}) {
        filter.useGroup = useGroup;
        for (double f : {1e5, 1e6, 7.3e6, 2.2e7, 1e8, 3e8, 1e9}) {
            const CSParameter p = ChokeData(f);
            const Complex delta = (1.0 - p.s11) * (1.0 - p.s22) - p.s12 * p.s21;
            ASSERT_GT(std::abs(delta), 1e-3) << "the Z-parameters must be well-conditioned at " << f;
            const Complex groupY = useGroup ? filter.group.GroupAdmittance(f, 1) : Complex(1e-9, 0.0);
            const double a = filter.Attenuation(p);
            EXPECT_NEAR(a, Nodal(ChokeY(f), groupY), 1e-9) << "f " << f << " group " << useGroup;
            EXPECT_NEAR(a, ZRoute(p, 1.0 / groupY), 1e-9) << "f " << f << " group " << useGroup;
            EXPECT_LT(a, 0.0);
        }
    }
}

TEST(FilterAttenuation, APureSeriesElementFollowsTheClosedForm) {
    // Z-parameters do not exist here (the determinant is zero); the series
    // element and the shunt Zc give H = 2 (Zc||50) / (50 + Z + Zc||50).
    const Complex zs[] = {{0.0, 1e-3}, {2.0, 30.0}, {10.0, -400.0}, {600.0, 150.0}, {1e4, 0.0}};
    const Complex zcs[] = {{1e9, 0.0}, {0.05, -0.2}, {3.0, 1.0}};
    for (const Complex z : zs) {
        const CSParameter p = Series(1e7, z);
        for (const Complex zc : zcs) {
            const Complex par = zc * 50.0 / (zc + 50.0);
            const double expected = Db(2.0 * par / (50.0 + z + par));
            const double a = ChokeAttenuation(p, 1.0 / zc);
            ASSERT_TRUE(std::isfinite(a));
            EXPECT_NEAR(a, expected, 1e-9) << "Z " << z << " Zc " << zc;
            EXPECT_NEAR(a, Nodal(ToY(p), 1.0 / zc), 1e-9);
        }
    }
}

TEST(FilterAttenuation, HoldsForNonReciprocalTwoPorts) {
    // With the source at the reference impedance the reverse transmission
    // cannot change the load voltage: data within the reciprocity tolerance,
    // and a two-port that is not reciprocal at all, agree with the nodal
    // analysis of the same circuit.
    const CSParameter base = ChokeData(3e7);
    const Complex groupY(0.02, 0.5);

    CSParameter near = base;
    near.s12 = base.s21 + Complex(0.006, -0.006);  // |difference| 0.0085 < 0.01
    EXPECT_NEAR(ChokeAttenuation(near, groupY), ChokeAttenuation(base, groupY), 1e-12);

    for (const Complex factor : {Complex(0.5, 0.0), Complex(0.0, 0.0), Complex(-0.3, 0.8)}) {
        CSParameter far = base;
        far.s12 = base.s21 * factor;
        ASSERT_GT(std::abs(far.s12 - far.s21), 0.01);
        EXPECT_NEAR(ChokeAttenuation(far, groupY), Nodal(ToY(far), groupY), 1e-9) << factor;
    }
}

TEST(FilterAttenuation, IsLimitedToZeroDecibel) {
    EXPECT_EQ(ChokeAttenuation(CSParameter{1e6, 0.0, 1.0, 1.0, 0.0}, 0.0), 0.0);        // a plain connection
    EXPECT_EQ(ChokeAttenuation(CSParameter{1e6, 0.0, 2.0, 0.0, 0.0}, 0.0), 0.0);        // an amplifier: +6 dB
    EXPECT_EQ(ChokeAttenuation(CSParameter{1e6, 1.0, 0.0, 0.0, 1.0}, 0.0), -HUGE_VAL);  // no transmission
}

// A choke as a series R-L from fLow to fHigh, 10 points per decade.
std::unique_ptr<CSParaSet> SeriesChoke(const std::string& name, double l, double imax, double fLow, double fHigh) {
    auto s = std::make_unique<CSParaSet>();
    s->name = name;
    s->nominalL = l;
    s->maxCurrent = imax;
    std::vector<double> freqs;
    for (int i = 0; fLow * std::pow(10.0, i / 10.0) < fHigh * (1 - 1e-9); ++i)
        freqs.push_back(fLow * std::pow(10.0, i / 10.0));
    freqs.push_back(fHigh);  // the data end exactly at fHigh
    for (const double f : freqs) s->points.push_back(Series(f, Complex(0.1, kW * f * l)));
    s->pointCount = static_cast<int>(s->points.size());
    s->fMin = s->points.front().freq;
    s->fMax = s->points.back().freq;
    return s;
}

// The candidates after a search that found `found` of them.
std::vector<std::string> CandidateNames(int found, const CFilter& f) {
    std::vector<std::string> names;
    EXPECT_EQ(found, static_cast<int>(f.candidates.size()));
    for (const CSParaSet* s : f.candidates) names.push_back(s->name);
    return names;
}

CFilter SearchFilter(const BoardStackup* board = nullptr) {
    CFilter f(board);
    f.useGroup = 0, f.fLower = 1e7, f.fUpper = 1e8, f.maxSupplyCurrent = 3.0;
    f.minAttenuation = 20.0;  // series L alone: 20 dB at 10 MHz needs |Z| > 900 Ohm, about 15 uH
    return f;
}

TEST(ChokeSearch, KeepsOnlyChokesMeetingCurrentBandAndAttenuation) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("good", 47e-6, 5.0, 1e6, 1e9));
    db.AddSet(SeriesChoke("ends80MHz", 47e-6, 5.0, 1e6, 8e7));    // data end below fUpper
    db.AddSet(SeriesChoke("starts20MHz", 47e-6, 5.0, 2e7, 1e9));  // data start above fLower
    db.AddSet(SeriesChoke("imax2A", 47e-6, 2.0, 1e6, 1e9));       // below 3 A
    db.AddSet(SeriesChoke("imax3A", 47e-6, 3.0, 1e6, 1e9));       // exactly enough
    db.AddSet(SeriesChoke("noImax", 47e-6, 0.0, 1e6, 1e9));       // not given: not excluded
    db.AddSet(SeriesChoke("tooSmall", 4.7e-6, 5.0, 1e6, 1e9));    // about 10 dB at 10 MHz
    CFilter f = SearchFilter();
    EXPECT_EQ(CandidateNames(f.SearchChokes(db), f), (std::vector<std::string>{"good", "imax3A", "noImax"}));
    f.fUpper = 8e7;  // now the short data cover the band
    EXPECT_EQ(CandidateNames(f.SearchChokes(db), f),
              (std::vector<std::string>{"good", "ends80MHz", "imax3A", "noImax"}));
}

TEST(ChokeSearch, TheAttenuationIsCheckedInsideTheBandWithTheGroupWhenSwitchedOn) {
    CSParameterDB db;
    db.AddSet(SeriesChoke("L", 22e-6, 0.0, 1e5, 1e9));     // about 23 dB at 10 MHz, 4 dB at 100 kHz
    db.AddSet(SeriesChoke("small", 1e-6, 0.0, 1e5, 1e9));  // far too small alone
    GroupFixture g;
    CFilter f = SearchFilter(&g.board);
    f.group.Assign(g.group);
    EXPECT_EQ(CandidateNames(f.SearchChokes(db), f), (std::vector<std::string>{"L"}));
    f.useGroup = 1;  // 1 uF and more after the choke: an LC low-pass far above its corner
    EXPECT_EQ(CandidateNames(f.SearchChokes(db), f), (std::vector<std::string>{"L", "small"}));
    f.useGroup = 0;
    f.fLower = 1e6;  // 1 MHz gives about 4.5 dB only
    EXPECT_EQ(f.SearchChokes(db), 0);
    EXPECT_EQ(f.SelectedChoke(), nullptr);
}

TEST(ChokeSearch, ProposesTheFirstNameIgnoringCase) {
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"Beta", "alpha", "Gamma"}, 1},                         // a case-blind order, not "Beta" < "alpha"
        {{"b", "A", "a"}, 1},                                    // ties keep the earlier
        {{"zzzzzzzzzzzzzzzzzzzz", "zzzzzzzzzzzzzzzzzzzzz"}, 0},  // nothing sorts before the start value
        {{"zzzzzzzzzzzzzzzzzzzz", "ZZZZZZZZZZZZZZZZZY"}, 1},
    };
    for (const auto& [names, selected] : cases) {
        CSParameterDB db;
        for (const std::string& n : names) db.AddSet(SeriesChoke(n, 47e-6, 0.0, 1e6, 1e9));
        CFilter f = SearchFilter();
        ASSERT_EQ(f.SearchChokes(db), static_cast<int>(names.size()));
        EXPECT_EQ(f.selected, selected) << names[0];
        EXPECT_EQ(f.SelectedChoke()->name, names[static_cast<std::size_t>(selected)]);
    }
}

TEST(FilterPoints, NearestPointAndTraceFollowTheChosenChoke) {
    CSParaSet s;
    for (double f : {1e6, 2e6, 4e6, 8e6}) s.points.push_back(CSParameter{f, {}, {}, {}, {}});
    s.fMin = 1e6;
    s.fMax = 8e6;
    CFilter f;
    EXPECT_EQ(f.NearestPoint(1e6), nullptr);  // no choke chosen yet
    f.candidates.push_back(&s);
    // clang-format off
    const std::pair<double, double> cases[] = {{4e6, 4e6}, {3e6, 2e6} /* tie: the earlier */, {2.9e6, 2e6},
        {3.1e6, 4e6}, {0.0, 1e6}, {5.9e6, 4e6}, {6.1e6, 8e6}, {1e12, 8e6}, {-1.0, 1e6}};
    // clang-format on
    for (const auto& [query, expected] : cases) EXPECT_EQ(f.NearestPoint(query)->freq, expected) << query;

    const auto choke = SeriesChoke("L", 10e-6, 0.0, 1e6, 1e9);  // 1, 1.26, 1.58 ... 1000 MHz
    f.candidates.clear();
    f.fLower = 1e7, f.fUpper = 1e8;
    std::vector<FilterTracePoint> trace;
    EXPECT_EQ(f.AttenuationTrace(trace), 0);  // no choke
    f.candidates.push_back(choke.get());
    trace.push_back({1, 1.0, 7.0});            // appended to, not replaced
    EXPECT_EQ(f.AttenuationTrace(trace), 11);  // both band edges are data points
    ASSERT_EQ(trace.size(), 12u);
    EXPECT_NEAR(trace[1].x, 1e7, 1e-3);
    EXPECT_NEAR(trace.back().x, 1e8, 1e-2);
}

TEST(FilterFields, ChecksInTheOrderOfTheForm) {
    struct Case {
        const char *fo, *fu, *a, *imax;
        const char* message;  // nullptr: accepted
        FieldKey field;
    };
    const Case cases[] = {
        {"300MHz", "10MHz", "35dB", "0.1A", nullptr, {}},
        {"300MHz", "10MHz", "120dB", "100A", nullptr, {}},
        {"3GHz", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", FilterField::Fo},
        {"abc", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", FilterField::Fo},
        {"300MHz", "0", "35", "1", "Fehler: 0Hz < Fu < 3GHz !", FilterField::Fu},
        {"300MHz", "300MHz", "35", "1", "Fehler: Fo muß größer als Fu sein!", FilterField::Fo},
        {"300MHz", "10MHz", "35", "100.5A", "Fehler: 0A < Imax < 100A", FilterField::Imax},
        {"300MHz", "10MHz", "120.5dB", "1", "Fehler: 0dB < A <= 120dB", FilterField::Attenuation},
        {"300MHz", "10MHz", "0", "0", "Fehler: 0A < Imax < 100A", FilterField::Imax},  // Imax before A
        {"1e309", "10MHz", "35", "1", "Fehler: 0Hz < Fo < 3GHz !", FilterField::Fo},   // infinite
        {"300MHz", "10MHz", "1e309dB", "1", "Fehler: 0dB < A <= 120dB", FilterField::Attenuation},
    };
    for (const Case& c : cases) {
        const FieldCheck r = FilterFields{c.fo, c.fu, c.a, c.imax}.Check();
        ASSERT_EQ(r.has_value(), c.message != nullptr) << c.fo << " " << c.fu << " " << c.a << " " << c.imax;
        if (r) {
            EXPECT_EQ(r->message, c.message);
            EXPECT_EQ(r->key, c.field) << c.message;
        }
    }
    CFilter f;
    FilterFields{"300MHz", "10MHz", "35dB", "0.1A"}.ApplyTo(f);
    const double got[] = {f.fUpper, f.fLower, f.minAttenuation, f.maxSupplyCurrent}, want[] = {3e8, 1e7, 35.0, 0.1};
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << i;
    EXPECT_EQ(FilterFields::FromFilter(f).fo, "300MHz");
}

}  // namespace
}  // namespace vantor
