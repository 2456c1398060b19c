// SPDX-License-Identifier: MIT
// The windows' handlers driven through a fake run-time: what they ask the
// run-time for, in which order, and with which texts.

#include "fake_runtime.h"
#include "form1.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "program_start.h"
#include "risk_evaluator.h"
#include "window_descriptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using about::frmAbout;
using main_window::Form1;
using startup::frmSplash;

// The last message box the run-time showed, as the log has it ("" for none).
std::string lastMessage(const FakeRuntime& runtime)
{
    const auto it = std::find_if(runtime.log.rbegin(), runtime.log.rend(),
                                 [](const std::string& entry) { return entry.starts_with("message "); });
    return it == runtime.log.rend() ? std::string() : *it;
}

std::vector<std::string> queriesOfAllOptions()
{
    std::vector<std::string> queries;
    for (int i = 1; i <= 18; ++i)
        queries.push_back("selected Option" + std::to_string(i));
    return queries;
}

TEST(Form1Test, Command1ClearsTheVerdictReadsAllOptionsInOrderThenShowsRAndTheVerdict)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    runtime.select(form, "Option8");  // H = 1
    runtime.select(form, "Option2");  // A = 3
    runtime.select(form, "Option17"); // W = 6
    runtime.log.clear();

    form.Command1_Click();

    std::vector<std::string> expected{"caption Label2="};
    for (const std::string& query : queriesOfAllOptions())
        expected.push_back(query);
    expected.push_back("text Text1=18");
    expected.push_back("caption Label2=" + std::string(risk::verdictText(risk::RiskBand::Low)));
    expected.push_back("announce Label2=R = 18. " + std::string(risk::verdictText(risk::RiskBand::Low)));
    EXPECT_EQ(runtime.log, expected);
    EXPECT_EQ(form.factors().R, 18.0f);
}

struct Calculation
{
    const char* name;
    std::vector<const char*> options;
    const char* separator;
    const char* text;
    risk::RiskBand band;
};

class Form1CalculationTest : public testing::TestWithParam<Calculation>
{};

TEST_P(Form1CalculationTest, ShowsRAndVerdict)
{
    const Calculation& calculation = GetParam();
    FakeRuntime runtime;
    runtime.separator = calculation.separator;
    Form1& form = runtime.form<Form1>();
    for (const char* option : calculation.options)
        runtime.select(form, option);
    form.Command1_Click();
    EXPECT_EQ(runtime.textOf(form, "Text1"), calculation.text);
    EXPECT_EQ(runtime.textOf(form, "Label2"), risk::verdictText(calculation.band));
}

void PrintTo(const Calculation& calculation, std::ostream* out)
{
    *out << calculation.name;
}

INSTANTIATE_TEST_SUITE_P(
    Choices, Form1CalculationTest,
    testing::Values(
        Calculation{"NothingSelected", {}, ",", "0", risk::RiskBand::NoSelection},
        Calculation{"OnlyAAndH", {"Option1", "Option7"}, ",", "0", risk::RiskBand::NoSelection},
        Calculation{
            "SmallestUnderComma", {"Option1", "Option7", "Option13"}, ",", "0,1", risk::RiskBand::Low},
        Calculation{"SmallestUnderDot", {"Option1", "Option7", "Option13"}, ".", "0.1", risk::RiskBand::Low},
        Calculation{
            "FloatTwoTenths", {"Option3", "Option11", "Option13"}, ",", "8,400001", risk::RiskBand::Low},
        Calculation{"SeventyIsHigh", {"Option3", "Option12", "Option15"}, ",", "70", risk::RiskBand::High},
        Calculation{"FourHundred", {"Option5", "Option8", "Option18"}, ",", "400", risk::RiskBand::Stop},
        Calculation{"Largest", {"Option6", "Option12", "Option18"}, ",", "10000", risk::RiskBand::Stop},
        Calculation{"LaterChoiceInAFrameWins",
                    {"Option3", "Option5", "Option8", "Option15"},
                    ",",
                    "40",
                    risk::RiskBand::Possible}),
    [](const testing::TestParamInfo<Calculation>& info) { return info.param.name; });

