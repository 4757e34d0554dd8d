#include "Optimiser.h"

#include <algorithm>
#include <cmath>

#include "BoardStackup.h"
#include "Values.h"

namespace vantor {

namespace {

using K = OptimiserConstants;

struct Peak {
    double z = -1.0;  // |Z| at the peak, Ohm; -1 when the search failed
    double f = -1.0;  // Hz
    bool ok() const { return z >= 0.0; }
};

double ViaLoop(const CCGroup& g) {
    const int n = g.ElementCount();
    return g.stackup() != nullptr ? g.stackup()->ViaLoopInductance(n - 1) : 0.0;
}

// Series resonance of one element with an extra inductance in series.
double Resonance(const CCapa& c, double extraL) {
    return 1.0 / (kTwoPi * std::sqrt((EffectiveEsl(c) + extraL) * c.capacitance));
}

// The peak search. Both results of one search come together, so that the
// optimiser, which needs |Z| and f of the same peak, searches once; the
// boundary notice is then shown once per search.
Peak SearchPeak(const CCGroup& g, int i, Interaction& ui) {
    const int n = g.ElementCount();
    if (i < 1 || i >= n) return {};
    const double lm = ViaLoop(g);
    const CCapa& ca = g.Capacitor(i - 1);
    const CCapa& cb = g.Capacitor(i);
    const double la = EffectiveEsl(ca), lb = EffectiveEsl(cb);
    const double fp = std::sqrt((1.0 / ca.capacitance + 1.0 / cb.capacitance) /
                                ((la + lb + 2.0 * lm) * 0.5 * K::kTwoPiSquaredTwice));
    const double lo = Resonance(cb, lm);
    double hi;
    if (i == 1) {
        if (!(fp > lo)) return {};
        hi = lo + 20.0 * (fp - lo);
    } else {
        hi = Resonance(ca, lm);
    }
    if (!(hi - lo >= K::kProbeOffset)) return {};

    double a = lo, b = hi, f = fp, delta = K::kProbeOffset;
    double g1 = 0.0, zm = 0.0;
    for (int step = 0;; ++step) {
        if (step >= K::kMaxSearchSteps) return {};
        if (delta > 0.1 * (b - a)) delta *= 0.5;
        const double zminus = g.GroupImpedanceMagnitude(f - delta);
        const double zplus = g.GroupImpedanceMagnitude(f + delta);
        g1 = 0.5 * (zplus - zminus) * delta;
        zm = 0.5 * (zminus + zplus);
        if (std::isnan(g1)) return {};
        if (g1 > 0) a = f - delta;
        if (g1 < 0) b = f + delta;
        const double next = a + 0.5 * (b - a);
        if (!(std::fabs(g1) > 1e-9 && std::fabs(next - f) > 1e-15)) break;
        f = next;
    }
    if (std::fabs(f - lo) < 2.0 * delta) ui.message(kMessageHitLower, MessageKind::Information);
    if (std::fabs(f - hi) < 2.0 * delta) ui.message(kMessageHitUpper, MessageKind::Information);
    if (std::fabs(g1) > 1e-9) return {};
    return {zm, f};
}

class Optimiser {
public:
    Optimiser(CCGroup& group, Interaction& ui, ViewRefresher* views) : g_(group), ui_(ui), views_(views) {}

    int Run();
    int iterations() const { return iterations_; }

private:
    enum class Outcome { Continue, Success, Failure };

    double C(int k) const { return g_.Capacitor(k).capacitance; }
    double Last() const { return C(g_.ElementCount() - 1); }
    int Count() const { return g_.ElementCount(); }

    // Every value change re-applies the default package; during correction
    // the views are redrawn so that the person sees the values move.
    void Set(int k, double c) {
        CCapa& capa = g_.Capacitor(k);
        capa.capacitance = c;
        capa.shape = g_.defaultPackage;
        if (refresh_ && views_ != nullptr) views_->refreshAllViews();
    }
    void Remove(int k) {
        g_.RemoveCapacitor(k);
        if (refresh_ && views_ != nullptr) views_->refreshAllViews();
    }
    Peak Search(int k) { return SearchPeak(g_, k, ui_); }
    // Asked before every value change and every iteration; once the person
    // asked, the run ends with what stands in the group.
    bool Cancelled() {
        if (!cancelled_) cancelled_ = ui_.progress().cancelRequested();
        return cancelled_;
    }
    void Limits(double f, double& zmin, double& zmax) const { g_.LimitLines(f, zmin, zmax); }
    void RemoveReachedBy1() {
        while (Count() > 2 && C(1) >= C(2)) Remove(2);
    }

