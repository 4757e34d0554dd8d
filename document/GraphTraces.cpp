#include "GraphTraces.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "CLayer.h"
#include "Values.h"

namespace vantor {

std::vector<double> GraphFrequencies(double first, double last, int steps) {
    std::vector<double> f;
    if (steps < 1) return f;
    const double step = (last - first) / steps;
    f.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) f.push_back(i * step + first);
    return f;
}

std::vector<double> LogGraphFrequencies(double first, double last, int steps) {
    std::vector<double> f;
    if (steps < 1) return f;
    const double low = first > 0 ? first : (last - first) / steps;
    if (!(low > 0) || !(last > low)) return f;
    const double ratio = std::log(last / low) / steps;
    f.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i < steps; ++i) f.push_back(low * std::exp(i * ratio));
    f.push_back(last);
    return f;
}

CGraphTrace ApproxTrace(const CCGroup* group, const std::vector<double>& frequencies) {
    const std::string name = group != nullptr ? group->name : std::string();
    CGraphTrace trace(kApproxTrace, "Hz", "Ohm", "|Z| (Approx für " + name + ")");
    const bool usable = group != nullptr && group->ElementCount() >= 2;
    for (double f : frequencies) {
        if (!usable) {
            trace.points.emplace_back(f, 0.0, 0);
            continue;
        }
        const double z = group->GroupImpedanceMagnitude(f);
        trace.points.emplace_back(f, z, f <= group->fo && std::isfinite(z) ? 1 : 0);
    }
    return trace;
}

CGraphTrace ProbeTrace(const CProbe& probe, const CLayer& plane, const std::vector<double>& frequencies) {
    CGraphTrace trace(probe.name, "Hz", "Ohm",
                      "|Z| (" + FormatValue(probe.x, "m") + "," + FormatValue(probe.y, "m") + ")");
    std::vector<int> valid;
    const std::vector<std::complex<double>> z = plane.ImpedanceCurve(probe.x, probe.y, frequencies, valid);
    // Outside the solved band the value is extrapolated from its edge. It is
    // drawn as not trusted, since a polynomial through a few MHz says nothing
    // of the kHz decades that a logarithmic axis shows.
    const std::vector<std::string>& labels = plane.results.resultLabels;
    if (plane.results.EntryCount() >= 3) {
        const double low = ParseValue(labels.front()), high = ParseValue(labels[labels.size() - 2]);
        for (std::size_t i = 0; i < frequencies.size(); ++i)
            if (frequencies[i] < low * (1 - 1e-3) || frequencies[i] > high * (1 + 1e-3)) valid[i] = 0;
    }
    trace.points.reserve(frequencies.size());
    for (std::size_t i = 0; i < frequencies.size(); ++i)
        trace.points.emplace_back(frequencies[i], std::abs(z[i]), valid[i]);
    return trace;
}

CGraphTrace FilterTrace(const CFilter& filter, double first, double last) {
    CGraphTrace trace(kFilterTrace, "Hz", "dB", "Filterdämpfung");
    // The curve over the graph's axis instead of the filter band.
    CFilter axis(filter.group.stackup());
    axis.group.Assign(filter.group);
    axis.useGroup = filter.useGroup;
    axis.candidates = filter.candidates;
    axis.selected = filter.selected;
    axis.fLower = first;
    axis.fUpper = last;
    std::vector<FilterTracePoint> points;
    axis.AttenuationTrace(points);
    for (const FilterTracePoint& p : points)
        trace.points.emplace_back(p.x, axis.Attenuation(*axis.NearestPoint(p.x)), p.flag);
    return trace;
}

std::vector<CGraphTrace> BuildGraphTraces(const CVtrDoc& doc, double first, double last, int steps, bool logarithmic) {
    std::vector<CGraphTrace> traces;
    std::vector<double> f;
    if (logarithmic) f = LogGraphFrequencies(first, last, steps);
    if (f.empty()) f = GraphFrequencies(first, last, steps);
    const CCGroup* group = doc.currentGroup();
    if (group != nullptr && group->CapacitorCount() >= 1) traces.push_back(ApproxTrace(group, f));
    if (const CLayer* plane = doc.plane(); plane != nullptr && plane->HasResults())
        for (const auto& probe : plane->probes) traces.push_back(ProbeTrace(*probe, *plane, f));
    if (!doc.filter().candidates.empty()) traces.push_back(FilterTrace(doc.filter(), first, last));
    return traces;
}

namespace {

std::string Number(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 10);
    return std::string(buf, r.ptr);
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string GraphTracesCsv(const std::vector<CGraphTrace>& traces) {
    std::vector<const CGraphTrace*> shown;
    for (const CGraphTrace& t : traces)
        if (t.visible) shown.push_back(&t);
    // Row per frequency; the filter's own points fall between the others.
    std::map<double, std::vector<const double*>> rows;
    for (std::size_t c = 0; c < shown.size(); ++c)
        for (const CTracePoint& p : shown[c]->points) {
            auto& row = rows[p.x];
            row.resize(shown.size(), nullptr);
            row[c] = &p.y;
        }
    std::string csv = "f_Hz";
    for (const CGraphTrace* t : shown) csv += "," + CsvField(t->name + "_" + t->yUnit);
    csv += "\n";
    for (const auto& [x, cells] : rows) {
        csv += Number(x);
        for (const double* y : cells) csv += y != nullptr ? "," + Number(*y) : std::string(",");
        csv += "\n";
    }
    return csv;
}

}  // namespace vantor