TEST(Form1Test, ChangingOneOptionRecomputesFromTheOthersAndReplacesTypedText)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    for (const char* option : {"Option2", "Option8", "Option17"})
        runtime.select(form, option);
    form.Command1_Click();
    ASSERT_EQ(runtime.textOf(form, "Text1"), "18");

    runtime.setText(form, "Text1", "typed by the user");
    runtime.select(form, "Option12"); // H = 10
    form.Command1_Click();
    EXPECT_EQ(runtime.textOf(form, "Text1"), "180");
    EXPECT_EQ(runtime.textOf(form, "Label2"), risk::verdictText(risk::RiskBand::High));
}

TEST(Form1Test, Command2EndsTheProgramWithoutAnyClosingStep)
{
    FakeRuntime runtime;
    frmSplash& splash = runtime.form<frmSplash>();
    runtime.show(splash);
    splash.Form_KeyPress(U'x');
    Form1& form = runtime.form<Form1>();

    form.Command2_Click();

    EXPECT_EQ(runtime.ended, 1);
    EXPECT_TRUE(runtime.visible.empty());
    EXPECT_TRUE(runtime.destroyed.empty()) << "end unloads nothing, so no unload step runs";
    // Handlers no longer run once the program has ended.
    runtime.log.clear();
    form.click("Command1");
    EXPECT_TRUE(runtime.log.empty());
}

TEST(Form1Test, ClosingTheWindowThroughItsFrameEndsTheWholeProgram)
{
    FakeRuntime runtime;
    frmSplash& splash = runtime.form<frmSplash>();
    runtime.show(splash);
    splash.Frame1_Click();

    runtime.closeRequested(runtime.form<Form1>());

    EXPECT_EQ(runtime.ended, 1);
    EXPECT_TRUE(runtime.visible.empty());
}

TEST(SplashTest, LoadFillsVersionAndProductFromTheApplicationProperties)
{
    FakeRuntime runtime;
    frmSplash& splash = runtime.form<frmSplash>();
    EXPECT_EQ(runtime.textOf(splash, "lblVersion"), "Version 1.3.0");
    EXPECT_EQ(runtime.textOf(splash, "lblProductName"), "Gradolux");
    EXPECT_EQ(runtime.textOf(splash, "lblWarning"), "Bitte eine Taste Drücken um zum Programm zu gelangen!");
    EXPECT_EQ(runtime.textOf(splash, "lblPlatform"), "für Win 98/2000/XP");
}

TEST(SplashTest, EachTriggerShowsTheOneMainWindowThenHidesTheSplash)
{
    FakeRuntime runtime;
    frmSplash& splash = runtime.form<frmSplash>();
    runtime.show(splash);
    EXPECT_FALSE(runtime.isLoaded<Form1>()) << "the main window does not exist before a trigger";
    runtime.log.clear();

    splash.Form_KeyPress(U'a');
    EXPECT_EQ(runtime.log, (std::vector<std::string>{"create Form1", "show Form1", "focus Form1.Command1",
                                                     "hide frmSplash"}));
    Form1* first = &runtime.form<Form1>();

    runtime.log.clear();
    splash.click("Frame1"); // a second trigger already on its way
    EXPECT_EQ(runtime.log,
              (std::vector<std::string>{"show Form1", "focus Form1.Command1", "hide frmSplash"}));
    EXPECT_EQ(&runtime.form<Form1>(), first);
    EXPECT_EQ(runtime.visible, (std::set<std::string>{"Form1"}));
    EXPECT_TRUE(runtime.isLoaded<frmSplash>()) << "the splash is hidden, not unloaded";
}

