#pragma once
// The frequency-range dialog of the graph window ("Frequenzbereich
// eingeben"): its fields as texts, the step display and the checks of OK.
// Shared by the desktop dialog, the command-line tool and the tests.

#include <string>

#include "FieldCheck.h"
#include "ViewRecords.h"

namespace vantor {

/// Highest frequency the graph's axis may reach, Hz.
inline constexpr double kGraphFrequencyLimit = 3e9;

/// The fields of the frequency-range dialog.
enum class FrequencyRangeField { Start, Stop, Steps };

struct FrequencyRangeFields {
    std::string start;  // "Fstart:", Hz
    std::string stop;   // "Fstop::", Hz
    std::string steps;  // "Anzahl Schritte:", 2 to 5001

    /// Filled from the graph view's axis.
    static FrequencyRangeFields FromGraph(const GraphViewRecord& graph);

    /// The read-only "Frequenzschritt:" text: the linear step for the texts
    /// as they stand (a step count of 0 taken as 1), "---------" while Fstop
    /// is not above Fstart.
    std::string StepText() const;

    /// The checks of OK in the dialog's order; the first failure.
    FieldCheck Check() const;
    /// The checks of Fstart and Fstop alone.
    FieldCheck CheckEnds() const;

    /// After a passed Check: the graph view takes first and last frequency,
    /// step count and the step as shown.
    void ApplyTo(GraphViewRecord& graph) const;
};

}  // namespace vantor
