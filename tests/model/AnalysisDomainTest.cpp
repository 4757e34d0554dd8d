#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

#include "CAnalysisDomain.h"
#include "CArchive.h"

namespace vantor {
namespace {

TEST(AnalysisDomain, StepCountsGiveStepsPlusOneFrequencies) {
    const std::tuple<int, double, double, std::vector<double>> cases[] = {
        {4, 1e6, 1e9, {1e6, 250.75e6, 500.5e6, 750.25e6, 1e9}},
        {1, 1e6, 1e9, {1e6, 1e9}},
        {0, 1e6, 1e9, {1e6}},
        {-1, 1e6, 1e9, {}},
        {2, 3e6, 1e6, {3e6, 2e6, 1e6}},  // a reversed range descends
    };
    for (const auto& [steps, start, stop, expected] : cases) {
        CAnalysisDomain d(start, stop, 0.0, 1e-6, 2.0);
        d.frequencySteps = steps;
        const auto f = d.frequencies();
        ASSERT_EQ(f.size(), expected.size()) << "steps " << steps;
        for (std::size_t i = 0; i < f.size(); ++i) EXPECT_NEAR(f[i], expected[i], 1e-6) << i;
    }
}

class FakeAnalysisDialog : public AnalysisDialog {
public:
    bool confirm = true;
    std::string newStop;
    AnalysisFields shown;
    bool exec(AnalysisFields& fields) override {
        shown = fields;
        if (!newStop.empty()) fields.stopFrequency = newStop;
        return confirm && !fields.Check();
    }
};

TEST(AnalysisDomain, EditKeepsTheExactValueOfAFieldLeftAsShownAndCancelChangesNothing) {
    CAnalysisDomain d;
    d.startFrequency = 1.23456e6;
    FakeAnalysisDialog dialog;
    dialog.confirm = false, dialog.newStop = "2GHz";
    EXPECT_FALSE(d.edit(dialog));
    EXPECT_EQ(std::pair(d.startFrequency, d.stopFrequency), std::pair(1.23456e6, 1e9));
    dialog.confirm = true;
    ASSERT_TRUE(d.edit(dialog));
    EXPECT_EQ(dialog.shown.startFrequency, "1.2MHz");
    EXPECT_EQ(d.startFrequency, 1.23456e6) << "shown rounded, left as shown: not rounded";
    EXPECT_DOUBLE_EQ(d.stopFrequency, 2e9);
}

TEST(AnalysisDomain, DialogChecksRefuseWhatTheFieldsCannotHold) {
    const std::string number = "Geben Sie eine Zahl ein.";
    using F = AnalysisFields;
    using K = AnalysisField;
    // clang-format off
    struct Case { void (*change)(F&); K field; std::string message; };
    const Case cases[] = {
        {[](F& f) { f.startFrequency = "12345678901"; }, K::StartFrequency, "Geben Sie nicht mehr als 10 Zeichen ein."},
        {[](F& f) { f.resolution = "0.5"; }, K::Resolution, "Geben Sie eine Zahl zwischen 1 und 100 ein."},
        {[](F& f) { f.frequencySteps = "10000"; }, K::FrequencySteps,
         "Geben Sie eine ganze Zahl zwischen 0 und 9999 ein."},
        {[](F& f) { f.timeSteps = "1"; }, K::TimeSteps, "Geben Sie eine ganze Zahl zwischen 2 und 9999 ein."},
        // Texts that overflow to infinity are no number.
        {[](F& f) { f.startFrequency = "1e309"; }, K::StartFrequency, number},
        {[](F& f) { f.stopFrequency = "1e300T"; }, K::StopFrequency, number},
        {[](F& f) { f.stopTime = "-1e309s"; }, K::StopTime, number},
    };
    // clang-format on
    for (const auto& c : cases) {
        AnalysisFields f = AnalysisFields::FromDomain(CAnalysisDomain());
        ASSERT_FALSE(f.Check());
        c.change(f);
        const auto e = f.Check();
        ASSERT_TRUE(e) << c.message;
        EXPECT_EQ(std::pair(e->key, e->message), std::pair(FieldKey(c.field), c.message));
    }
    AnalysisFields edge = AnalysisFields::FromDomain(CAnalysisDomain());
    edge.resolution = "100", edge.frequencySteps = "0", edge.startFrequency = "1234567890";
    EXPECT_FALSE(edge.Check()) << "the limits themselves are accepted";
}

TEST(AnalysisDomain, AFileCannotAskForMoreStepsThanTheDialogAllows) {
    // A damaged count would make the sweep's list billions of entries long.
    for (const std::int32_t steps : {-1, 10000, std::numeric_limits<std::int32_t>::max(), 0, 9999}) {
        CAnalysisDomain written, read;
        written.frequencySteps = steps;
        CArchive w;
        written.Serialize(w);
        CArchive r(w.Bytes());
        if (steps < 0 || steps > 9999) {
            EXPECT_THROW(read.Serialize(r), ArchiveError) << steps;
        } else {
            read.Serialize(r);
            EXPECT_EQ(read.frequencies().size(), static_cast<std::size_t>(steps) + 1);
        }
    }
}

}  // namespace
}  // namespace vantor