TEST(StartTest, WhileTheSplashWaitsTheCalculatorIsPreparedOnePieceAnIdleTurn)
{
    FakeRuntime runtime;
    startup::startProgram(runtime);
    EXPECT_EQ(runtime.visible, (std::set<std::string>{"frmSplash"}));
    EXPECT_FALSE(runtime.isLoaded<Form1>()) << "preparing creates no window";
    EXPECT_TRUE(runtime.prepared.empty()) << "nothing is drawn before an idle turn";

    int turns = 0;
    while (runtime.runIdleTurn()) {
        ++turns;
        EXPECT_EQ(runtime.prepared.size(), static_cast<std::size_t>(turns)) << "one piece a turn";
    }
    const std::vector<forms::TextSample> expected = forms::textSamples(resources::form1Description(), 16);
    ASSERT_EQ(runtime.prepared.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(runtime.prepared[i].font, expected[i].font);
        EXPECT_EQ(runtime.prepared[i].text, expected[i].text);
    }
    EXPECT_FALSE(runtime.isLoaded<Form1>());
}

TEST(StartTest, PreparingStopsOnceTheCalculatorIsLoadedOrTheProgramHasEnded)
{
    for (const bool ends : {false, true}) {
        FakeRuntime runtime;
        startup::startProgram(runtime);
        ASSERT_TRUE(runtime.runIdleTurn());
        ASSERT_TRUE(runtime.runIdleTurn());
        if (ends)
            runtime.end();
        else
            runtime.form<frmSplash>().Form_KeyPress(U' ');
        while (runtime.runIdleTurn()) {
        }
        EXPECT_EQ(runtime.prepared.size(), 2U)
            << (ends ? "after the end" : "after the calculator was loaded");
    }
}

TEST(SplashTest, ClicksOnLabelsAndTheImageDoNothing)
{
    FakeRuntime runtime;
    frmSplash& splash = runtime.form<frmSplash>();
    runtime.show(splash);
    runtime.log.clear();
    for (const char* control : {"lblWarning", "lblVersion", "lblProductName", "Image1", ""})
        splash.click(control);
    EXPECT_TRUE(runtime.log.empty());
    EXPECT_FALSE(runtime.isLoaded<Form1>());
}

TEST(SplashTest, AClickOnTheFrameIsAPressAndAReleaseOnItsSurface)
{
    // Each step: 'p' press, 'r' release, 'l' the mouse taken away; on the
    // frame's surface (F), on a label in it (L) or on nothing (-).
    const struct
    {
        const char* steps;
        bool opens;
    } cases[] = {
        {"pF rF", true},  {"pF rL", false}, {"pL rF", false}, {"pL rL", false},      {"pF l rF", false},
        {"p- rF", false}, {"pF r-", false}, {"rF", false},    {"pF rL pF rF", true},
    };
    for (const auto& each : cases) {
        FakeRuntime runtime;
        frmSplash& splash = runtime.form<frmSplash>();
        runtime.show(splash);
        const forms::WindowDescription& window = splash.description();
        const auto on = [&](char where) -> const forms::ControlDescription* {
            return where == 'F' ? window.find("Frame1") : where == 'L' ? window.find("lblWarning") : nullptr;
        };
        const std::string steps = each.steps;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i] == 'p')
                runtime.pointerPressed(splash, on(steps[++i]));
            else if (steps[i] == 'r')
                runtime.pointerReleased(splash, on(steps[++i]));
            else if (steps[i] == 'l')
                runtime.pointerLost(splash);
        }
        EXPECT_EQ(runtime.isLoaded<Form1>(), each.opens) << each.steps;
    }
}

// A window that counts its load and unload steps.
class CountingForm final : public forms::Form
{
public:
    explicit CountingForm(forms::Runtime& runtime) : Form(runtime) {}
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{.name = "frmCounting"};
        return description;
    }
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
    static inline int loads = 0;
    static inline int unloads = 0;
};

