#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

const QString kColor = QStringLiteral("Display Color");
const QString kRate = QStringLiteral("Refresh Rate");
const QString kConfirm = QStringLiteral("Confirm Function Change");

int checkedColorItems(const Form1& form)
{
    int checked = 0;
    for (const MenuItem* item : {&form.Menu_System, &form.Menu_BW, &form.Menu_RevBW, &form.Menu_Red,
                                 &form.Menu_Green, &form.Menu_Blue}) {
        checked += item->checked ? 1 : 0;
    }
    return checked;
}

TEST(Activation, WithoutStoredSettingsTheDefaultsApplyAndNothingIsWritten)
{
    PanelFixture f;
    f.start();

    EXPECT_TRUE(f.form.Menu_System.checked);
    EXPECT_EQ(checkedColorItems(f.form), 1);
    EXPECT_EQ(f.state().RefreshInterval, 1.0F);
    EXPECT_TRUE(f.form.Menu_RR_OneSec.checked);
    EXPECT_EQ(f.form.Label_RefreshRate.caption, QStringLiteral("1 sec"));
    EXPECT_TRUE(f.form.Menu_ConfirmFunctionChange.checked);
    EXPECT_EQ(f.state().SettingsChanged, kFalse);
    // The meter's present function, shown without a pending change.
    EXPECT_EQ(f.state().FunctionCode, QStringLiteral("DCV"));
    EXPECT_EQ(f.form.Label_Func.caption, QStringLiteral("Voltage DC"));
    EXPECT_FALSE(f.form.Button_Apply.enabled || f.form.Menu_Apply.enabled);
    EXPECT_TRUE(f.form.Button_Run.enabled);
    EXPECT_TRUE(f.platform.messages().empty());

    // A second activation sets nothing up again.
    f.clearReceived();
    f.panel.Form_Activate();
    EXPECT_EQ(f.form.Combo_Mode.listCount(), 7);
    EXPECT_TRUE(f.received().isEmpty());

    try {
        f.panel.Form_Unload();
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.exitStatus, 0);
    }
    EXPECT_TRUE(f.platform.ended());
    EXPECT_TRUE(f.platform.settingWrites.empty());
}

TEST(Activation, StoredSettingsAreReadQuietly)
{
    PanelFixture f(QStringLiteral("DM5120@14"));
    f.storeSetting(kColor, QStringLiteral("3"));
    f.storeSetting(kRate, QStringLiteral(".5"));
    f.storeSetting(kConfirm, QStringLiteral("true")); // only "True" counts
    f.start();

    EXPECT_TRUE(f.form.Menu_Red.checked);
    EXPECT_EQ(checkedColorItems(f.form), 1);
    EXPECT_EQ(f.form.Label_ReadOut.background, Color::fromRgb(0xFF8080));
    EXPECT_EQ(f.state().RefreshInterval, 0.5F);
    EXPECT_TRUE(f.form.Menu_RR_HalfSec.checked);
    EXPECT_FALSE(f.form.Menu_RR_OneSec.checked);
    EXPECT_EQ(f.state().ConfirmFunctionChange, kFalse);
    EXPECT_FALSE(f.form.Menu_ConfirmFunctionChange.checked);
    EXPECT_EQ(f.state().SettingsChanged, kFalse);
    EXPECT_TRUE(f.platform.messages().empty());
}

TEST(Shutdown, AnyChangeWritesAllThreeSettingsInOrder)
{
    const struct
    {
        void (FrontPanel::*change)();
        const char* color;
        const char* rate;
        const char* confirm;
    } cases[] = {
        {&FrontPanel::Menu_System_Click, "0", ".5", "True"}, // the scheme already checked
        {&FrontPanel::Menu_RR_TwoSec_Click, "0", "2", "True"},
        {&FrontPanel::Menu_ConfirmFunctionChange_Click, "0", ".5", "False"},
    };
    for (const auto& c : cases) {
        PanelFixture f;
        f.storeSetting(kRate, QStringLiteral(".5"));
        f.start();
        (f.panel.*c.change)();
        EXPECT_THROW(f.panel.Menu_Exit_Click(), ProgramEnded);

        EXPECT_EQ(f.platform.settingWrites, (std::vector<QString>{kColor, kRate, kConfirm}));
        EXPECT_EQ(f.storedSetting(kColor), QString::fromLatin1(c.color));
        EXPECT_EQ(f.storedSetting(kRate), QString::fromLatin1(c.rate));
        EXPECT_EQ(f.storedSetting(kConfirm), QString::fromLatin1(c.confirm));
    }
}

TEST(Shutdown, AnOutOfRangeSchemeAndRateAreWrittenBackUnchanged)
{
    PanelFixture f;
    f.storeSetting(kColor, QStringLiteral("9"));
    f.storeSetting(kRate, QStringLiteral("0.25"));
    f.start();
    f.panel.Menu_ConfirmFunctionChange_Click();
    f.panel.Menu_ConfirmFunctionChange_Click(); // back as it was, still a change
    EXPECT_THROW(f.panel.Form_Unload(), ProgramEnded);
    EXPECT_EQ(f.storedSetting(kColor), QStringLiteral("9"));
    EXPECT_EQ(f.storedSetting(kRate), QStringLiteral(".25"));
    EXPECT_EQ(f.storedSetting(kConfirm), QStringLiteral("True"));
}

TEST(Shutdown, ClosingDuringARunEndsItWithoutAnotherReading)
{
    PanelFixture f;
    f.start();
    f.panel.Menu_Green_Click();
    f.clearReceived();
    f.clickAt(f.platform.now() + 0.8, &FrontPanel::Form_Unload);
    int exitStatus = -1;
    try {
        f.panel.Button_Run_Click();
    } catch (const ProgramEnded& end) {
        exitStatus = end.exitStatus;
    }
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(f.storedSetting(kColor), QStringLiteral("4"));
    // The close came during the wait after the first reading.
    EXPECT_EQ(f.received().count("SEND"), 1);
}

} // namespace
} // namespace lumodm::testing
