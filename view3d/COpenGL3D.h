#pragma once
// The 3D view's chart without its drawing: the data sets with their
// display settings, the shared "Global" settings, the z scaling, the
// transformation with its angle folding, the mouse rules and the animation
// patterns. COpenGL draws what this holds; the tests drive it directly.

#include <vector>

#include "SurfaceData.h"

namespace vantor::view3d {

using render::ChartColour;
using render::ColourBands;
using render::SurfaceDataSet;

/// Surface types.
enum SurfaceType { kFlat = 0, kGrid = 1, kSolid = 2 };
/// Modes: move, random rotation (orthographic), centre rotation (perspective).
enum ChartMode { kMove = 0, kRandomRotation = 1, kCenterRotation = 2 };
/// Rotation pattern without animation.
inline constexpr int kNoAnimation = 7;
/// The default y translation: it lifts the turned plane (drawn 0.3 lower)
/// into the middle; the flat plane is centred without it.
inline constexpr float kLift = 0.25f;

/// How one data set is shown.
struct ChartSettings {
    ColourBands bands;
    ChartColour border{1.0f, 1.0f, 1.0f};  // border, axes and texts
    int surfaceType = kSolid;
    int mode = kCenterRotation;
    int pattern = kNoAnimation;
    int link = 0;  // 0 NO, 1 XY, 2 XZ, 3 YZ, 4 XYZ
    float tx = 0.0f, ty = kLift, tz = -2.5f;
    float ax = -60.0f, ay = 0.0f, az = -20.0f;  // degrees
    float sx = 1.0f, sy = 1.0f, sz = 1.0f;
    float px = 0.0f, py = 0.0f;
    float step = 20.0f;  // the Zoom panel's step value
    bool axis = true, border_ = true, base = false, side = false, legend = true, marker = false, label = true;
    int legendX = 10, legendY = 10;  // pixels from the top-left corner
    // The marker: a level over the plane, in percent of the z range.
    bool markerLine = true;
    int markerLevel = 50;
    ChartColour markerColour{1.0f, 1.0f, 0.0f};
};

/// The Z-axis dialog's scaling.
struct ZAxis {
    bool automatic = true;
    double zmax = 1.0, zmin = 0.0;  // Ohm
};

/// Model transformation of one frame.
struct ChartTransform {
    float tx, ty, tz, ax, ay, az, sx, sy, sz;
    bool rotate;  // false in the flat type
};

/// An angle that left [-360, 360] brought back by one turn.
float FoldAngle(float degrees);

class COpenGL3D {
public:
    /// Replaces the data sets; the shown set becomes the first.
    void Load(std::vector<SurfaceDataSet> sets, float zmin, float zmax);
    bool HasData() const { return !sets_.empty(); }
    int SetCount() const { return static_cast<int>(sets_.size()); }
    const SurfaceDataSet& Set(int i) const { return sets_[static_cast<std::size_t>(i)].data; }
    int Current() const { return current_; }
    /// Shows set i (clamped to the sets).
    void SetCurrent(int i);
    /// Steps the shown set by delta, stopping at the first and last.
    void StepSet(int delta);
    /// Generation of the data: changes with every Load (for buffers built once per set).
    int Generation() const { return generation_; }

    /// The shown set's settings, or the shared ones with "Global" on.
    ChartSettings& Settings();
    const ChartSettings& Settings() const;

    bool Global() const { return global_; }
    /// On: the shown set's settings become the shared ones and z spans all sets.
    void SetGlobal(bool on);

    ZAxis zAxis;
    /// The z range in Ohm the heights span: the set's own, all sets' with
    /// "Global", or the Z-axis dialog's when not automatic.
    void ZRange(float& zmin, float& zmax) const;
    /// Height of z in the cube.
    float Height(float z) const;
    /// Colour of a height (SetColour with the shown settings).
    void SetColour(float v, ChartColour& colour) const { render::SetColour(Settings().bands, v, colour); }

    /// This frame's transformation; the angles are folded first.
    ChartTransform FrameTransform();

    /// "Gitter als Fläche": grid and solid swap; a flat chart turns solid.
    /// With "Global" on every set follows.
    void ToggleGridSolid();
    /// "&Rotation": move mode to centre rotation (pattern 7 becomes 2), or back.
    void ToggleRotation();
    /// The Zoom panel's "Move", "Random rotation", "Center rotation".
    void SetMode(int mode);
    /// Whether the animation timer should run.
    bool Animating() const;

    /// Rotation speed, degrees per tick.
    float speed = 2.0f;
    /// One animation tick by the rotation pattern.
    void AnimationStep();

    /// Left-button drag from (x0, y0) to (x1, y1) in a client of width x
    /// height pixels; with shift the legend moves instead.
    void MouseDrag(int x0, int y0, int x1, int y1, int width, int height, bool shift);

private:
    struct Entry {
        SurfaceDataSet data;
        ChartSettings settings;
    };
    std::vector<Entry> sets_;
    ChartSettings shared_;
    ChartSettings none_;
    int current_ = 0;
    bool global_ = false;
    float zmin_ = 0.0f, zmax_ = 0.0f;
    int generation_ = 0;
};

}  // namespace vantor::view3d