TEST(RuntimeTest, OneInstancePerClassCreatedAnewAfterUnload)
{
    CountingForm::loads = CountingForm::unloads = 0;
    FakeRuntime runtime;
    runtime.show(runtime.form<frmSplash>()); // keeps a window loaded
    CountingForm& first = runtime.form<CountingForm>();
    EXPECT_EQ(&runtime.form<CountingForm>(), &first);
    EXPECT_EQ(CountingForm::loads, 1);

    runtime.unload(first);
    EXPECT_EQ(CountingForm::unloads, 1);
    EXPECT_FALSE(runtime.isLoaded<CountingForm>());
    EXPECT_EQ(runtime.ended, 0);

    (void)runtime.form<CountingForm>();
    EXPECT_EQ(CountingForm::loads, 2);
}

TEST(RuntimeTest, TheProgramEndsByItselfWhenNoWindowIsLoaded)
{
    FakeRuntime runtime;
    CountingForm& only = runtime.form<CountingForm>();
    runtime.closeRequested(only);
    EXPECT_EQ(runtime.ended, 1);
    EXPECT_TRUE(runtime.loadedForms().empty());
}

TEST(RuntimeTest, EndRunsNoUnloadStep)
{
    CountingForm::unloads = 0;
    FakeRuntime runtime;
    (void)runtime.form<CountingForm>();
    runtime.end();
    runtime.end();
    EXPECT_EQ(runtime.ended, 1);
    EXPECT_EQ(CountingForm::unloads, 0);
}

// A window whose button unloads the window itself and then another, and
// notes which windows were freed while its handler still ran.
class SelfUnloadingForm final : public forms::Form
{
public:
    explicit SelfUnloadingForm(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [this] {
            this->runtime().unload(*this);
            this->runtime().unload(this->runtime().form<CountingForm>());
            freedDuringHandler = freed;
            captionAfterUnloads = m_caption; // a member of the unloaded window
        });
    }
    ~SelfUnloadingForm() override { freed.emplace_back("frmSelf"); }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmSelf", .controls = {{.name = "cmdGo", .kind = forms::ControlKind::CommandButton}}};
        return description;
    }
    static inline std::vector<std::string> freed;
    static inline std::vector<std::string> freedDuringHandler;
    static inline std::string captionAfterUnloads;

private:
    std::string m_caption = "still here";
};

TEST(RuntimeTest, AProgramThatCannotReachTheScreenSaysSoInOneLineUnderItsOwnTitle)
{
    using forms::DisplayFailure;
    const struct
    {
        DisplayFailure failure;
        const char* name;
        const char* line;
    } cases[] = {
        {DisplayFailure::NoConnection, "wayland",
         "Prüfung: Die Bildschirmanbindung „wayland“ lässt sich nicht starten.\n"},
        {DisplayFailure::NoDisplay, "",
         "Prüfung: Keine Anzeige angegeben (DISPLAY ist nicht gesetzt); das Programm braucht eine grafische "
         "Oberfläche.\n"},
        {DisplayFailure::Unreachable, ":4711", "Prüfung: Die Anzeige „:4711“ lässt sich nicht öffnen.\n"},
    };
    for (const auto& each : cases)
        EXPECT_EQ(forms::displayFailureMessage("Prüfung", each.failure, each.name), each.line);
}

TEST(RuntimeTest, AWindowUnloadedByItsOwnHandlerLivesUntilTheHandlerReturns)
{
    // Each way an unload can be reached: a handler (click), and an unload
    // step outside any handler (the run-time unloading a window directly).
    for (const bool throughHandler : {true, false}) {
        SelfUnloadingForm::freed.clear();
        SelfUnloadingForm::freedDuringHandler = {"not run"};
        FakeRuntime runtime;
        runtime.show(runtime.form<frmSplash>()); // keeps the program running
        (void)runtime.form<CountingForm>();
        auto& self = runtime.form<SelfUnloadingForm>();
        if (throughHandler) {
            self.click("cmdGo");
            EXPECT_TRUE(SelfUnloadingForm::freedDuringHandler.empty()) << "freed while its handler ran";
            EXPECT_EQ(SelfUnloadingForm::captionAfterUnloads, "still here");
        } else {
            runtime.unload(self);
        }
        EXPECT_EQ(SelfUnloadingForm::freed, std::vector<std::string>{"frmSelf"}) << "freed once it returned";
        EXPECT_FALSE(runtime.isLoaded<SelfUnloadingForm>());
        EXPECT_EQ(runtime.isLoaded<CountingForm>(), !throughHandler);
        EXPECT_EQ(runtime.ended, 0);
    }
}

