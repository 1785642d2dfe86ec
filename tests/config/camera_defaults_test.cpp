// Restoring camera defaults over the simulated camera: which vendor calls the
// steps make, what each step reports, and that failures stay per step.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/camera_defaults.h"
#include "uvc_fixture.h"

namespace vorn::test {
namespace {

using config::DefaultStep;
using config::DefaultStepResult;
using config::StepOutcome;

// Every property away from its default, and rotated, so each set shows.
const std::string kAwayFromDefaults =
    "property.0 = 10 -64 64 1 -3 2\n"
    "property.1 = 40 0 95 1 31 2\n"
    "property.3 = 70 0 100 1 62 2\n"
    "property.4 = 5 0 7 1 2 2\n"
    "property.5 = 300 72 500 1 110 2\n"
    "property.8 = 150 0 255 1 120 1\n"
    "property.7 = 5000 2800 6500 1 4600 2\n"
    "control.4 = -9 2\n"
    "control.2 = 3 2\n";

// The calls that change the camera, in the order they were made.
Lines settingCalls(const Lines& trace) {
    Lines sets;
    for (const std::string& line : trace)
        if (line.starts_with("SonixCam_PropertySet") || line.starts_with("SonixCam_ControlSet")) sets.push_back(line);
    return sets;
}

int currentProperty(int id) {
    int value = 0, flags = 0;
    EXPECT_EQ(SonixCam_PropertyGet(id, &value, &flags), 0);
    return value;
}

std::vector<StepOutcome> outcomes(const std::vector<DefaultStepResult>& results) {
    std::vector<StepOutcome> list;
    for (const DefaultStepResult& r : results) list.push_back(r.outcome);
    return list;
}

struct Restored {
    std::vector<DefaultStepResult> results;
    std::vector<DefaultStepResult> reported;
    Lines sets;
};

Restored restore(bool rotationSupported, std::vector<DefaultStep> steps = {}) {
    Restored run;
    const Observed seen = observe([&] {
        run.results = config::RestoreCameraDefaults(rotationSupported, steps,
                                                    [&](const DefaultStepResult& r) { run.reported.push_back(r); });
        return 0;
    });
    run.sets = settingCalls(seen.trace);
    return run;
}

TEST_F(SimulatorTest, RestoreSetsEveryDefaultAndTheModes) {
    arrangeCamera(kAwayFromDefaults, "", Session::Open);
    const Restored run = restore(true);

    EXPECT_EQ(run.sets, (Lines{
                            vendor("SonixCam_PropertySet", "0, -3, 0"),
                            vendor("SonixCam_PropertySet", "1, 31, 0"),
                            vendor("SonixCam_PropertySet", "3, 62, 0"),
                            vendor("SonixCam_PropertySet", "4, 2, 0"),
                            vendor("SonixCam_PropertySet", "5, 110, 0"),
                            vendor("SonixCam_PropertySet", "8, 120, 1"),
                            vendor("SonixCam_ControlSet", "4, -6, 1"),
                            vendor("SonixCam_PropertySet", "7, 0, 1"),
                            vendor("SonixCam_ControlSet", "2, 0, 2"),
                        }));
    ASSERT_EQ(run.results.size(), 9u);
    const int expectedValues[] = {-3, 31, 62, 2, 110, 120, 1, 1, 0};
    for (size_t i = 0; i < run.results.size(); ++i) {
        SCOPED_TRACE(std::string(config::DefaultStepName(run.results[i].step)));
        EXPECT_EQ(run.results[i].step, config::DefaultSteps()[i]);
        EXPECT_EQ(run.results[i].outcome, StepOutcome::Done);
        EXPECT_EQ(run.results[i].value, expectedValues[i]);
    }
    EXPECT_EQ(run.reported.size(), run.results.size());
    EXPECT_EQ(config::Summarise(run.results).attempted, 9);
    EXPECT_EQ(config::Summarise(run.results).failed, 0);

    EXPECT_EQ(currentProperty(0), -3);
    EXPECT_EQ(currentProperty(8), 120);
}

TEST_F(SimulatorTest, RotationIsLeftAloneWithoutFirmwareSupport) {
    arrangeCamera(kAwayFromDefaults, "", Session::Open);
    const Restored run = restore(false);
    EXPECT_TRUE(std::none_of(run.sets.begin(), run.sets.end(),
                             [](const std::string& l) { return l.starts_with("SonixCam_ControlSet(2,"); }));
    ASSERT_EQ(run.results.size(), 9u);
    EXPECT_EQ(run.results.back().outcome, StepOutcome::Unsupported);
    EXPECT_FALSE(run.results.back().attempted());
    EXPECT_EQ(config::Summarise(run.results).attempted, 8);
    EXPECT_EQ(config::Summarise(run.results).failed, 0);
}

TEST_F(SimulatorTest, FailuresStayWithTheirStep) {
    struct Case {
        const char* name;
        std::string faults;
        DefaultStep step;
        StepOutcome outcome;
        int value;
        std::string missingSet;  // the set that must not be attempted, if any
    };
    const Case cases[] = {
        {"DefaultUnreadable", "SonixCam_PropertyGetRange.3 = always", DefaultStep::Saturation,
         StepOutcome::DefaultUnreadable, 0, "SonixCam_PropertySet(3,"},
        {"PropertySetRefused", "SonixCam_PropertySet.1 = always", DefaultStep::Contrast, StepOutcome::Failed, 31, ""},
        {"AecSwitchRefused", "SonixCam_ControlSet.4 = always", DefaultStep::AutoExposure, StepOutcome::Failed, 1, ""},
        {"RotationRefused", "SonixCam_ControlSet.2 = always", DefaultStep::Rotation, StepOutcome::Failed, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        arrangeCamera(kAwayFromDefaults, c.faults, Session::Open);
        const Restored run = restore(true);
        ASSERT_EQ(run.results.size(), 9u);
        for (const DefaultStepResult& r : run.results) {
            if (r.step == c.step) {
                EXPECT_EQ(r.outcome, c.outcome);
                EXPECT_EQ(r.value, c.value);
                EXPECT_TRUE(r.failed());
            } else {
                EXPECT_EQ(r.outcome, StepOutcome::Done) << config::DefaultStepName(r.step);
            }
        }
        EXPECT_EQ(config::Summarise(run.results).failed, 1);
        EXPECT_EQ(config::Summarise(run.results).attempted, 9);
        if (!c.missingSet.empty()) {
            EXPECT_TRUE(std::none_of(run.sets.begin(), run.sets.end(),
                                     [&](const std::string& l) { return l.starts_with(c.missingSet); }));
        }
        // The steps after the failing one still ran.
        EXPECT_EQ(run.sets.back(), vendor("SonixCam_ControlSet", "2, 0, 2", c.step == DefaultStep::Rotation ? kFault : 0));
    }
}

TEST_F(SimulatorTest, ChosenStepsRunOnceInRestoreOrder) {
    arrangeCamera(kAwayFromDefaults, "", Session::Open);
    const Restored run = restore(true, {DefaultStep::Rotation, DefaultStep::Gamma, DefaultStep::Gamma});
    EXPECT_EQ(outcomes(run.results), (std::vector<StepOutcome>{StepOutcome::Done, StepOutcome::Done}));
    ASSERT_EQ(run.reported.size(), 2u);
    EXPECT_EQ(run.reported[0].step, DefaultStep::Gamma);
    EXPECT_EQ(run.reported[1].step, DefaultStep::Rotation);
    EXPECT_EQ(run.sets, (Lines{vendor("SonixCam_PropertySet", "5, 110, 0"), vendor("SonixCam_ControlSet", "2, 0, 2")}));
}

TEST(CameraDefaultNames, EveryStepHasAWordThatLeadsBack) {
    for (DefaultStep step : config::DefaultSteps()) {
        const std::string name(config::DefaultStepName(step));
        EXPECT_EQ(config::DefaultStepFromName(name), step) << name;
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(toupper(c)); });
        EXPECT_EQ(config::DefaultStepFromName(upper), step) << upper;
    }
    for (const char* word : {"", "bright", "aec target", "rotation ", "all"})
        EXPECT_EQ(config::DefaultStepFromName(word), std::nullopt) << '"' << word << '"';
    EXPECT_TRUE(config::IsPropertyStep(DefaultStep::AecTarget));
    EXPECT_FALSE(config::IsPropertyStep(DefaultStep::AutoExposure));
}

TEST_F(SimulatorTest, RotationSupportFollowsTheFirmwareBuild) {
    struct Case {
        std::string camera;
        std::string faults;
        std::optional<bool> expected;
    };
    const Case cases[] = {
        {"firmware = Vorn-Corvanith-210811K-1.0", "", true},
        {"firmware = Vorn-Corvanith-210810K-1.0", "", false},
        {"firmware = Vorn-1.0", "", false},
        {"", "SonixCam_GetFwVersion = always", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.camera + c.faults);
        arrangeCamera(c.camera, c.faults, Session::Selected);
        EXPECT_EQ(config::CameraSupportsRotation(), c.expected);
    }
}

}  // namespace
}  // namespace vorn::test
