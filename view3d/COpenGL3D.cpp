#include "COpenGL3D.h"

#include <algorithm>

namespace vantor::view3d {

float FoldAngle(float degrees) {
    if (degrees > 360.0f) return degrees - 360.0f;
    if (degrees < -360.0f) return degrees + 360.0f;
    return degrees;
}

void COpenGL3D::Load(std::vector<SurfaceDataSet> sets, float zmin, float zmax) {
    // Each set keeps the settings shown so far, with its own pan offset.
    const ChartSettings base = Settings();
    sets_.clear();
    sets_.reserve(sets.size());
    for (SurfaceDataSet& s : sets) {
        Entry e{std::move(s), base};
        e.settings.py = e.data.py;
        e.settings.px = 0.0f;
        sets_.push_back(std::move(e));
    }
    if (!sets_.empty()) shared_.py = sets_.front().settings.py;
    zmin_ = zmin;
    zmax_ = zmax;
    current_ = 0;
    ++generation_;
}

void COpenGL3D::SetCurrent(int i) {
    if (sets_.empty()) return;
    // With "Global" on the set leaves with the shared settings it was drawn with.
    if (global_) sets_[static_cast<std::size_t>(current_)].settings = shared_;
    current_ = std::clamp(i, 0, SetCount() - 1);
}

void COpenGL3D::StepSet(int delta) { SetCurrent(current_ + delta); }

ChartSettings& COpenGL3D::Settings() {
    if (global_) return shared_;
    if (sets_.empty()) return none_;
    return sets_[static_cast<std::size_t>(current_)].settings;
}

const ChartSettings& COpenGL3D::Settings() const { return const_cast<COpenGL3D*>(this)->Settings(); }

void COpenGL3D::SetGlobal(bool on) {
    if (on == global_) return;
    if (on) {
        shared_ = Settings();
    } else if (!sets_.empty()) {
        sets_[static_cast<std::size_t>(current_)].settings = shared_;
    } else {
        none_ = shared_;
    }
    global_ = on;
}

void COpenGL3D::ZRange(float& zmin, float& zmax) const {
    if (!zAxis.automatic) {
        zmin = static_cast<float>(zAxis.zmin);
        zmax = static_cast<float>(zAxis.zmax);
    } else if (global_ || sets_.empty()) {
        zmin = zmin_;
        zmax = zmax_;
    } else {
        zmin = Set(current_).zmin;
        zmax = Set(current_).zmax;
    }
}

float COpenGL3D::Height(float z) const {
    float lo = 0.0f, hi = 0.0f;
    ZRange(lo, hi);
    return render::NormaliseZ(z, lo, hi);
}

ChartTransform COpenGL3D::FrameTransform() {
    ChartSettings& s = Settings();
    s.ax = FoldAngle(s.ax);
    s.ay = FoldAngle(s.ay);
    s.az = FoldAngle(s.az);
    if (s.surfaceType == kFlat) {
        // The plane's middle at the middle of the picture: the orthographic
        // window is centred on it already (py), the perspective one on 0.
        const float centre = s.mode == kCenterRotation ? -s.py : 0.0f;
        return {s.tx, s.ty - kLift + centre, s.tz, 0.0f, 0.0f, 0.0f, s.sx, s.sy, 0.0f, false};
    }
    return {s.tx, s.ty - 0.3f, s.tz, s.ax, s.ay, s.az, s.sx, s.sy, s.sz, true};
}

void COpenGL3D::ToggleGridSolid() {
    const int type = Settings().surfaceType == kSolid ? kGrid : kSolid;
    Settings().surfaceType = type;
    if (global_)
        for (Entry& e : sets_) e.settings.surfaceType = type;
}

void COpenGL3D::ToggleRotation() {
    ChartSettings& s = Settings();
    if (s.mode == kMove) {
        if (s.pattern == kNoAnimation) s.pattern = 2;
        SetMode(kCenterRotation);
    } else {
        SetMode(kMove);
    }
}

void COpenGL3D::SetMode(int mode) {
    ChartSettings& s = Settings();
    s.mode = std::clamp(mode, 0, 2);
    s.step = s.mode == kCenterRotation ? 20.0f : 30.0f;
    s.tz = s.mode == kCenterRotation ? -2.5f : -4.0f;
}

bool COpenGL3D::Animating() const {
    const ChartSettings& s = Settings();
    return HasData() && s.mode != kMove && s.pattern >= 0 && s.pattern < kNoAnimation;
}

void COpenGL3D::AnimationStep() {
    ChartSettings& s = Settings();
    const float v = speed;
    switch (s.pattern) {
        case 0: s.ax += v; break;
        case 1: s.ay += v; break;
        case 2: s.az += v; break;
        case 3:
            s.ay += v;
            s.ax += v - 1.0f;
            break;
        case 4:
            s.az += v;
            s.ax += v - 1.0f;
            break;
        case 5:
            s.az += v;
            s.ay += v - 1.0f;
            break;
        case 6:
            s.az += v;
            s.ay += v - 1.0f;
            s.ax += v - 2.0f;
            break;
        default: break;
    }
}

void COpenGL3D::MouseDrag(int x0, int y0, int x1, int y1, int width, int height, bool shift) {
    ChartSettings& s = Settings();
    const int dx = x1 - x0, dy = y1 - y0;
    if (shift && s.legend) {
        s.legendX += dx;
        s.legendY += dy;
        return;
    }
    if (s.mode == kMove) {
        // The chart follows the mouse: screen y grows downwards, model y upwards.
        s.tx += static_cast<float>(dx) / static_cast<float>(std::max(width, 1));
        s.ty -= static_cast<float>(dy) / static_cast<float>(std::max(height, 1));
        return;
    }
    const float per = std::max(speed, 0.1f);
    s.ax += static_cast<float>(dy) / per;
    s.ay += static_cast<float>(dx) / per;
}

}  // namespace vantor::view3d