// A window whose handler for one step fails the way a failing platform call would.
enum class Step
{
    Load,
    Click,
    Key,
    Unload
};

class FailingForm final : public forms::Form
{
public:
    explicit FailingForm(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [this] { run(Step::Click); });
        onKeyPress([this](char32_t) { run(Step::Key); });
    }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmFailing", .controls = {{.name = "cmdGo", .kind = forms::ControlKind::CommandButton}}};
        return description;
    }
    void Form_Load() override { run(Step::Load); }
    void Form_Unload() override { run(Step::Unload); }

    static inline Step failing = Step::Load;
    static inline std::function<void()> raise;
    static inline int steps = 0;

private:
    void run(Step step)
    {
        ++steps;
        if (step == failing)
            raise();
    }
};

// What a handler lets through, and the German report the user reads of it.
struct Failure
{
    const char* name;
    std::function<void()> raise;
    const char* report;
};

const Failure kFailures[] = {
    {"RuntimeError", [] { throw forms::Error("Die Platte brennt."); },
     "Laufzeitfehler: Die Platte brennt.\n\nGradolux wird beendet."},
    {"StandardLibraryError", [] { throw std::out_of_range("vector::_M_range_check: __n (which is 7)"); },
     "Laufzeitfehler: Ein interner Fehler ist aufgetreten.\n\nGradolux wird beendet."},
    {"OutOfMemory", [] { throw std::bad_alloc(); },
     "Laufzeitfehler: Nicht genügend Arbeitsspeicher.\n\nGradolux wird beendet."},
    {"NoException", [] { throw 42; },
     "Laufzeitfehler: Ein interner Fehler ist aufgetreten.\n\nGradolux wird beendet."},
};

class RuntimeErrorTest : public testing::TestWithParam<std::tuple<Step, Failure>>
{};

std::string failureCaseName(const testing::TestParamInfo<std::tuple<Step, Failure>>& info)
{
    static const char* const steps[] = {"Load", "Click", "Key", "Unload"};
    return std::string(steps[static_cast<int>(std::get<0>(info.param))]) + std::get<1>(info.param).name;
}

TEST_P(RuntimeErrorTest, AnErrorAHandlerLetsThroughIsReportedInGermanAndEndsTheProgramWithCode1)
{
    const auto& [step, failure] = GetParam();
    FailingForm::failing = step;
    FailingForm::raise = failure.raise;
    FailingForm::steps = 0;
    FakeRuntime runtime;
    runtime.start<FailingForm>();
    if (runtime.isLoaded<FailingForm>()) {
        FailingForm& form = runtime.form<FailingForm>();
        form.click("cmdGo");
        form.keyPress(U'a');
        runtime.closeRequested(form);
    }

    EXPECT_EQ(runtime.exitCodes, std::vector<int>{1});
    EXPECT_EQ(runtime.exitCode(), 1);
    EXPECT_TRUE(runtime.visible.empty());
    ASSERT_FALSE(runtime.log.empty());
    EXPECT_EQ(lastMessage(runtime), std::string("message ") + failure.report);
    // Nothing runs after the failing step.
    EXPECT_EQ(FailingForm::steps, static_cast<int>(step) + 1);
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfEventAndError, RuntimeErrorTest,
                         testing::Combine(testing::Values(Step::Load, Step::Click, Step::Key, Step::Unload),
                                          testing::ValuesIn(kFailures)),
                         failureCaseName);

