#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

class RunLoop : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        f.start();
        f.meter()->setSignal("DCV", 1.2345);
        f.clearReceived();
    }

    PanelFixture f;
};

TEST_F(RunLoop, RunsUntilStopWithTheControlsOfARun)
{
    bool checked = false;
    f.platform.postEventAt(f.platform.now() + 0.5, [this, &checked] {
        const Form1& w = f.form;
        EXPECT_EQ(w.Label_RunStop.caption, QStringLiteral("Running"));
        EXPECT_FALSE(w.Combo_Range.visible);
        EXPECT_FALSE(w.Menu_File.enabled || w.Menu_Utilities.enabled || w.Menu_About.enabled);
        EXPECT_FALSE(w.Combo_Mode.enabled || w.Button_Apply.enabled || w.Button_Refresh.enabled);
        EXPECT_TRUE(w.Button_Stop.enabled && !w.Button_Run.enabled);
        checked = true;
    });
    f.runFor(3.0);

    EXPECT_TRUE(checked);
    EXPECT_TRUE(f.platform.messages().empty()); // no pending change, no question
    // A DM5010 cycle: three 0.1 s queries, then the 1 s wait.
    EXPECT_EQ(f.received().count("SEND"), 3);
    EXPECT_EQ(f.state().StopRequested, kFalse);
    EXPECT_TRUE(f.form.Button_Run.enabled);

    // The interval runs from the end of one reading to the start of the next:
    // at 2 s, readings start at 0, 2.3 and 4.6 s, not at 6.9 s.
    f.panel.Menu_RR_TwoSec_Click();
    f.clearReceived();
    f.runFor(6.5);
    EXPECT_EQ(f.received().count("SEND"), 3);
}

TEST_F(RunLoop, StopDuringAReadingsQueryKeepsTheHyphens)
{
    // The "SEND" query waits from 0.2 to 0.3 s after Run.
    f.clickAt(f.platform.now() + 0.25, &FrontPanel::Button_Stop_Click);
    f.panel.Button_Run_Click();
    // The first reading follows Run at once.
    EXPECT_EQ(f.received(), (QList<QByteArray>{"FUNCT?", "CALC?", "SEND"}));
    EXPECT_EQ(f.form.Label_ReadOut.caption, QStringLiteral("-------"));
    EXPECT_EQ(f.state().StopRequested, kFalse);
}

