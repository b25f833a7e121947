#include "panel/stop.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(Stop, StripsOnlyTheUnitPrefix)
{
    const QString micro(QChar(0x00B5));
    const QString cases[][2] = {
        {"mV", "V"},    {micro + "A", "A"}, {"kOhm", "Ohm"},  {"MOhm", "Ohm"}, {"Ohm", "Ohm"},
        {"dBm", "dBm"}, {"dBv", "dBv"},     {"KOhm", "KOhm"}, {"", ""},        {"m", ""},
    };
    for (const auto& c : cases) {
        Form1 form;
        form.Label_Prefix.caption = c[0];
        Button_Stop_Click(form);
        EXPECT_EQ(form.Label_Prefix.caption, c[1]) << c[0].toStdString();
    }
}

TEST(Stop, RestoresTheIdlePanelButLeavesAPendingChange)
{
    for (bool applyPending : {false, true}) {
        Form1 form;
        form.applyDm5120WideLayout(); // nine hyphens at start-up
        form.Label_RunStop.caption = QStringLiteral("Running");
        form.Combo_Range.visible = form.Button_Stop.enabled = true;
        for (bool* off :
             {&form.Menu_File.enabled, &form.Menu_Utilities.enabled, &form.Menu_About.enabled,
              &form.Combo_Mode.enabled, &form.Button_Refresh.enabled, &form.Button_Run.enabled}) {
            *off = false;
        }
        form.Button_Apply.enabled = form.Menu_Apply.enabled = applyPending;
        form.Label_ReadOut.caption = QStringLiteral(" 1.2345");

        Button_Stop_Click(form);

        EXPECT_EQ(form.Label_RunStop.caption, QStringLiteral("Stopped"));
        EXPECT_FALSE(form.Combo_Range.visible || form.Button_Stop.enabled);
        EXPECT_TRUE(form.Menu_File.enabled && form.Menu_Utilities.enabled &&
                    form.Menu_About.enabled && form.Combo_Mode.enabled &&
                    form.Button_Refresh.enabled && form.Button_Run.enabled);
        EXPECT_EQ(form.state.StopRequested, kTrue);
        EXPECT_EQ(form.Label_ReadOut.caption, QStringLiteral("-------"));
        EXPECT_EQ(form.Button_Apply.enabled, applyPending);
        EXPECT_EQ(form.Menu_Apply.enabled, applyPending);
    }
}

} // namespace
} // namespace lumodm
