#pragma once
// The decoupling optimiser: chooses the number and values of a group's
// capacitors so that every anti-resonance peak of the lumped impedance stays
// between the limit lines up to the group's upper corner frequency fo.

#include <string>

#include "CCGroup.h"
#include "Interaction.h"

namespace vantor {

/// Constants of the optimiser.
struct OptimiserConstants {
    static constexpr double kCeiling = 4e-6;  // F, a chain is complete here
    static constexpr double kClamp = 4.7e-6;  // F, value pushed above the ceiling
    static constexpr double kChainFactor = 5.0;
    static constexpr double kMinStep = 0.01;
    static constexpr double kBuildSpacing = 1.2;
    static constexpr double kCorrectionSpacing = 1.0001;
    static constexpr double kDamping = 0.94;
    static constexpr int kMaxOpt = 10;              // MAX_OPT
    static constexpr double kRelaxation = 0.02;     // Ohm per iteration from iteration 10
    static constexpr double kProbeOffset = 1000.0;  // Hz
    static constexpr double kTwoPiSquaredTwice = 78.95683522933412;

    // Bounds that keep every search finite whatever the input; far above
    // what any sound design needs.
    static constexpr int kMaxSearchSteps = 10000;  // one peak or minimum search
    static constexpr int kMaxTuneSteps = 2000;     // tuning one capacitor
    static constexpr int kMaxScanSteps = 20000;    // frequency scans
};

/// Messages of the optimiser, exactly as shown.
std::string MessageTooManyCapacitors();   // more than ten capacitors needed
std::string MessageParasiticsTooLarge();  // lowering C1 raised the first peak
std::string MessageContinueQuestion();    // the Retry/Cancel question
inline const char* kMessageMaxOpt = "MAX_OPT überschritten";
inline const char* kMessageNoSolution = "Keine Lösung!";
inline const char* kMessageHitLower = "FindParReso: Max-search hit lower boundary!";
inline const char* kMessageHitUpper = "FindParReso: Max-search hit upper boundary!";

/// What a run did, for callers that report on it.
struct OptimiseStats {
    int iterations = 0;  // correction iterations run (0 when the chain was accepted at once)
};

/// Rebuilds the group's capacitors. Returns 1 when a result stands in the
/// group (also after "MAX_OPT überschritten" and the parasitics warning), 0
/// when the optimisation failed or was cancelled (the partial result stays).
/// ui.progress().cancelRequested() is polled before every value change and iteration.
/// During the correction pass, views (when given) are asked to redraw after
/// every value change so that the person sees the values move.
int Optimise(CCGroup& group, Interaction& ui, OptimiseStats* stats = nullptr, ViewRefresher* views = nullptr);

/// The anti-resonance peak between capacitors i-1 and i: mode 0 its |Z|
/// (Ohm), mode 1 its frequency (Hz); -1 on failure.
double FindParReso(const CCGroup& group, int i, int mode, Interaction& ui);

/// Frequency of the |Z| minimum near the series resonance of capacitor i,
/// Hz; -1 on failure.
double FindSeriesMinimum(const CCGroup& group, int i);

/// 1 when every peak below fo lies within the limit lines (and |Z(fo)|
/// within the limits at fo for a peak above it), else 0.
int SolutionAcceptable(const CCGroup& group, int iteration, Interaction& ui);

/// Appends capacitor 1: resonant with 1 nH at 0.9 fo, or 15 times the
/// plane capacitance when that is larger.
void FirstCapacitor(CCGroup& group);

/// |Z| at a local minimum found by walking from fo, Ohm.
double MinimumNearFo(const CCGroup& group);

}  // namespace vantor
