#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// The simulator's panel tests walk every resistance and current range; here
// the voltage commands, the query the list asks first, and a choice already
// in force.
TEST(RangeControls, ChoosingARangeSendsOnlyAChange)
{
    const struct
    {
        const char* spec;
        const char* setup; // as from the meter's own front panel
        int entry;
        const char* sent; // nullptr: nothing
        const char* caption;
    } cases[] = {
        {"DM5010@16", "DCV 0.2", 0, "DCV -2", "Auto"},
        {"DM5010@16", "OHMS -1", 1, "OHMS 200", "Range1"},
        {"DM5010@16", "ACV 2", 5, "ACV 1000", "Range5"},
        {"DM5110@16", "OHMS;RANGE4", 0, "RANGE0", "Auto"},
        {"DM5010@16", "DCV 20", 3, nullptr, "Range3"},
        {"DM5010@16", "DCV -1", 0, nullptr, "Auto"},
        {"DM5110@16", "ACA;RANGE2", 2, nullptr, "Range2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spec) + " " + c.setup);
        PanelFixture f(QString::fromLatin1(c.spec));
        f.start();
        f.helper.GpibWrite(f.state().DeviceHandle, QString::fromLatin1(c.setup));
        f.panel.Button_Refresh_Click();
        f.panel.Label_Range_DblClick();
        f.clearReceived();
        f.form.Combo_Range.userSelect(c.entry);
        EXPECT_EQ(f.commands(), c.sent ? QList<QByteArray>{c.sent} : QList<QByteArray>{});
        EXPECT_EQ(f.received().first(), f.state().ModelCode == 1 ? "FUNC?" : "RANGE?");
        EXPECT_FALSE(f.form.Combo_Range.visible);
        EXPECT_EQ(f.form.Label_Range.caption, QString::fromLatin1(c.caption));
        f.panel.Button_Refresh_Click();
        EXPECT_EQ(f.form.Label_Range.caption, QString::fromLatin1(c.caption));
    }
}

TEST(RangeControls, TheProgramsOwnSelectionsSendNothing)
{
    PanelFixture f(QStringLiteral("DM5110@16"));
    f.start();
    f.clearReceived();
    f.form.Combo_Range.setListIndex(3); // hidden list
    f.panel.Label_Range_DblClick();
    f.state().UpdatingControls = kTrue;
    f.form.Combo_Range.setListIndex(3); // open, but the program is updating
    EXPECT_TRUE(f.received().isEmpty());
    EXPECT_TRUE(f.form.Combo_Range.visible);
}

TEST(RangeControls, ARangeCanBeChangedDuringARun)
{
    PanelFixture f(QStringLiteral("DM5110@16"));
    f.start();
    f.meter()->setSignal("DCV", 0.5);
    f.clearReceived();
    const double start = f.platform.now();
    // A DM5110 cycle: two queries and "SEND" (0.3 s), then the 1 s wait.
    f.clickAt(start + 0.5, &FrontPanel::Label_Range_DblClick);
    f.platform.postEventAt(start + 3.0, [&f] { f.form.Combo_Range.userSelect(3); });
    f.clickAt(start + 5.0, &FrontPanel::Button_Stop_Click);
    f.panel.Button_Run_Click();

    EXPECT_EQ(f.commands(), QList<QByteArray>{"RANGE3"});
    EXPECT_EQ(f.meter()->range(), 3);
    // No reading while the list was open (0.5 to 3 s): one before, two after.
    EXPECT_EQ(f.received().count("SEND"), 3);
}

TEST(RangeControls, OpeningTheListInsideAReadingKeepsItOffTheDisplay)
{
    PanelFixture f(QStringLiteral("DM5110@16"));
    f.start();
    f.meter()->setSignal("DCV", 0.5);
    const QString before = f.form.Label_ReadOut.caption;
    // The "SEND" query waits from 0.2 to 0.3 s after Run.
    f.clickAt(f.platform.now() + 0.25, &FrontPanel::Label_Range_DblClick);
    f.runFor(2.0);
    EXPECT_EQ(f.form.Label_ReadOut.caption, before);
}

} // namespace
} // namespace lumodm::testing
