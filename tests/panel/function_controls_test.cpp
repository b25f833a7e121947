#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

class FunctionControls : public ::testing::Test
{
  protected:
    void startOn(const char* spec)
    {
        f = std::make_unique<PanelFixture>(QString::fromLatin1(spec));
        f->start();
        f->clearReceived();
    }

    void pick(const char* code)
    {
        ComboBox& list = f->form.Combo_Mode;
        list.userSelect(static_cast<int>(list.items().indexOf(code)));
    }

    std::unique_ptr<PanelFixture> f;
};

TEST_F(FunctionControls, ApplyAsksThenSendsAndReadsBackOrCancels)
{
    startOn("DM5010@16");
    pick("OHMS");
    f->form.Combo_Range.visible = true;
    f->panel.Button_Apply_Click();

    ASSERT_EQ(f->platform.messages().size(), 1U);
    const ShownMessage& box = f->platform.messages().front();
    EXPECT_EQ(box.text, QStringLiteral("This will change the function of the DM5010.\nCheck the "
                                       "connections and click OK to confirm the change."));
    EXPECT_EQ(box.title, QStringLiteral("Function Change"));
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(box.icon, MessageIcon::Question);

    EXPECT_EQ(f->received().mid(0, 3), (QList<QByteArray>{"OHMS", "CALC OFF", "FUNCT?"}));
    EXPECT_EQ(f->state().FunctionCode, QStringLiteral("OHMS"));
    EXPECT_EQ(f->form.Label_Func.caption, QStringLiteral("Resistance"));
    EXPECT_EQ(f->form.Label_Prefix.caption, QStringLiteral("Ohm"));
    EXPECT_EQ(f->state().AppliedFunctionIndex, 2);
    EXPECT_FALSE(f->form.Combo_Range.visible);
    EXPECT_FALSE(f->form.Button_Apply.enabled || f->form.Menu_Apply.enabled);
    EXPECT_TRUE(f->form.Button_Run.enabled);

    // Cancelled, the list shows the applied function again and nothing is sent.
    f->clearReceived();
    pick("ACDC");
    f->platform.queueAnswer(MessageAnswer::Cancel);
    f->panel.Button_Apply_Click();
    EXPECT_TRUE(f->received().isEmpty());
    EXPECT_EQ(f->form.Combo_Mode.text(), QStringLiteral("OHMS"));
    EXPECT_FALSE(f->form.Button_Apply.enabled || f->form.Menu_Apply.enabled);
}

// Every code's commands are checked with the function table and through the
// simulator; here the menu's Apply without the question.
TEST_F(FunctionControls, WithoutConfirmationTheMenuAppliesAtOnce)
{
    startOn("DM5120@16");
    f->panel.Menu_ConfirmFunctionChange_Click();
    EXPECT_FALSE(f->form.Menu_ConfirmFunctionChange.checked);
    pick("DB ACA");
    f->panel.Menu_Apply_Click();
    EXPECT_TRUE(f->platform.messages().empty());
    EXPECT_EQ(f->commands(), QList<QByteArray>{"ACADB"});
    // The meter reports the function back under its code.
    EXPECT_EQ(f->state().FunctionCode, QStringLiteral("DB ACA"));
    EXPECT_EQ(f->form.Combo_Mode.text(), QStringLiteral("DB ACA"));
}

TEST_F(FunctionControls, RefreshTakesTheMetersFunction)
{
    startOn("DM5120@16");
    f->helper.GpibWrite(f->state().DeviceHandle, "DCA");
    pick("OHMS"); // a pending change the refresh replaces
    f->panel.Button_Refresh_Click();
    EXPECT_EQ(f->form.Combo_Mode.text(), QStringLiteral("DCA"));
    EXPECT_EQ(f->form.Label_Func.caption, QStringLiteral("Current DC"));
    EXPECT_FALSE(f->form.Button_Apply.enabled);
    EXPECT_TRUE(f->form.Button_Run.enabled);

    // With the range list open, Refresh only closes it.
    f->panel.Label_Range_DblClick();
    f->clearReceived();
    f->panel.Menu_Refresh_Click();
    EXPECT_FALSE(f->form.Combo_Range.visible);
    EXPECT_TRUE(f->commands().isEmpty());
}

TEST_F(FunctionControls, InitializeAsksThenRestoresTheMeterAndReadsItBack)
{
    startOn("DM5110@16");
    f->helper.GpibWrite(f->state().DeviceHandle, "OHMS;RANGE3");
    f->panel.Button_Refresh_Click();
    ASSERT_EQ(f->form.Label_Range.caption, QStringLiteral("Range3"));
    f->clearReceived();

    f->platform.queueAnswer(MessageAnswer::No);
    f->panel.Menu_Init_Click();
    ASSERT_EQ(f->platform.messages().size(), 1U);
    const ShownMessage box = f->platform.messages().front();
    EXPECT_EQ(
        box.text,
        QStringLiteral("This will restore the default settings of the DM5110.\nAre you sure ?"));
    EXPECT_EQ(box.title, QStringLiteral("Initialize"));
    EXPECT_EQ(box.buttons, MessageButtons::YesNo);
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_TRUE(f->received().isEmpty());

    f->panel.Menu_Init_Click();
    EXPECT_EQ(f->commands(), QList<QByteArray>{"INIT"});
    EXPECT_EQ(f->state().FunctionCode, QStringLiteral("DCV"));
    EXPECT_EQ(f->form.Label_Range.caption, QStringLiteral("Auto"));
    // The re-read's own selections are not a pending change.
    EXPECT_FALSE(f->form.Button_Apply.enabled || f->form.Menu_Apply.enabled);
    EXPECT_EQ(f->state().UpdatingControls, kFalse);
    EXPECT_EQ(f->state().SettingsChanged, kFalse);
}

} // namespace
} // namespace lumodm::testing