// A window the platform cannot build, or one naming a picture the program
// lacks, is not loaded: the user reads why, and the program ends with code 1.
TEST(RuntimeTest, AWindowThatCannotBeBuiltIsNotLoadedAndEndsTheProgram)
{
    const struct
    {
        const char* name;
        std::function<void(FakeRuntime&)> breakIt;
        const char* report;
        bool builtAndReleased;
    } cases[] = {
        {"refused", [](FakeRuntime& runtime) { runtime.refuseToBuild = true; },
         "message Laufzeitfehler: Das Fenster frmAbout lässt sich nicht anlegen.\n\nGradolux wird beendet. before Form1",
         true},
        {"picture", [](FakeRuntime& runtime) { runtime.pictures.clear(); },
         "message Laufzeitfehler: Das Bild „application-icon“ gibt es nicht.\n\nGradolux wird beendet. before Form1",
         false},
    };
    for (const auto& broken : cases) {
        FakeRuntime runtime;
        runtime.show(runtime.form<Form1>());
        broken.breakIt(runtime);
        runtime.log.clear();
        runtime.deliver([&] { runtime.form<frmAbout>(); });
        EXPECT_FALSE(runtime.isLoaded<frmAbout>()) << broken.name;
        EXPECT_EQ(lastMessage(runtime), broken.report) << broken.name;
        EXPECT_EQ(runtime.exitCodes, std::vector<int>{1}) << broken.name;
        EXPECT_EQ(std::count(runtime.log.begin(), runtime.log.end(), "create frmAbout"),
                  broken.builtAndReleased ? 1 : 0)
            << broken.name << ": a missing picture is found before anything is built";
        EXPECT_EQ(std::count(runtime.destroyed.begin(), runtime.destroyed.end(), "frmAbout"),
                  broken.builtAndReleased ? 1 : 0)
            << broken.name << ": what was built of the window is released";
    }
}

// A window whose one handler reaches a control the way a slip of the pen would.
class SlipForm final : public forms::Form
{
public:
    explicit SlipForm(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [this] { slip(*this); });
    }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmSlip",
            .controls = {{.name = "cmdGo", .kind = forms::ControlKind::CommandButton},
                         {.name = "Label2", .kind = forms::ControlKind::Label},
                         {.name = "Text1", .kind = forms::ControlKind::TextBox},
                         {.name = "Option1", .kind = forms::ControlKind::OptionButton},
                         {.name = "Image1", .kind = forms::ControlKind::Image}}};
        return description;
    }
    static inline std::function<void(SlipForm&)> slip;
    using Form::selected;
    using Form::setCaption;
    using Form::setText;
};

struct Slip
{
    const char* name;
    std::function<void(SlipForm&)> slip;
    const char* report;
};

class ControlNameTest : public testing::TestWithParam<Slip>
{};

TEST_P(ControlNameTest, AMisspeltNameOrAWrongKindFailsWithAGermanReport)
{
    SlipForm::slip = GetParam().slip;
    FakeRuntime runtime;
    runtime.start<SlipForm>();
    runtime.form<SlipForm>().click("cmdGo");
    EXPECT_EQ(runtime.exitCodes, std::vector<int>{1});
    ASSERT_FALSE(runtime.log.empty());
    EXPECT_EQ(lastMessage(runtime),
              std::string("message Laufzeitfehler: ") + GetParam().report + "\n\nGradolux wird beendet.");
}

INSTANTIATE_TEST_SUITE_P(
    Slips, ControlNameTest,
    testing::Values(Slip{"MisspeltLabel", [](SlipForm& form) { form.setCaption("Lable2", "x"); },
                         "Das Fenster frmSlip hat kein Steuerelement Lable2."},
                    Slip{"MisspeltOption", [](SlipForm& form) { (void)form.selected("Optoin1"); },
                         "Das Fenster frmSlip hat kein Steuerelement Optoin1."},
                    Slip{"TextOfALabel", [](SlipForm& form) { form.setText("Label2", "x"); },
                         "Label2 ist ein Bezeichnungsfeld und hat keinen Text."},
                    Slip{"SelectedStateOfATextBox", [](SlipForm& form) { (void)form.selected("Text1"); },
                         "Text1 ist ein Textfeld und hat keinen Auswahlzustand."},
                    Slip{"CaptionOfAnImage", [](SlipForm& form) { form.setCaption("Image1", "x"); },
                         "Image1 ist eine Anzeige und hat keine Beschriftung."}),
    [](const testing::TestParamInfo<Slip>& info) { return std::string(info.param.name); });