// Run with a function picked but not applied: the question, then either the
// applied function (declined, or the change itself cancelled) or the new one.
TEST(RunLoopPending, AskedBeforeTheRunAndSettledEitherWay)
{
    const struct
    {
        std::vector<MessageAnswer> answers;
        std::size_t boxes;
        QList<QByteArray> commands;
        const char* function;
    } cases[] = {
        {{MessageAnswer::No}, 1, {}, "DCV"},
        {{MessageAnswer::Yes, MessageAnswer::Ok}, 2, {"OHMS", "CALC OFF"}, "OHMS"},
        {{MessageAnswer::Yes, MessageAnswer::Cancel}, 2, {}, "DCV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function + std::to_string(c.boxes));
        PanelFixture f;
        f.start();
        f.clearReceived();
        f.form.Combo_Mode.userSelect(2); // OHMS
        ASSERT_TRUE(f.form.Button_Apply.enabled);
        for (MessageAnswer answer : c.answers) {
            f.platform.queueAnswer(answer);
        }
        f.runFor(1.5);

        ASSERT_EQ(f.platform.messages().size(), c.boxes);
        const ShownMessage& box = f.platform.messages().front();
        EXPECT_EQ(box.text,
                  QStringLiteral("A Function change is pending.\nDo you want to Apply ?"));
        EXPECT_EQ(box.title, QStringLiteral("Apply change"));
        EXPECT_EQ(box.buttons, MessageButtons::YesNo);
        EXPECT_EQ(box.icon, MessageIcon::Question);
        if (c.boxes > 1) {
            EXPECT_EQ(f.platform.messages()[1].title, QStringLiteral("Function Change"));
        }
        EXPECT_EQ(f.commands(), c.commands);
        EXPECT_EQ(f.form.Combo_Mode.text(), QString::fromLatin1(c.function));
        EXPECT_EQ(f.meter()->function(), QByteArray(c.function));
        // The run itself went on, with no mismatch.
        EXPECT_GE(f.received().count("SEND"), 1);
        EXPECT_TRUE(f.form.Button_Run.enabled);
        EXPECT_FALSE(f.form.Button_Apply.enabled);
        // Declined, the menu item stays enabled and re-applies the shown function.
        EXPECT_EQ(f.form.Menu_Apply.enabled, c.boxes == 1);
        if (c.boxes == 1) {
            f.clearReceived();
            f.panel.Menu_Apply_Click();
            EXPECT_EQ(f.commands(), (QList<QByteArray>{"DCV", "CALC OFF"}));
        }
    }
}

TEST_F(RunLoop, AMismatchStopsTheRunFromInsideAReading)
{
    const double start = f.platform.now();
    // Someone switches the meter to 20 MOhm by hand during the first wait.
    f.platform.postEventAt(start + 0.6,
                           [this] { f.helper.GpibWrite(f.state().DeviceHandle, "OHMS 2E+07"); });
    f.runFor(30.0);

    ASSERT_EQ(f.platform.messages().size(), 1U);
    EXPECT_EQ(f.platform.messages().front().title, QStringLiteral("Settings Error"));
    // The loop ended at the mismatch, long before the Stop click.
    EXPECT_LT(f.platform.now() - start, 2.0);
    EXPECT_EQ(f.received().count("SEND"), 1);
    EXPECT_EQ(f.state().StopRequested, kFalse);
    EXPECT_FALSE(f.form.Button_Run.enabled);

    // One Refresh takes the meter's function and range, with the function's
    // whole list, and makes Run usable again.
    f.panel.Button_Refresh_Click();
    EXPECT_EQ(f.form.Combo_Mode.text(), QStringLiteral("OHMS"));
    EXPECT_EQ(f.form.Label_Range.caption, QStringLiteral("Range6"));
    EXPECT_EQ(f.form.Combo_Range.listCount(), 7);
    EXPECT_TRUE(f.form.Button_Run.enabled);
    EXPECT_FALSE(f.form.Button_Apply.enabled);
}

TEST_F(RunLoop, SleepSecLocalWaitsTheTimeAndLetsEventsIn)
{
    long passes = f.platform.eventPasses();
    f.panel.SleepSecLocal(0.0F);
    f.panel.SleepSecLocal(-2.0F);
    EXPECT_EQ(f.platform.eventPasses(), passes); // nothing to wait: no events

    double start = f.platform.now();
    int clicks = 0;
    f.platform.postEventAt(start + 0.4, [&clicks] { ++clicks; });
    f.panel.SleepSecLocal(1.5F);
    EXPECT_EQ(clicks, 1);
    EXPECT_NEAR(f.platform.now() - start, 1.5, 1e-6);
    // Waiting does not spin: a handful of passes, not thousands.
    EXPECT_LT(f.platform.eventPasses() - passes, 10);

    // A Stop ends the wait.
    start = f.platform.now();
    f.clickAt(start + 0.2, &FrontPanel::Button_Stop_Click);
    f.panel.SleepSecLocal(5.0F);
    EXPECT_NEAR(f.platform.now() - start, 0.2, 1e-6);
    EXPECT_EQ(f.state().StopRequested, kTrue);
}

TEST_F(RunLoop, RefreshRateItemsCheckOneAndNameIt)
{
    const struct
    {
        void (FrontPanel::*click)();
        const MenuItem Form1::*item;
        float interval;
        const char* label;
    } cases[] = {
        {&FrontPanel::Menu_RR_HalfSec_Click, &Form1::Menu_RR_HalfSec, 0.5F, "0.5 sec"},
        {&FrontPanel::Menu_RR_OneSec_Click, &Form1::Menu_RR_OneSec, 1.0F, "1 sec"},
        {&FrontPanel::Menu_RR_TwoSec_Click, &Form1::Menu_RR_TwoSec, 2.0F, "2 sec"},
        {&FrontPanel::Menu_RR_FiveSec_Click, &Form1::Menu_RR_FiveSec, 5.0F, "5 sec"},
        {&FrontPanel::Menu_RR_TenSec_Click, &Form1::Menu_RR_TenSec, 10.0F, "10 sec"},
        // Outside the table: nothing checked, the label stays.
        {nullptr, nullptr, 3.0F, "10 sec"},
    };
    ASSERT_EQ(f.state().SettingsChanged, kFalse);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interval);
        if (c.click) {
            (f.panel.*c.click)();
        } else {
            f.panel.SetRefreshRate(c.interval);
        }
        for (const auto& row : cases) {
            if (row.item) {
                EXPECT_EQ((f.form.*row.item).checked, row.item == c.item);
            }
        }
        EXPECT_EQ(f.state().RefreshInterval, c.interval);
        EXPECT_EQ(f.form.Label_RefreshRate.caption, QString::fromLatin1(c.label));
    }
    EXPECT_EQ(f.state().SettingsChanged, kTrue);
}

} // namespace
} // namespace lumodm::testing
