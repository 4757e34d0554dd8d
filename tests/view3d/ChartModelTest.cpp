// The 3D view's chart without OpenGL: data sets from results, colour bands,
// z scaling, transformation, mouse, animation and the vertex arrays.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "COpenGL3D.h"
#include "PlaneResults.h"
#include "SurfaceGeometry.h"

namespace vantor::view3d {
namespace {

using render::BuildDataSets;
using render::ChartColour;
using render::ColourBands;
using render::kHalfEdge;

// A map of rows x columns with |Z| = base + 10 * row + column, Ohm.
ComplexMatrix Ramp(int rows, int columns, double base) {
    ComplexMatrix m(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) m.Set(r, c, {0.0, base + 10.0 * r + c});
    return m;
}

PlaneResults ThreeEntries() {
    PlaneResults res;
    res.resultMaps = {Ramp(3, 4, 1.0), Ramp(3, 4, 2.0), Ramp(3, 4, 5.0)};
    res.resultLabels = {"1 MHz", "10 MHz", "Maximum"};
    return res;
}

TEST(DataSets, MaximumFirstAndLastRowsReversedAndNormalised) {
    float zmin = 0, zmax = 0;
    // 0.1 m long, 0.05 m wide: a = 0.5.
    const auto sets = BuildDataSets(ThreeEntries(), 0.1, 0.05, zmin, zmax);
    ASSERT_EQ(sets.size(), 4u);
    const char* names[] = {"Maximum", "1 MHz", "10 MHz", "Maximum"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sets[i].name, names[i]);
    const auto& s = sets[1];
    ASSERT_EQ(s.nx, 4);
    ASSERT_EQ(s.ny, 3);
    EXPECT_FLOAT_EQ(s.x.front(), -kHalfEdge);
    EXPECT_FLOAT_EQ(s.x.back(), kHalfEdge);
    EXPECT_FLOAT_EQ(s.y.front(), -kHalfEdge);
    EXPECT_FLOAT_EQ(s.y.back(), 0.0f);  // a - R
    EXPECT_FLOAT_EQ(s.py, -0.25f);      // centres the plane
    // The set's first row is the map's last (row 2: 1 + 20 + column).
    EXPECT_FLOAT_EQ(s.At(0, 0), 21.0f);
    EXPECT_FLOAT_EQ(s.At(3, 2), 4.0f);
    EXPECT_FLOAT_EQ(zmin, 1.0f);
    EXPECT_FLOAT_EQ(zmax, 28.0f);  // 5 + 20 + 3
}

TEST(DataSets, NoMetalDoesNotRaiseZmaxAndNoResultsGiveNoSets) {
    PlaneResults res = ThreeEntries();
    res.resultMaps[0].Set(2, 3, kNoMetal);  // where its largest |Z| was
    float zmin = 0, zmax = 0;
    const auto sets = BuildDataSets(res, 0.1, 0.1, zmin, zmax);
    EXPECT_FLOAT_EQ(sets[1].zmax, 23.0f);
    EXPECT_TRUE(render::IsNoMetal(sets[1].At(3, 0)));
    EXPECT_TRUE(BuildDataSets(PlaneResults{}, 0.1, 0.1, zmin, zmax).empty());
}

ChartColour Band(const ColourBands& b, float v) {
    ChartColour c{9, 9, 9};
    render::SetColour(b, v, c);
    return c;
}

TEST(SetColour, BandsOpenBelowClosedAbove) {
    ColourBands g;
    g.gradient = true;
    g.divisions = 4;  // edges -0.5, -0.25, 0, 0.25, 0.5
    g.start = {0, 0, 0};
    g.end = {0.9f, 0.3f, 0.6f};
    const float third = 1.0f / 3.0f;
    ColourBands c = g;
    c.gradient = false;
    c.customCount = 4;
    for (int i = 0; i < 4; ++i) c.custom[i] = {0.1f * (i + 1), 0, 0};
    struct Case {
        float v;
        int band;
    } cases[] = {{-0.5f, 0},   {-0.3f, 0}, {-0.25f, 0}, {-0.2499f, 1}, {0.0f, 1},
                 {0.0001f, 2}, {0.25f, 2}, {0.26f, 3},  {0.5f, 3},     {0.9f, 3}};
    for (const Case& k : cases) {
        const float t = k.band * third;
        EXPECT_EQ(Band(g, k.v), (ChartColour{0.9f * t, 0.3f * t, 0.6f * t})) << "gradient at " << k.v;
        EXPECT_EQ(Band(c, k.v), c.custom[k.band]) << "custom at " << k.v;
    }
}

TEST(SetColour, ThresholdAndNoBands) {
    ColourBands b;
    b.divisions = 2;
    b.threshold = 0.1f;
    EXPECT_EQ(Band(b, 0.05f), b.background);
    EXPECT_EQ(Band(b, 0.1f), b.end);
    b.threshold = -1.0f;
    b.divisions = 0;
    EXPECT_EQ(Band(b, 0.2f), (ChartColour{9, 9, 9}));
    b.gradient = false;
    b.customCount = 0;
    EXPECT_EQ(Band(b, 0.2f), (ChartColour{9, 9, 9}));
}

COpenGL3D Loaded() {
    float zmin = 0, zmax = 0;
    COpenGL3D chart;
    auto sets = BuildDataSets(ThreeEntries(), 0.1, 0.1, zmin, zmax);
    chart.Load(std::move(sets), zmin, zmax);
    return chart;
}

TEST(Chart, ZRangeOwnGlobalAndFixed) {
    COpenGL3D chart = Loaded();
    chart.SetCurrent(1);  // 1..24 Ohm
    EXPECT_FLOAT_EQ(chart.Height(1.0f), -kHalfEdge);
    EXPECT_FLOAT_EQ(chart.Height(24.0f), kHalfEdge);
    chart.SetGlobal(true);  // 1..28 Ohm over all sets
    EXPECT_FLOAT_EQ(chart.Height(28.0f), kHalfEdge);
    chart.zAxis = {false, 11.0, 1.0};
    EXPECT_FLOAT_EQ(chart.Height(6.0f), 0.0f);
}

TEST(Chart, GlobalSharesOneDisplayAcrossSets) {
    COpenGL3D chart = Loaded();
    chart.Settings().bands.divisions = 6;
    chart.SetGlobal(true);
    chart.StepSet(+2);
    EXPECT_EQ(chart.Current(), 2);
    EXPECT_EQ(chart.Settings().bands.divisions, 6);
    chart.StepSet(+5);
    EXPECT_EQ(chart.Current(), 3);  // stops at the last set
    chart.StepSet(-9);
    EXPECT_EQ(chart.Current(), 0);
    chart.SetGlobal(false);
    chart.SetCurrent(1);
    EXPECT_EQ(chart.Settings().bands.divisions, 16);  // never shown with "Global"
}

// Toggled twice it returns (checked through the menu in the view's test).
TEST(Chart, GridAsSurfaceUnderGlobalReachesEverySet) {
    COpenGL3D chart = Loaded();
    chart.SetGlobal(true);
    chart.ToggleGridSolid();
    chart.SetGlobal(false);
    for (int i = 0; i < chart.SetCount(); ++i) {
        chart.SetCurrent(i);
        EXPECT_EQ(chart.Settings().surfaceType, kGrid) << i;
    }
}

TEST(Chart, AnglesFoldOnceIntoOneTurn) {
    const float cases[][2] = {{360, 360}, {361, 1}, {-361, -1}, {725, 365}, {-10, -10}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(FoldAngle(c[0]), c[1]) << c[0];
    COpenGL3D chart = Loaded();
    chart.Settings().ax = 400;
    chart.Settings().surfaceType = kFlat;
    const ChartTransform flat = chart.FrameTransform();
    EXPECT_FALSE(flat.rotate);
    EXPECT_FLOAT_EQ(flat.sz, 0.0f);
    EXPECT_FLOAT_EQ(chart.Settings().ax, 40.0f);
}

// The flat map's middle at the middle of the picture in every mode: the
// orthographic window of "Move" and "Random rotation" is centred on py,
// the perspective of "Center rotation" on 0.
TEST(Chart, FlatPlaneIsCentredInEveryMode) {
    for (const int mode : {kMove, kRandomRotation, kCenterRotation}) {
        // A plane half as wide as long: its middle lies below the cube's.
        float zmin = 0, zmax = 0;
        COpenGL3D chart;
        chart.Load(BuildDataSets(ThreeEntries(), 0.1, 0.05, zmin, zmax), zmin, zmax);
        chart.Settings().surfaceType = kFlat;
        chart.SetMode(mode);
        const SurfaceDataSet& set = chart.Set(chart.Current());
        const ChartTransform t = chart.FrameTransform();
        const float middle = (set.y.front() + set.y.back()) / 2 + t.ty;
        const float window = mode == kCenterRotation ? 0.0f : chart.Settings().py;
        EXPECT_NEAR(middle, window, 1e-6f) << mode;
    }
}

TEST(Geometry, CellsEdgesAndHoles) {
    float zmin = 0, zmax = 0;
    PlaneResults res;
    res.resultMaps = {Ramp(3, 3, 1.0)};
    res.resultLabels = {"Maximum"};
    res.resultMaps[0].Set(1, 1, kNoMetal);  // the centre: every cell and edge touches it
    auto sets = BuildDataSets(res, 0.1, 0.1, zmin, zmax);
    const ColourBands bands;
    // 3 x 3 points: 4 cells, 12 edges; the hole takes every cell and 4 edges.
    EXPECT_EQ(BuildSurface(sets[0], kSolid, bands, zmin, zmax).TriangleVertices(), 0);
    EXPECT_EQ(BuildSurface(sets[0], kGrid, bands, zmin, zmax).LineVertices(), 2 * 8);
    res.resultMaps[0].Set(1, 1, {5.0, 0.0});
    sets = BuildDataSets(res, 0.1, 0.1, zmin, zmax);
    const SurfaceGeometry flat = BuildSurface(sets[0], kFlat, bands, zmin, zmax);
    EXPECT_EQ(flat.TriangleVertices(), 4 * 6);
    EXPECT_EQ(flat.LineVertices(), 0);
    for (std::size_t k = 2; k < flat.vertices.size(); k += 3) EXPECT_FLOAT_EQ(flat.vertices[k], -kHalfEdge);
    // A single column has no cells: only the decorations are drawn.
    res.resultMaps[0] = Ramp(5, 1, 1.0);
    sets = BuildDataSets(res, 0.1, 0.1, zmin, zmax);
    const SurfaceGeometry line = BuildSurface(sets[0], kSolid, bands, zmin, zmax);
    EXPECT_EQ(line.TriangleVertices() + line.LineVertices(), 0);
}

// A set of nx x ny points over the cube with the given |Z|, Ohm.
SurfaceDataSet Grid(int nx, int ny, const std::function<float(int, int)>& z) {
    SurfaceDataSet s;
    s.nx = nx;
    s.ny = ny;
    for (int i = 0; i < nx; ++i) s.x.push_back(i / (nx - 1.0f) - kHalfEdge);
    for (int j = 0; j < ny; ++j) s.y.push_back(j * 0.6f / (ny - 1.0f) - kHalfEdge);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) s.z.push_back(z(i, j));
    s.zmin = *std::min_element(s.z.begin(), s.z.end());
    s.zmax = *std::max_element(s.z.begin(), s.z.end());
    return s;
}

long Cells(const SurfaceDataSet& s) { return static_cast<long>(s.nx - 1) * (s.ny - 1); }

// Seen while the chart moves: fewer cells than the budget, the same plane,
// the same z scale, and every value of the full surface represented by the
// largest near it.
TEST(Decimation, BoundEdgesScaleAndPooledMaxima) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ohm(0.1f, 2.0f);
    const struct {
        int nx, ny;
        long budget;
        int k;  // the smallest step within the budget
    } cases[] = {{400, 250, 25000, 2}, {402, 252, 25000, 3}, {37, 23, 100, 3}, {5, 900, 40, 23}, {20, 10, 1000, 1}};
    for (const auto& c : cases) {
        const SurfaceDataSet full = Grid(c.nx, c.ny, [&](int, int) { return ohm(random); });
        const int k = DecimationStep(c.nx, c.ny, c.budget);
        EXPECT_EQ(k, c.k) << c.nx << " x " << c.ny;
        const SurfaceDataSet d = DecimateSurface(full, k);
        EXPECT_LE(Cells(d), c.budget);
        if (k > 1) {
            EXPECT_GT(Cells(DecimateSurface(full, k - 1)), c.budget) << "a smaller step fits";
            EXPECT_LT(Cells(d), Cells(full));
        }
        // The same edges of the plane, the same z scale.
        EXPECT_EQ(std::tie(d.x.front(), d.x.back(), d.y.front(), d.y.back(), d.zmin, d.zmax),
                  std::tie(full.x.front(), full.x.back(), full.y.front(), full.y.back(), full.zmin, full.zmax));
        EXPECT_EQ(*std::max_element(d.z.begin(), d.z.end()), full.zmax);
        // Each kept point is the largest of the full points within half a step.
        for (int j = 0; j < d.ny; ++j)
            for (int i = 0; i < d.nx; ++i) {
                const int fi = static_cast<int>(std::find(full.x.begin(), full.x.end(), d.x[i]) - full.x.begin());
                const int fj = static_cast<int>(std::find(full.y.begin(), full.y.end(), d.y[j]) - full.y.begin());
                ASSERT_LT(fi, full.nx);
                ASSERT_LT(fj, full.ny);
                float near = 0;
                for (int q = std::max(0, fj - k / 2); q <= std::min(full.ny - 1, fj + k / 2); ++q)
                    for (int p = std::max(0, fi - k / 2); p <= std::min(full.nx - 1, fi + k / 2); ++p)
                        near = std::max(near, full.At(p, q));
                EXPECT_GE(d.At(i, j), full.At(fi, fj));
                EXPECT_LE(d.At(i, j), near);
            }
    }
}

TEST(Decimation, NarrowPeaksStayAndHolesStayOpen) {
    // Single-point peaks between kept points, on the last column and in a
    // corner: each stays, once (where, the test above bounds).
    const int nx = 41, ny = 31, k = 4;
    const std::pair<int, int> peaks[] = {{13, 17}, {40, 9}, {0, 30}};
    for (const auto& [pi, pj] : peaks) {
        const auto peak = [&](int i, int j) { return i == pi && j == pj ? 9.0f : 1.0f; };
        const SurfaceDataSet d = DecimateSurface(Grid(nx, ny, peak), k);
        EXPECT_EQ(std::count(d.z.begin(), d.z.end(), 9.0f), 1) << pi << ", " << pj;
    }
    // A hole over a kept point stays; a hole beside it lends it no value.
    const float none = static_cast<float>(std::abs(kNoMetal));
    const SurfaceDataSet holed = Grid(nx, ny, [&](int i, int j) { return (i == 8 || i == 9) && j == 8 ? none : 1.0f; });
    const SurfaceDataSet d = DecimateSurface(holed, k);
    EXPECT_TRUE(render::IsNoMetal(d.At(2, 2)));
    EXPECT_EQ(std::count_if(d.z.begin(), d.z.end(), render::IsNoMetal), 1);
    EXPECT_EQ(*std::max_element(d.z.begin(), d.z.end(),
                                [](float a, float b) { return !render::IsNoMetal(b) && a < b; }),
              1.0f);
    // Sets without cells stay as they are.
    EXPECT_EQ(DecimateSurface(Grid(1, 50, [](int, int) { return 1.0f; }), 5).ny, 50);
}

}  // namespace
}  // namespace vantor::view3d