TEST(Form1Test, EveryCalculationIsAnnouncedOnceWithRAndItsVerdict)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    const auto announcements = [&runtime] {
        std::vector<std::string> found;
        for (const std::string& entry : runtime.log)
            if (entry.starts_with("announce "))
                found.push_back(entry);
        return found;
    };
    form.Command1_Click();
    EXPECT_EQ(announcements(),
              std::vector<std::string>{"announce Label2=R = 0. " +
                                       std::string(risk::verdictText(risk::RiskBand::NoSelection))});
    runtime.log.clear();
    runtime.separator = ",";
    for (const char* option : {"Option1", "Option7", "Option13"})
        runtime.select(form, option);
    form.Command1_Click();
    EXPECT_EQ(announcements(), std::vector<std::string>{"announce Label2=R = 0,1. " +
                                                        std::string(risk::verdictText(risk::RiskBand::Low))});
}

// The box stands in front of the window the user works in, every window is
// blocked while it is open, and the focus comes back where it was.
TEST(RuntimeTest, AMessageBoxBlocksEveryWindowAndGivesTheFocusBackWhereItWas)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    frmSplash& splash = runtime.form<frmSplash>();
    runtime.show(form);
    const std::vector<std::string> block = {"block Form1", "block frmSplash"};
    const std::vector<std::string> unblock = {"unblock Form1", "unblock frmSplash"};
    const auto during = [&](std::string box, std::vector<std::string> after = {}) {
        std::vector<std::string> log = block;
        log.push_back(std::move(box));
        log.insert(log.end(), unblock.begin(), unblock.end());
        log.insert(log.end(), after.begin(), after.end());
        return log;
    };

    runtime.focus = {&form, form.description().find("Command3")};
    runtime.log.clear();
    runtime.messageBox("Hinweis");
    EXPECT_EQ(runtime.log,
              during("message Hinweis before Form1", {"activate Form1", "focus Form1.Command3"}));
    EXPECT_EQ(runtime.titles, std::vector<std::string>{"Gradolux"});

    runtime.focus = {};
    runtime.log.clear();
    runtime.messageBox("Ohne aktives Fenster");
    EXPECT_EQ(runtime.log, during("message Ohne aktives Fenster"))
        << "while another program was active, no window is made active afterwards";

    runtime.focus = {&splash, nullptr}; // the splash has the focus but is not shown
    runtime.log.clear();
    runtime.messageBox("Versteckt");
    EXPECT_EQ(runtime.log, during("message Versteckt"))
        << "a window not shown neither owns the box nor is brought back";
}

// Each window keeps the control that last had its focus and gets it back
// whenever it is active again; at its first show, its first Tab stop.
TEST(RuntimeTest, EachWindowGetsItsFocusBackWhenItIsActiveAgain)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    frmAbout& about = runtime.form<frmAbout>();
    runtime.log.clear();
    runtime.show(form);
    runtime.show(about);
    EXPECT_EQ(runtime.log, (std::vector<std::string>{"show Form1", "focus Form1.Command1", "show frmAbout",
                                                     "focus frmAbout.cmdOK"}));

    runtime.focus = {&about, about.description().find("cmdSysInfo")};
    runtime.windowDeactivated(about);
    runtime.focus = {&form, form.description().find("Command3")};
    runtime.windowDeactivated(form);
    runtime.focus = {};
    runtime.log.clear();
    runtime.windowActivated(about);
    runtime.windowActivated(form);
    EXPECT_EQ(runtime.log, (std::vector<std::string>{"focus frmAbout.cmdSysInfo", "focus Form1.Command3"}));

    runtime.windowDeactivated(about); // the focus is elsewhere: the window keeps what it had
    runtime.hide(form);               // hidden, then shown again
    runtime.log.clear();
    runtime.show(form);
    runtime.windowActivated(about);
    EXPECT_EQ(runtime.log,
              (std::vector<std::string>{"show Form1", "focus Form1.Command3", "focus frmAbout.cmdSysInfo"}));
}

