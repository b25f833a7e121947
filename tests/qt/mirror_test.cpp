#include "tests/qt/window_fixture.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

TEST(WindowMirror, AnEventPassShowsWhatAHandlerChangedSoFarAsPlainText)
{
    WindowFixture f;
    // A handler in the middle of its work, about to wait for the meter.
    f.form().Button_Stop.enabled = true;
    f.form().Button_Run.enabled = false;
    f.form().Label_RunStop.caption = QStringLiteral("Running");
    f.form().Combo_Range.visible = true;
    f.window->prepareEventPass();
    EXPECT_TRUE(f.button("Button_Stop")->isEnabled());
    EXPECT_FALSE(f.button("Button_Run")->isEnabled());
    EXPECT_EQ(f.label("Label_RunStop")->text(), QStringLiteral("Running"));
    EXPECT_FALSE(f.combo("Combo_Range")->isHidden());

    // Texts are shown as they are.
    f.form().Label_ReadOut.caption = QStringLiteral("<b>1</b>");
    f.form().Label_Prefix.caption = QStringLiteral("\u00B5A");
    f.window->syncFromModel();
    EXPECT_EQ(f.label("Label_ReadOut")->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.label("Label_ReadOut")->text(), QStringLiteral("<b>1</b>"));
    EXPECT_EQ(f.label("Label_Prefix")->text().at(0), QChar(0x00B5));
}

TEST(WindowMirror, ButtonColoursFollowTheDesktopTheme)
{
    WindowFixture f;
    const QPalette original = QApplication::palette();
    QPalette theme = original;
    theme.setColor(QPalette::Button, QColor(0x30, 0x40, 0x50));
    theme.setColor(QPalette::ButtonText, QColor(0xE0, 0xE0, 0xD0));
    QApplication::setPalette(theme);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.label("Label_Func")->palette().color(QPalette::Window), QColor(0x30, 0x40, 0x50));
    EXPECT_EQ(f.label("Label_Func")->palette().color(QPalette::WindowText),
              QColor(0xE0, 0xE0, 0xD0));
    EXPECT_EQ(f.window->clientArea()->palette().color(QPalette::Window), QColor(0x30, 0x40, 0x50));
    QApplication::setPalette(original);
}

TEST(WindowMirror, BlueStaysOnTheRangeListAfterSystem)
{
    WindowFixture f;
    f.action("Menu_Blue")->trigger();
    f.action("Menu_System")->trigger();
    EXPECT_EQ(f.combo("Combo_Range")->palette().color(QPalette::Base), QColor(0x80FFFF));
    EXPECT_EQ(f.combo("Combo_Range")->palette().color(QPalette::Text), QColor(0x0000FF));
    EXPECT_EQ(f.label("Label_ReadOut")->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Button));
    // The function list is never recoloured.
    EXPECT_EQ(f.combo("Combo_Mode")->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
}

} // namespace
} // namespace lumodm::testing
