#include "FrequencyRangeFields.h"

#include <charconv>

#include "Values.h"

namespace vantor {

namespace {

// The step count as the step display reads it: a plain decimal, else 0.
long long PlainCount(const std::string& text) {
    long long n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

}  // namespace

FrequencyRangeFields FrequencyRangeFields::FromGraph(const GraphViewRecord& graph) {
    return {FormatValue(graph.firstFrequency, "Hz"), FormatValue(graph.lastFrequency, "Hz"),
            std::to_string(graph.stepCount)};
}

std::string FrequencyRangeFields::StepText() const {
    const long long n = PlainCount(steps);
    const double f1 = ParseValue(start), f2 = ParseValue(stop);
    if (!(f2 > f1)) return "---------";
    return FormatValue((f2 - f1) / static_cast<double>(n == 0 ? 1 : n), "Hz");
}

FieldCheck FrequencyRangeFields::Check() const {
    long long count = 0;
    if (auto e = CheckIntegerField(steps, 2, 5001, FrequencyRangeField::Steps, "Anzahl Schritte:", count)) return e;
    return CheckEnds();
}

FieldCheck FrequencyRangeFields::CheckEnds() const {
    const double f1 = ParseValue(start), f2 = ParseValue(stop);
    if (!(f2 > f1)) return FieldError{FrequencyRangeField::Start, "Fstart:", "Fehler: Fstart muß < " + stop + " sein!"};
    // Also refuses an infinite Fstop ("1e309").
    if (!(f2 <= kGraphFrequencyLimit))
        return FieldError{FrequencyRangeField::Stop,
                          "Fstop::", "Maximal mögliche Frequenz in Vantor: " + FormatValue(kGraphFrequencyLimit, "Hz")};
    return std::nullopt;
}

void FrequencyRangeFields::ApplyTo(GraphViewRecord& graph) const {
    long long count = 0;
    CheckIntegerField(steps, 2, 5001, FrequencyRangeField::Steps, "Anzahl Schritte:", count);
    graph.firstFrequency = ParseValue(start);
    graph.lastFrequency = ParseValue(stop);
    graph.stepCount = static_cast<std::int32_t>(count);
    graph.frequencyStep = ParseValue(StepText());
}

}  // namespace vantor