TEST(RuntimeTest, AnAnnouncementNamesAControlTheWindowHas)
{
    FakeRuntime runtime;
    Form1& form = runtime.form<Form1>();
    runtime.deliver([&] { runtime.announce(form, "Label9", "R = 1."); });
    EXPECT_EQ(runtime.exitCodes, std::vector<int>{1});
    EXPECT_EQ(
        lastMessage(runtime),
        "message Laufzeitfehler: Das Fenster Form1 hat kein Steuerelement Label9.\n\nGradolux wird beendet.");
}

// A window that binds its handlers as a slip of the pen would.
template <int Slip> class BindingForm final : public forms::Form
{
public:
    explicit BindingForm(forms::Runtime& runtime) : Form(runtime)
    {
        onClick(Slip == 0 ? "Commnd1" : "Label2", [] {});
    }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmBinding",
            .controls = {{.name = "Command1", .kind = forms::ControlKind::CommandButton},
                         {.name = "Label2", .kind = forms::ControlKind::Label}}};
        return description;
    }
};

TEST(RuntimeTest, AHandlerBoundToAControlThatCannotDeliverItFailsAtStartUp)
{
    const auto startReports = [](auto start) {
        FakeRuntime runtime;
        start(runtime);
        EXPECT_EQ(runtime.exitCodes, std::vector<int>{1});
        return lastMessage(runtime);
    };
    EXPECT_EQ(
        startReports([](FakeRuntime& runtime) { runtime.start<BindingForm<0>>(); }),
        "message Laufzeitfehler: Das Fenster frmBinding hat kein Steuerelement Commnd1.\n\nGradolux wird "
        "beendet.");
    EXPECT_EQ(
        startReports([](FakeRuntime& runtime) { runtime.start<BindingForm<1>>(); }),
        "message Laufzeitfehler: Label2 ist ein Bezeichnungsfeld und hat keine Klickereignisse.\n\nGradolux "
        "wird beendet.");
}

TEST(RuntimeTest, EveryWindowOfTheProgramBindsItsHandlersToControlsItHas)
{
    FakeRuntime runtime;
    runtime.deliver([&] {
        runtime.form<frmSplash>();
        runtime.form<Form1>();
        runtime.form<frmAbout>();
    });
    EXPECT_TRUE(runtime.exitCodes.empty()) << lastMessage(runtime);
}

TEST(RuntimeTest, TheRegistryKnowsEachWindowsNativeControlsUntilItIsUnloaded)
{
    FakeRuntime runtime;
    auto& about = runtime.form<frmAbout>();
    const forms::ControlDescription& ok = *about.description().find("cmdOK");
    void* const handle = runtime.nativeControl(about, ok);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(runtime.controlOf(about, handle), &ok);
    EXPECT_EQ(runtime.formOf(runtime.nativeWindow(about)), &about);
    EXPECT_EQ(runtime.controlOf(about, nullptr), nullptr);
    for (const forms::ControlDescription& control : about.description().controls)
        EXPECT_NE(runtime.nativeControl(about, control), nullptr) << control.name;

    runtime.show(runtime.form<Form1>());
    runtime.unload(about);
    EXPECT_EQ(runtime.destroyed, std::vector<std::string>{"frmAbout"}) << "released while still registered";
    const auto& again = runtime.form<frmAbout>();
    EXPECT_EQ(runtime.formOf(runtime.nativeWindow(again)), &again) << "registered anew when loaded anew";
}

TEST(RuntimeTest, AStartWithoutErrorsLeavesTheProgramRunning)
{
    FakeRuntime runtime;
    runtime.start<frmSplash>();
    EXPECT_FALSE(runtime.hasEnded());
    EXPECT_EQ(runtime.visible, std::set<std::string>{"frmSplash"});
}

} // namespace
