#include "CAnalysisDomain.h"

#include <string>

#include "CArchive.h"
#include "Values.h"

namespace vantor {

FieldCheck AnalysisFields::Check() const {
    if (auto e = CheckTextLength(startFrequency, kMaxTextLength, AnalysisField::StartFrequency, "Startfrequenz:"))
        return e;
    if (auto e = CheckTextLength(stopFrequency, kMaxTextLength, AnalysisField::StopFrequency, "Stopfrequenz:"))
        return e;
    if (auto e = CheckTextLength(startTime, kMaxTextLength, AnalysisField::StartTime, "Start-Zeit:")) return e;
    if (auto e = CheckTextLength(stopTime, kMaxTextLength, AnalysisField::StopTime, "Stop-Zeit:")) return e;
    if (auto e = CheckFiniteValue(startFrequency, AnalysisField::StartFrequency, "Startfrequenz:")) return e;
    if (auto e = CheckFiniteValue(stopFrequency, AnalysisField::StopFrequency, "Stopfrequenz:")) return e;
    if (auto e = CheckFiniteValue(startTime, AnalysisField::StartTime, "Start-Zeit:")) return e;
    if (auto e = CheckFiniteValue(stopTime, AnalysisField::StopTime, "Stop-Zeit:")) return e;
    double number = 0.0;
    long long count = 0;
    if (auto e = CheckNumberField(resolution, 1.0, 100.0, AnalysisField::Resolution, "Auflösung:", number)) return e;
    if (auto e = CheckIntegerField(frequencySteps, 0, kMaxFrequencySteps, AnalysisField::FrequencySteps,
                                   "Frequenzschritte:", count))
        return e;
    if (auto e = CheckIntegerField(timeSteps, 2, 9999, AnalysisField::TimeSteps, "Zeit-Schritte:", count)) return e;
    return std::nullopt;
}

CAnalysisDomain::CAnalysisDomain(double startFrequency_, double stopFrequency_, double startTime_, double stopTime_,
                                 double resolution_)
    : startFrequency(startFrequency_),
      stopFrequency(stopFrequency_),
      startTime(startTime_),
      stopTime(stopTime_),
      resolution(resolution_) {}

void CAnalysisDomain::Serialize(CArchive& ar) {
    // The version is written but never checked on reading.
    std::int32_t version = 1;
    ar.Int32(version);
    ar.Int32(logarithmic);
    ar.Double(startFrequency);
    ar.Double(stopFrequency);
    ar.Double(resolution);
    ar.Double(startTime);
    ar.Double(stopTime);
    ar.Int32(frequencySteps);
    ar.Int32(timeSteps);
    // The dialog never stores more steps than it allows; a count beyond that
    // comes from a damaged file and would make the sweep run for hours.
    if (ar.IsLoading() && (frequencySteps < 0 || frequencySteps > AnalysisFields::kMaxFrequencySteps))
        throw ArchiveError("Ungültige Anzahl von Frequenzschritten " + std::to_string(frequencySteps) +
                           " (erlaubt 0 bis " + std::to_string(AnalysisFields::kMaxFrequencySteps) + ")");
}

double CAnalysisDomain::frequencyAt(int i) const {
    const double df = frequencySteps >= 1 ? (stopFrequency - startFrequency) / frequencySteps : 0.0;
    // A product, not a running sum, so the last point lands on the stop.
    return startFrequency + i * df;
}

std::vector<double> CAnalysisDomain::frequencies() const {
    std::vector<double> f;
    if (frequencySteps < 0) return f;
    f.reserve(static_cast<std::size_t>(frequencySteps) + 1);
    for (int i = 0; i <= frequencySteps; ++i) f.push_back(frequencyAt(i));
    return f;
}

AnalysisFields AnalysisFields::FromDomain(const CAnalysisDomain& d) {
    AnalysisFields f;
    f.startFrequency = FormatValue(d.startFrequency, "Hz");
    f.stopFrequency = FormatValue(d.stopFrequency, "Hz");
    f.startTime = FormatValue(d.startTime, "s");
    f.stopTime = FormatValue(d.stopTime, "s");
    f.resolution = FormatLimit(d.resolution);
    f.frequencySteps = std::to_string(d.frequencySteps);
    f.timeSteps = std::to_string(d.timeSteps);
    f.logarithmic = d.logarithmic;
    return f;
}

AnalysisFields AnalysisFields::FromDomainExact(const CAnalysisDomain& d) {
    AnalysisFields f;
    f.startFrequency = ExactText(d.startFrequency);
    f.stopFrequency = ExactText(d.stopFrequency);
    f.startTime = ExactText(d.startTime);
    f.stopTime = ExactText(d.stopTime);
    f.resolution = ExactText(d.resolution);
    f.frequencySteps = std::to_string(d.frequencySteps);
    f.timeSteps = std::to_string(d.timeSteps);
    f.logarithmic = d.logarithmic;
    return f;
}

void AnalysisFields::ApplyTo(CAnalysisDomain& d) const {
    d.startFrequency = ParseValue(startFrequency);
    d.stopFrequency = ParseValue(stopFrequency);
    d.startTime = ParseValue(startTime);
    d.stopTime = ParseValue(stopTime);
    double number = 0.0;
    if (ParsePlainNumber(resolution, number)) d.resolution = number;
    d.logarithmic = logarithmic;
    long long count = 0;
    if (ParsePlainInteger(frequencySteps, count)) d.frequencySteps = static_cast<std::int32_t>(count);
    if (ParsePlainInteger(timeSteps, count)) d.timeSteps = static_cast<std::int32_t>(count);
}

bool CAnalysisDomain::edit(AnalysisDialog& dialog) {
    const AnalysisFields shown = AnalysisFields::FromDomain(*this);
    AnalysisFields fields = shown;
    if (!dialog.exec(fields)) return false;
    using F = AnalysisFields;
    KeepExactWhereUnchanged(fields, shown, F::FromDomainExact(*this), &F::startFrequency, &F::stopFrequency,
                            &F::startTime, &F::stopTime, &F::resolution);
    // A dialog that hands back unchecked values changes nothing.
    if (fields.Check()) return false;
    fields.ApplyTo(*this);
    return true;
}

}  // namespace vantor
