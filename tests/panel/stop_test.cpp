#include "panel/stop.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

struct PrefixCase
{
    QString before;
    QString after;
};

TEST(Stop, StripsOnlyTheUnitPrefix)
{
    const QString micro(QChar(0x00B5));
    const PrefixCase cases[] = {
        {QStringLiteral("mV"), QStringLiteral("V")},
        {micro + QLatin1Char('A'), QStringLiteral("A")},
        {QStringLiteral("mA"), QStringLiteral("A")},
        {QStringLiteral("kOhm"), QStringLiteral("Ohm")},
        {QStringLiteral("MOhm"), QStringLiteral("Ohm")},
        {QStringLiteral("V"), QStringLiteral("V")},
        {QStringLiteral("Ohm"), QStringLiteral("Ohm")},
        {QStringLiteral("dBm"), QStringLiteral("dBm")},
        {QStringLiteral("dB"), QStringLiteral("dB")},
        {QStringLiteral("dBv"), QStringLiteral("dBv")},
        {QStringLiteral("KOhm"), QStringLiteral("KOhm")}, // case matters
        {QString(), QString()},
        {QStringLiteral("m"), QString()},
    };
    for (const PrefixCase& c : cases) {
        Form1 form;
        form.Label_Prefix.caption = c.before;
        Button_Stop_Click(form);
        EXPECT_EQ(form.Label_Prefix.caption, c.after) << c.before.toStdString();
    }
}

TEST(Stop, RestoresTheIdlePanel)
{
    for (bool applyPending : {false, true}) {
        Form1 form;
        form.applyDm5120WideLayout(); // nine hyphens at start-up
        form.Label_RunStop.caption = QStringLiteral("Running");
        form.Combo_Range.visible = true;
        form.Menu_File.enabled = false;
        form.Menu_Utilities.enabled = false;
        form.Menu_About.enabled = false;
        form.Combo_Mode.enabled = false;
        form.Button_Refresh.enabled = false;
        form.Button_Run.enabled = false;
        form.Button_Stop.enabled = true;
        form.Button_Apply.enabled = applyPending;
        form.Menu_Apply.enabled = applyPending;
        form.Label_ReadOut.caption = QStringLiteral(" 1.2345");

        Button_Stop_Click(form);

        EXPECT_EQ(form.Label_RunStop.caption, QStringLiteral("Stopped"));
        EXPECT_FALSE(form.Combo_Range.visible);
        EXPECT_TRUE(form.Menu_File.enabled);
        EXPECT_TRUE(form.Menu_Utilities.enabled);
        EXPECT_TRUE(form.Menu_About.enabled);
        EXPECT_TRUE(form.Combo_Mode.enabled);
        EXPECT_TRUE(form.Button_Refresh.enabled);
        EXPECT_TRUE(form.Button_Run.enabled);
        EXPECT_FALSE(form.Button_Stop.enabled);
        EXPECT_EQ(form.state.StopRequested, kTrue);
        EXPECT_EQ(form.Label_ReadOut.caption, QStringLiteral("-------"));
        // Stop leaves a pending function change alone.
        EXPECT_EQ(form.Button_Apply.enabled, applyPending);
        EXPECT_EQ(form.Menu_Apply.enabled, applyPending);
    }
}

} // namespace
} // namespace lumodm
