#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

const QString kColor = QStringLiteral("Display Color");
const QString kRate = QStringLiteral("Refresh Rate");
const QString kConfirm = QStringLiteral("Confirm Function Change");

std::vector<const MenuItem*> checkedColorItems(const Form1& form)
{
    std::vector<const MenuItem*> checked;
    for (const MenuItem* item : {&form.Menu_System, &form.Menu_BW, &form.Menu_RevBW, &form.Menu_Red,
                                 &form.Menu_Green, &form.Menu_Blue}) {
        if (item->checked) {
            checked.push_back(item);
        }
    }
    return checked;
}

TEST(Activation, WithoutStoredSettingsTheDefaultsApplyAndNothingIsWritten)
{
    PanelFixture f;
    f.start();

    EXPECT_EQ(f.state().ColorScheme, 0);
    EXPECT_EQ(checkedColorItems(f.form), std::vector<const MenuItem*>{&f.form.Menu_System});
    EXPECT_EQ(f.state().RefreshInterval, 1.0F);
    EXPECT_TRUE(f.form.Menu_RR_OneSec.checked);
    EXPECT_EQ(f.form.Label_RefreshRate.caption, QStringLiteral("1 sec"));
    EXPECT_EQ(f.state().ConfirmFunctionChange, kTrue);
    EXPECT_TRUE(f.form.Menu_ConfirmFunctionChange.checked);
    EXPECT_EQ(f.state().SettingsChanged, kFalse);
    EXPECT_EQ(f.state().UpdatingControls, kFalse);

    // The function list and the meter's present function.
    EXPECT_EQ(f.form.Combo_Mode.items(),
              QStringList({"DCV", "ACV", "OHMS", "DIODE", "ACDC", "DBM DCV", "DBM ACV"}));
    EXPECT_EQ(f.state().FunctionCode, QStringLiteral("DCV"));
    EXPECT_EQ(f.form.Combo_Mode.listIndex(), 0);
    EXPECT_EQ(f.form.Label_Func.caption, QStringLiteral("Voltage DC"));
    EXPECT_FALSE(f.form.Button_Apply.enabled);
    EXPECT_FALSE(f.form.Menu_Apply.enabled);
    EXPECT_TRUE(f.form.Button_Run.enabled);
    EXPECT_TRUE(f.platform.messages().empty());

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
    const struct
    {
        const char* color;
        const char* rate;
        const char* confirm;
        std::int16_t scheme;
        float interval;
        bool confirmOn;
        const MenuItem Form1::*checkedRate; // nullptr: none
    } cases[] = {
        {"3", ".5", "True", 3, 0.5F, true, &Form1::Menu_RR_HalfSec},
        {"2.5", "10", "true", 2, 10.0F, false, &Form1::Menu_RR_TenSec},
        {"9", "3", "False", 9, 3.0F, false, nullptr},
        {"-1", "abc", "TRUE", -1, 0.0F, false, nullptr},
        {"70000", "2 sec", "True ", 0, 2.0F, false, &Form1::Menu_RR_TwoSec},
        {"blue", "5", "True", 0, 5.0F, true, &Form1::Menu_RR_FiveSec},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.color);
        PanelFixture f(QStringLiteral("DM5120@14"));
        f.storeSetting(kColor, QString::fromLatin1(c.color));
        f.storeSetting(kRate, QString::fromLatin1(c.rate));
        f.storeSetting(kConfirm, QString::fromLatin1(c.confirm));
        f.start();

        EXPECT_EQ(f.state().ColorScheme, c.scheme);
        EXPECT_EQ(f.state().RefreshInterval, c.interval);
        EXPECT_EQ(f.state().ConfirmFunctionChange, c.confirmOn ? kTrue : kFalse);
        EXPECT_EQ(f.form.Menu_ConfirmFunctionChange.checked, c.confirmOn);
        for (const MenuItem* item :
             {&f.form.Menu_RR_HalfSec, &f.form.Menu_RR_OneSec, &f.form.Menu_RR_TwoSec,
              &f.form.Menu_RR_FiveSec, &f.form.Menu_RR_TenSec}) {
            EXPECT_EQ(item->checked, c.checkedRate != nullptr && item == &(f.form.*c.checkedRate));
        }
        EXPECT_EQ(checkedColorItems(f.form).size(), c.scheme >= 0 && c.scheme <= 5 ? 1U : 0U);
        EXPECT_EQ(f.form.Menu_Red.checked, c.scheme == 3);
        EXPECT_EQ(f.state().SettingsChanged, kFalse);
        EXPECT_TRUE(f.platform.messages().empty());
    }
}

TEST(Activation, RunsItsSetupOnlyOnce)
{
    PanelFixture f;
    f.start();
    f.clearReceived();
    f.panel.Form_Activate();
    EXPECT_EQ(f.form.Combo_Mode.listCount(), 7);
    EXPECT_TRUE(f.received().isEmpty());
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
        {&FrontPanel::Menu_Blue_Click, "5", ".5", "True"},
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
    EXPECT_EQ(f.state().ConfirmFunctionChange, kTrue);
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
    int exitStatus = -1;
    f.clickAt(f.platform.now() + 0.8, &FrontPanel::Form_Unload);
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
