#pragma once
// Parameters of the plane-pair field analysis: the linear frequency sweep and
// the mesh resolution. The time-range fields are carried and stored only.

#include <cstdint>
#include <string>
#include <vector>

#include "CObject.h"
#include "FieldCheck.h"
#include "FieldDialog.h"

namespace vantor {

class CAnalysisDomain;

/// The fields of the analysis-parameter dialog.
enum class AnalysisField {
    StartFrequency,
    StopFrequency,
    StartTime,
    StopTime,
    FrequencySteps,
    Resolution,
    TimeSteps,
    Logarithmic,
};

/// The texts and numbers of the analysis-parameter dialog "Analyse: Parameter".
struct AnalysisFields {
    static constexpr std::size_t kMaxTextLength = 10;
    static constexpr std::int32_t kMaxFrequencySteps = 9999;

    std::string startFrequency;    // "Startfrequenz:", Hz
    std::string stopFrequency;     // "Stopfrequenz:", Hz
    std::string startTime;         // "Start-Zeit:", s (hidden)
    std::string stopTime;          // "Stop-Zeit:", s (hidden)
    std::string resolution;        // "Auflösung:", plain number 1..100
    std::string frequencySteps;    // "Frequenzschritte:", integer 0..9999
    std::string timeSteps;         // "Zeit-Schritte:", integer 2..9999 (hidden)
    std::int32_t logarithmic = 0;  // " logarithmisch" (hidden)

    /// The dialog filled from a domain (frequencies and times as texts).
    static AnalysisFields FromDomain(const CAnalysisDomain& domain);
    /// The same with texts that read back exactly.
    static AnalysisFields FromDomainExact(const CAnalysisDomain& domain);

    /// The checks of OK in the dialog's order; returns the first failure.
    FieldCheck Check() const;

    /// The domain takes over the checked values (texts through ParseValue).
    void ApplyTo(CAnalysisDomain& domain) const;
};

/// The analysis-parameter dialog "Analyse: Parameter".
using AnalysisDialog = FieldDialog<AnalysisFields>;

class CAnalysisDomain : public CObject {
public:
    CAnalysisDomain() = default;
    CAnalysisDomain(double startFrequency, double stopFrequency, double startTime, double stopTime, double resolution);

    const char* ClassName() const override { return "CAnalysisDomain"; }
    /// Record: version 1, logarithmic, start and stop frequency, resolution,
    /// start and stop time, frequency steps, time steps.
    void Serialize(CArchive& ar) override;

    /// Frequency i of the sweep, Hz (0 <= i <= frequencySteps).
    double frequencyAt(int i) const;
    /// All frequencySteps + 1 frequencies, Hz; empty when frequencySteps < 0.
    std::vector<double> frequencies() const;

    /// Opens the dialog and applies its values on OK; false on cancel.
    bool edit(AnalysisDialog& dialog);

    double startFrequency = 1e6;  // Hz
    double stopFrequency = 1e9;   // Hz, also sets the mesh step
    double startTime = 0.0;       // s, not used
    double stopTime = 1e-6;       // s, not used
    std::int32_t frequencySteps = 100;
    std::int32_t timeSteps = 10;   // not used
    std::int32_t logarithmic = 0;  // not used: the sweep is always linear
    double resolution = 2.0;       // mesh step = a tenth of the wavelength / resolution
};

}  // namespace vantor
