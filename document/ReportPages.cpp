#include "ReportPages.h"

#include <cmath>
#include <complex>
#include <cstdio>

#include "BoardStackup.h"
#include "CLayer.h"
#include "CVtrDoc.h"
#include "GraphTraces.h"
#include "Printf.h"
#include "Values.h"

namespace vantor {

namespace {

constexpr int kCurveSteps = 400;

const CLayer* SolvedPlane(const CVtrDoc& doc) {
    const CLayer* plane = doc.plane();
    return plane != nullptr && plane->HasResults() && plane->results.EntryCount() >= 2 ? plane : nullptr;
}

// The stored frequencies: every entry but "Maximum".
std::vector<double> StoredFrequencies(const CLayer& plane) {
    std::vector<double> f;
    const int n = plane.results.EntryCount() - 1;
    for (int i = 0; i < n; ++i) f.push_back(ParseValue(plane.results.resultLabels[static_cast<std::size_t>(i)]));
    return f;
}

std::string SolverText(const SolveReport& r) {
    std::string text = r.kind == SolverKind::Umfpack ? "LU-Zerlegung mit UMFPACK" : "LDLᵀ-Zerlegung mit Teilinversion";
    if (r.threads > 0) text += ", " + std::to_string(r.threads) + (r.threads == 1 ? " Thread" : " Threads");
    if (r.fallbackFrequencies > 0) text += ", " + std::to_string(r.fallbackFrequencies) + " Frequenzen mit UMFPACK";
    return text;
}

void ProbeLines(const CVtrDoc& doc, const CLayer& plane, std::vector<ReportLine>& lines) {
    lines.push_back({"Sonden", true});
    const std::vector<double> f = StoredFrequencies(plane);
    for (const auto& probe : plane.probes) {
        std::vector<int> valid;
        const std::vector<std::complex<double>> z = plane.ImpedanceCurve(probe->x, probe->y, f, valid);
        std::size_t worst = 0;
        for (std::size_t i = 1; i < z.size(); ++i)
            if (std::abs(z[i]) > std::abs(z[worst])) worst = i;
        std::string text = probe->name + " (X=" + FormatValue(probe->x, "m") + ", Y=" + FormatValue(probe->y, "m") +
                           "): ";
        text += z.empty()
                    ? std::string("keine Werte")
                    : "größtes |Z| " + FormatValue(std::abs(z[worst]), "Ohm") + " bei " + FormatValue(f[worst], "Hz");
        lines.push_back({text});
    }
    if (plane.probes.empty()) lines.push_back({"Keine Sonden auf der Ebene."});

    const CCGroup& group = BandGroup(doc);
    const TargetBand band = GroupTargetBand(group);
    if (!band.HasTargets()) return;
    lines.push_back({"Zielband", true});
    lines.push_back({"Zielband" + (group.name.empty() ? std::string() : " der Gruppe " + group.name) + ": Zmin " +
                     FormatValue(band.zminFu, "Ohm") + " bis " + FormatValue(band.zminFo, "Ohm") + ", Zmax " +
                     FormatValue(band.zmaxFu, "Ohm") + " bis " + FormatValue(band.zmaxFo, "Ohm") +
                     ", bis Fo = " + FormatValue(band.fo, "Hz")});
    const std::vector<double> curve = ReportFrequencies(doc);
    bool any = false;
    for (const auto& probe : plane.probes)
        for (const BandExcursion& e : BandExcursions(ProbeTrace(*probe, plane, curve), band)) {
            lines.push_back({ExcursionText(e)});
            any = true;
        }
    if (!any) lines.push_back({"Keine Sondenkurve liegt bis Fo über Zmax."});
}

}  // namespace

const char* ReportPageHeading(ReportPage page) {
    switch (page) {
        case ReportPage::Impedance: return "Impedanzverlauf";
        case ReportPage::Map: return "Impedanzkarte";
        case ReportPage::Analysis: return "Analyse";
        case ReportPage::Parts: return "Stückliste";
        case ReportPage::Filter: return "Filter";
    }
    return "";
}

std::vector<ReportPage> ReportPagesOf(const CVtrDoc& doc) {
    std::vector<ReportPage> pages;
    const CCGroup* group = doc.currentGroup();
    const CLayer* solved = SolvedPlane(doc);
    if ((group != nullptr && group->CapacitorCount() >= 1) || solved != nullptr) pages.push_back(ReportPage::Impedance);
    if (solved != nullptr && solved->results.MaximumMap() != nullptr) pages.push_back(ReportPage::Map);
    pages.push_back(ReportPage::Analysis);
    const CLayer* plane = doc.plane();
    bool placed = false;
    if (plane != nullptr)
        for (const auto& g : plane->capacitorGroups) placed = placed || g->CapacitorCount() >= 1;
    const bool choke = doc.filter().SelectedChoke() != nullptr;
    if (placed || choke) pages.push_back(ReportPage::Parts);
    if (choke) pages.push_back(ReportPage::Filter);
    return pages;
}

std::vector<double> ReportFrequencies(const CVtrDoc& doc) {
    const CAnalysisDomain& d = doc.analysisDomain();
    std::vector<double> f = LogGraphFrequencies(d.startFrequency, d.stopFrequency, kCurveSteps);
    return f.empty() ? GraphFrequencies(d.startFrequency, d.stopFrequency, kCurveSteps) : f;
}

std::vector<CGraphTrace> ReportImpedanceTraces(const CVtrDoc& doc) {
    std::vector<CGraphTrace> traces;
    const std::vector<double> f = ReportFrequencies(doc);
    const CCGroup* group = doc.currentGroup();
    if (group != nullptr && group->CapacitorCount() >= 1) traces.push_back(ApproxTrace(group, f));
    if (const CLayer* plane = SolvedPlane(doc))
        for (const auto& probe : plane->probes) traces.push_back(ProbeTrace(*probe, *plane, f));
    return traces;
}

WorstSpot FindWorstSpot(const CLayer& plane) {
    WorstSpot spot;
    const WorstPoint w = plane.results.FindWorstPoint();
    if (!w.found) return spot;
    spot.found = true;
    spot.entry = w.entry;
    spot.label = plane.results.resultLabels[static_cast<std::size_t>(w.entry)];
    spot.frequency = w.frequency;
    spot.z = std::abs(plane.results.resultMaps[static_cast<std::size_t>(w.entry)](w.row, w.column));
    spot.x = w.column * plane.mesh.cellSize;
    spot.y = w.row * plane.mesh.cellSize;
    return spot;
}

std::vector<ReportLine> AnalysisLines(const CVtrDoc& doc) {
    std::vector<ReportLine> lines;
    const CAnalysisDomain& d = doc.analysisDomain();
    lines.push_back({"Parameter", true});
    lines.push_back({"Frequenzbereich: " + FormatValue(d.startFrequency, "Hz") + " bis " +
                     FormatValue(d.stopFrequency, "Hz") + ", " + std::to_string(d.frequencySteps) + " Schritte"});
    lines.push_back({"Auflösung: " + Printf("%g", d.resolution)});
    const BoardStackup& b = doc.board();
    lines.push_back({"Erste Ebenenresonanz (Schätzung): " +
                     FormatValue(BoardStackup::FirstResonanceEstimate(b.width, b.length, b.epsilonR), "Hz")});

    const CLayer* plane = doc.plane();
    const CLayer* solved = SolvedPlane(doc);
    lines.push_back({"Gitter und Löser", true});
    if (plane != nullptr && plane->mesh.nx > 0) {
        const PlaneMesh& m = plane->mesh;
        lines.push_back({"Knoten: " + std::to_string(m.activeCount) + " mit Metall von " + std::to_string(m.nx) +
                         " × " + std::to_string(m.ny) + " Gitterpunkten, Zellgröße " + FormatValue(m.cellSize, "m")});
    }
    if (solved == nullptr) {
        lines.push_back({kNoResultsSentence});
        return lines;
    }
    lines.push_back({"Frequenzen der Lösung: " + std::to_string(solved->results.EntryCount() - 1)});
    lines.push_back({"Löser: " + SolverText(solved->results.report)});
    const WorstSpot worst = FindWorstSpot(*solved);
    if (worst.found)
        lines.push_back({"Größtes |Z| der Ebene: " + FormatValue(worst.z, "Ohm") + " bei " +
                         FormatValue(worst.frequency, "Hz") + " (X=" + FormatValue(worst.x, "m") +
                         ", Y=" + FormatValue(worst.y, "m") + ")"});
    ProbeLines(doc, *solved, lines);
    return lines;
}

std::vector<ReportLine> FilterLines(const CVtrDoc& doc) {
    const CFilter& f = doc.filter();
    std::vector<ReportLine> lines;
    lines.push_back({"Anforderungen", true});
    lines.push_back({"Sperrbereich: " + FormatValue(f.fLower, "Hz") + " bis " + FormatValue(f.fUpper, "Hz")});
    lines.push_back({"Mindestdämpfung: " + Printf("%g", f.minAttenuation) + " dB"});
    lines.push_back({"Maximaler Versorgungsstrom: " + FormatValue(f.maxSupplyCurrent, "A")});
    lines.push_back({std::string("Kondensatorgruppe im Filter: ") + (f.useGroup != 0 ? "ja" : "nein") +
                     (f.group.name.empty() ? std::string() : " (" + f.group.name + ")")});
    if (const CSParaSet* choke = f.SelectedChoke()) {
        lines.push_back({"Gewählte Drossel", true});
        lines.push_back({"Hersteller: " + choke->maker});
        lines.push_back(
            {"Typ: " + choke->name + (choke->partNumber.empty() ? std::string() : " (" + choke->partNumber + ")")});
        if (!choke->dimensions.empty()) lines.push_back({"Bauform: " + choke->dimensions});
        if (choke->nominalL > 0.0) lines.push_back({"Nenninduktivität: " + FormatValue(choke->nominalL, "H")});
        if (choke->maxCurrent > 0.0) lines.push_back({"Maximalstrom: " + FormatValue(choke->maxCurrent, "A")});
    }
    return lines;
}

std::vector<CGraphTrace> ReportFilterTraces(const CVtrDoc& doc) {
    const CFilter& f = doc.filter();
    std::vector<CGraphTrace> traces;
    if (f.SelectedChoke() == nullptr) return traces;
    traces.push_back(FilterTrace(f, f.fLower, f.fUpper));
    CGraphTrace required("Mindestdämpfung", "Hz", "dB", "Geforderte Dämpfung");
    required.points.emplace_back(f.fLower, -f.minAttenuation);
    required.points.emplace_back(f.fUpper, -f.minAttenuation);
    traces.push_back(std::move(required));
    return traces;
}

}  // namespace vantor