    bool BuildChain();         // false after too many capacitors or a cancel
    Outcome TuneFirst();       // capacitor 1 at the start of a correction iteration
    Outcome CorrectionPass();  // capacitors 2.. of one correction iteration

    CCGroup& g_;
    Interaction& ui_;
    ViewRefresher* views_;
    bool refresh_ = false;
    bool cancelled_ = false;
    int iterations_ = 0;
};

int Optimiser::Run() {
    BusyScope busy(ui_);
    if (g_.stackup() == nullptr) {
        ui_.message(kMessageNoSolution, MessageKind::Warning);
        return 0;
    }
    if (!(g_.fo > 0) || !std::isfinite(g_.fo)) {
        ui_.message("Fehler: Obere Grenzfrequenz muß > " + FormatValue(0, "Hz") + " sein!", MessageKind::Warning);
        return 0;
    }

    // A fresh chain from the plane entry and capacitor 1.
    g_.DeleteAll();
    g_.Append(CCGroup::PlaneCapacitanceEntry(*g_.stackup()));
    FirstCapacitor(g_);
    int iteration = 0;

    for (;;) {
        // Complete once the last capacitor reached the ceiling.
        if (Last() >= K::kCeiling) return 1;
        if (!BuildChain()) return 0;
        if (SolutionAcceptable(g_, iteration, ui_)) continue;
        // Correction iterations until the peaks lie in the band.
        for (;;) {
            if (Last() < K::kCeiling) break;  // the chain needs more capacitors
            if (Cancelled()) return 0;
            ++iteration;
            iterations_ = iteration;
            if (iteration > K::kMaxOpt) {
                ui_.message(kMessageMaxOpt, MessageKind::Warning);
                return 1;
            }
            refresh_ = true;
            Outcome o = TuneFirst();
            if (o == Outcome::Continue) o = CorrectionPass();
            refresh_ = false;
            if (o == Outcome::Success) return 1;
            if (o == Outcome::Failure) return 0;
            if (SolutionAcceptable(g_, iteration, ui_)) break;
        }
    }
}

bool Optimiser::BuildChain() {
    while (Last() < K::kCeiling) {
        if (Cancelled()) return false;
        if (Count() >= CCGroup::kMaxElements) {
            ui_.message(MessageTooManyCapacitors(), MessageKind::Warning);
            return false;
        }
        const int k = Count();
        const double start = K::kChainFactor * C(k - 1);
        g_.Append(g_.NewCapacitor(start));
        double step = 0.5;
        for (int tune = 0; tune < K::kMaxTuneSteps; ++tune) {
            if (Cancelled()) return false;
            Peak p = Search(k);
            double zmin, zmax;
            Limits(p.f, zmin, zmax);
            if ((zmin <= p.z && p.z <= zmax) || C(k) >= K::kCeiling) break;
            if (p.z > zmax) step = -std::fabs(step);
            if (p.z < zmin) step = std::fabs(step);
            double c = C(k) * (1.0 + step);
            if (c > K::kCeiling) c = K::kClamp;
            Set(k, c);
            if (C(k) <= K::kBuildSpacing * C(k - 1)) {
                if (std::fabs(step) < K::kMinStep) break;
                Set(k, start);
                step /= 2.0;
            }
            p = Search(k);
            Limits(p.f, zmin, zmax);
            if ((p.z > zmax && step > 0) || (p.z < zmin && step < 0)) step = -step / 2.0;
        }
    }
    return true;
}

Optimiser::Outcome Optimiser::TuneFirst() {
    Peak p = Search(1);
    double zmin, zmax;
    Limits(p.f, zmin, zmax);
    const double fo = g_.fo;

    if (p.z > zmax && p.f < fo) {
        int guard = 0;
        while (p.z > zmax && p.f < fo) {
            if (Cancelled()) return Outcome::Failure;
            const double previous = p.z;
            Set(1, C(1) * 0.99);
            p = Search(1);
            Limits(p.f, zmin, zmax);
            if (p.z > previous || ++guard >= K::kMaxScanSteps) {
                ui_.message(MessageParasiticsTooLarge(), MessageKind::Warning);
                return Outcome::Success;
            }
        }
    } else if (p.z > zmax) {
        for (int guard = 0; guard < K::kMaxScanSteps && C(1) < K::kCeiling && FindSeriesMinimum(g_, 1) >= fo; ++guard) {
            if (Cancelled()) return Outcome::Failure;
            Set(1, C(1) * 1.01);
            RemoveReachedBy1();
        }
        double zlo, zhi;
        Limits(fo, zlo, zhi);
        double z = g_.GroupImpedanceMagnitude(fo);
        int guard = 0;
        while ((z < zlo || z > zhi) && C(1) < K::kCeiling) {
            if (Cancelled()) return Outcome::Failure;
            const double d = g_.GroupImpedanceMagnitude(fo + 100.0) - g_.GroupImpedanceMagnitude(fo - 100.0);
            if (d <= 0 || ++guard >= K::kMaxScanSteps) {
                ui_.message("Zmax bei Fo muß mindestens " + FormatValue(1.1 * MinimumNearFo(g_), "Ohm") + " sein!",
                            MessageKind::Warning);
                return Outcome::Failure;
            }
            if (z > zhi)
                Set(1, C(1) * 0.99);
            else if (z < zlo)
                Set(1, C(1) * 1.01);
            RemoveReachedBy1();
            z = g_.GroupImpedanceMagnitude(fo);
        }
    } else if (p.z < zmin) {
        for (int guard = 0; guard < K::kMaxScanSteps && p.z < zmin && C(1) < K::kCeiling; ++guard) {
            if (Cancelled()) return Outcome::Failure;
            Set(1, C(1) * 1.1);
            RemoveReachedBy1();
            p = Search(1);
            Limits(p.f, zmin, zmax);
        }
    }
    if (C(1) >= K::kCeiling)
        while (Count() > 2) Remove(2);
    return Outcome::Continue;
}

Optimiser::Outcome Optimiser::CorrectionPass() {
    int steps = 0;
restart:
    for (int k = 2; k < Count();) {
        const int prev = k - 1;
        double step = -0.5;
        int tries = 0;
        bool stop = false;
        for (;;) {
            if (Cancelled()) return Outcome::Failure;
            if (++steps > K::kMaxTuneSteps * CCGroup::kMaxElements) {
                ui_.message(kMessageNoSolution, MessageKind::Warning);
                return Outcome::Failure;
            }
            Peak p = Search(k);
            double zmin, zmax;
            Limits(p.f, zmin, zmax);
            if ((zmin <= p.z && p.z <= zmax) || stop) break;

            if (p.z > zmax) step = -std::fabs(step);
            if (p.z < zmin) step = std::fabs(step);
            if (std::fabs(step) < K::kMinStep && p.z < zmin) {
                Remove(k);
                goto restart;
            }

            double c = C(k) * (1.0 + step);
            if (c > K::kCeiling) c = K::kClamp;
            Set(k, c);
            if (C(k) >= K::kCeiling && C(prev) >= K::kCeiling) {
                Remove(k);
                goto restart;
            }

            if (C(k) <= C(prev)) {
                Set(k, C(k) / (1.0 + step));
                const Peak before = Search(k - 1);
                if (before.z > zmax) return Outcome::Continue;  // the pass ends here
                step = std::fabs(step) / 2.0;
            }
            if (k + 1 < Count() && C(k) >= C(k + 1)) {
                Set(k, C(k) / (1.0 + step));
                step = -0.5 * std::fabs(step);
            }

            p = Search(k);
            if (p.z < 0) {
                ui_.message(kMessageNoSolution, MessageKind::Warning);
                return Outcome::Failure;
            }
            Limits(p.f, zmin, zmax);
            if ((p.z > zmax && step > 0) || (p.z < zmin && step < 0)) step = -step / 2.0;
            if (p.z < zmin && C(k) >= K::kCeiling) stop = true;

            if (C(k) < K::kCorrectionSpacing * C(prev)) {
                step *= K::kDamping;
                ++tries;
                if (tries >= 3 && ui_.ask(MessageContinueQuestion(), Buttons::RetryCancel) == Answer::Cancel)
                    return Outcome::Failure;
            }
        }
        ++k;
    }
    return Outcome::Continue;
}

}  // namespace

std::string MessageTooManyCapacitors() {
    return std::string("Bei den gewünschten Vorgaben ist keine Lösung möglich!\n") +
           "Die Anzahl der Kondensatoren überschreitet 10 !\n" +
           "Bitte überprüfen Sie die Impedanzgrenzen, die obere Grenzfrequenz sowie die sonstigen Vorgaben!";
}

std::string MessageParasiticsTooLarge() {
    return std::string("Lösung nicht möglich!\n") +
           "Der Grund hierfür sind wahrscheinlich zu große parasitäre Induktivitäten!\n" + "Versuchen Sie:\n" +
           "1. Dünneres Substrat\n" + "2. Mehr Vias\n" + "3. Geringerer Abstand zwischen Vcc- und GND-Vias";
}

std::string MessageContinueQuestion() {
    return std::string("Bei den gewünschten Vorgaben ist eine Lösung\n") + "wahrscheinlich nicht möglich!\n" +
           "Optimierung fortsetzen?\n";
}

int Optimise(CCGroup& group, Interaction& ui, OptimiseStats* stats, ViewRefresher* views) {
    Optimiser optimiser(group, ui, views);
    const int result = optimiser.Run();
    if (stats != nullptr) stats->iterations = optimiser.iterations();
    return result;
}

double FindParReso(const CCGroup& group, int i, int mode, Interaction& ui) {
    const Peak p = SearchPeak(group, i, ui);
    if (!p.ok()) return -1.0;
    if (mode == 0) return p.z;
    if (mode == 1) return p.f;
    return -1.0;
}

double FindSeriesMinimum(const CCGroup& g, int i) {
    const int n = g.ElementCount();
    if (i < 1 || i >= n) return -1.0;
    double lower = i + 1 < n ? Resonance(g.Capacitor(i + 1), 0.0) : 1.0;
    double upper = Resonance(g.Capacitor(i), 0.0);
    if (i == 1) {
        // Walk down from 5 x the resonance, over the anti-resonance with the
        // plane if there is one, to where |Z| stops falling.
        double f = 5.0 * upper;
        auto falling = [&](double at) {
            const double probe = 0.01 * (at - lower);
            return g.GroupImpedanceMagnitude(at - probe) < g.GroupImpedanceMagnitude(at);
        };
        int guard = 0;
        while (f * 0.99 > lower && !falling(f) && ++guard < K::kMaxScanSteps) f *= 0.99;
        double lastFalling = f;
        while (f * 0.99 > lower && falling(f) && ++guard < K::kMaxScanSteps) {
            lastFalling = f;
            f *= 0.99;
        }
        // The minimum lies between the last falling point and where the
        // fall stopped; bracketing just that keeps the anti-resonance with
        // capacitor 2 out of the bisection.
        upper = lastFalling;
        lower = std::max(lower, 0.98 * f);
    }
    if (!(upper > lower)) return -1.0;

    double a = lower, b = upper, f = a + 0.5 * (b - a), delta = K::kProbeOffset;
    double slope = 0.0;
    for (int step = 0; step < K::kMaxSearchSteps; ++step) {
        if (delta > 0.1 * (b - a)) delta *= 0.5;
        slope = (g.GroupImpedanceMagnitude(f + delta) - g.GroupImpedanceMagnitude(f - delta)) / (2.0 * delta);
        if (std::isnan(slope)) return -1.0;
        if (slope > 0) b = f + delta;
        if (slope < 0) a = f - delta;
        const double next = a + 0.5 * (b - a);
        if (std::fabs(slope) <= 1e-12 || std::fabs(next - f) <= 1e-15) break;
        f = next;
    }
    if (std::fabs(slope) > 1e-9) return -1.0;
    return f;
}

int SolutionAcceptable(const CCGroup& g, int iteration, Interaction& ui) {
    int result = 1;
    const int n = g.ElementCount();
    const double relax = iteration >= 10 ? K::kRelaxation * iteration : 0.0;
    for (int i = 1; i < n; ++i) {
        const Peak p = SearchPeak(g, i, ui);
        double zmin, zmax;
        g.LimitLines(p.f, zmin, zmax);
        zmin -= relax;
        if (p.f < g.fo) {
            if (p.z > zmax || (p.z < zmin && g.Capacitor(i).capacitance <= K::kCeiling)) result = 0;
        } else {
            g.LimitLines(g.fo, zmin, zmax);
            zmin -= relax;
            const double z = g.GroupImpedanceMagnitude(g.fo);
            if (z < zmin || z > zmax) result = 0;
        }
    }
    return result;
}

void FirstCapacitor(CCGroup& group) {
    const double w = kTwoPi * 0.9 * group.fo;
    double c1 = 1.0 / (w * w * 1e-9);
    const double plane = group.stackup() != nullptr ? group.stackup()->planeCapacitance() : 0.0;
    if (plane > c1) c1 = 15.0 * plane;
    group.Append(group.NewCapacitor(c1));
}

double MinimumNearFo(const CCGroup& g) {
    double f = g.fo, s = 0.001;
    int direction = 0;
    for (int step = 0; step < K::kMaxScanSteps; ++step) {
        const double up = g.GroupImpedanceMagnitude(f + 10000.0 * s);
        const double down = g.GroupImpedanceMagnitude(f - 10000.0 * s);
        if (up == down) break;
        const int now = up > down ? -1 : 1;
        f = now < 0 ? f * (1.0 - s) : f * (1.0 + s);
        if (direction != 0 && now != direction) s *= 0.1;
        direction = now;
    }
    return g.GroupImpedanceMagnitude(f);
}

}  // namespace vantor
