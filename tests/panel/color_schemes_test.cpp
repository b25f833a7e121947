#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

struct SchemeCase
{
    void (FrontPanel::*click)();
    const MenuItem Form1::*item;
    Color background;
    Color text;
};

const SchemeCase kSchemes[] = {
    {&FrontPanel::Menu_System_Click, &Form1::Menu_System, Color::buttonFace(), Color::buttonText()},
    {&FrontPanel::Menu_BW_Click, &Form1::Menu_BW, Color::fromRgb(0xFFFFFF),
     Color::fromRgb(0x000000)},
    {&FrontPanel::Menu_RevBW_Click, &Form1::Menu_RevBW, Color::fromRgb(0x000000),
     Color::fromRgb(0xFFFFFF)},
    {&FrontPanel::Menu_Red_Click, &Form1::Menu_Red, Color::fromRgb(0xFF8080),
     Color::fromRgb(0xC00000)},
    {&FrontPanel::Menu_Green_Click, &Form1::Menu_Green, Color::fromRgb(0x80FF80),
     Color::fromRgb(0x008000)},
    {&FrontPanel::Menu_Blue_Click, &Form1::Menu_Blue, Color::fromRgb(0x80FFFF),
     Color::fromRgb(0x0000FF)},
};

const MenuItem Form1::*const kItems[] = {&Form1::Menu_System, &Form1::Menu_BW,
                                         &Form1::Menu_RevBW,  &Form1::Menu_Red,
                                         &Form1::Menu_Green,  &Form1::Menu_Blue};

// The labels a scheme colours, text and background.
const Label Form1::*const kTextLabels[] = {&Form1::Label_ReadOut, &Form1::Label_RunStop,
                                           &Form1::Label_Func,    &Form1::Label_RefreshRate,
                                           &Form1::Label_Prefix,  &Form1::Label_Range};

TEST(ColorSchemes, EachItemColoursTheReadoutAreaAndChecksItself)
{
    PanelFixture f;
    f.start();
    for (std::size_t n = 0; n < std::size(kSchemes); ++n) {
        const SchemeCase& c = kSchemes[n];
        SCOPED_TRACE(n);
        (f.panel.*c.click)();
        for (const auto label : kTextLabels) {
            EXPECT_EQ((f.form.*label).background, c.background);
            EXPECT_EQ((f.form.*label).foreground, c.text);
        }
        EXPECT_EQ(f.form.Label_ROBackground.background, c.background);
        EXPECT_EQ(f.form.Label_ROBackground.foreground, Color::buttonText()); // no text
        for (const auto item : kItems) {
            EXPECT_EQ((f.form.*item).checked, item == c.item);
        }
        EXPECT_EQ(f.state().ColorScheme, static_cast<std::int16_t>(n));
        // Only blue recolours the range list; never touched: the function list.
        const bool blue = c.item == &Form1::Menu_Blue;
        EXPECT_EQ(f.form.Combo_Range.background, blue ? c.background : Color::toolkitDefault());
        EXPECT_EQ(f.form.Combo_Range.foreground, blue ? c.text : Color::toolkitDefault());
        EXPECT_EQ(f.form.Combo_Mode.background, Color::toolkitDefault());
        EXPECT_EQ(f.form.Combo_Mode.foreground, Color::toolkitDefault());
    }
    EXPECT_EQ(f.state().SettingsChanged, kTrue);
    // Blue stays on the range list after another scheme.
    f.panel.Menu_System_Click();
    EXPECT_EQ(f.form.Combo_Range.background, Color::fromRgb(0x80FFFF));
}

TEST(ColorSchemes, AnOutOfRangeNumberChecksNothingAndKeepsTheColours)
{
    PanelFixture f;
    f.start();
    f.panel.Menu_Green_Click();
    f.panel.ApplyColorScheme(6);
    for (const auto item : kItems) {
        EXPECT_FALSE((f.form.*item).checked);
    }
    EXPECT_EQ(f.form.Label_ReadOut.background, Color::fromRgb(0x80FF80));
    EXPECT_EQ(f.state().ColorScheme, 6);
}

TEST(About, ShowsTwoPlainLinesAndChangesNothing)
{
    PanelFixture f;
    f.start();
    f.clearReceived();
    f.panel.Menu_About_Click();
    ASSERT_EQ(f.platform.messages().size(), 1U);
    const ShownMessage& box = f.platform.messages().front();
    EXPECT_EQ(box.title, QStringLiteral("About"));
    EXPECT_EQ(box.text, FrontPanel::aboutText());
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::None);
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(box.text.contains(QLatin1Char('\r')));
    // Names the program and its version; points at no invented mailbox.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("LumoDM " LUMODM_VERSION " ")));
    EXPECT_FALSE(box.text.contains(QLatin1Char('@')));
    EXPECT_EQ(f.state().SettingsChanged, kFalse);
    EXPECT_TRUE(f.received().isEmpty());
}

} // namespace
} // namespace lumodm::testing
