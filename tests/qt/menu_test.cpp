#include "tests/qt/window_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// One line per entry: depth, caption, and the state flags that show.
QStringList describe(const QList<QAction*>& actions, int depth = 0)
{
    QStringList lines;
    for (const QAction* action : actions) {
        QString line = QString(depth * 2, QLatin1Char(' '));
        line += action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->isEnabled()) {
            line += QStringLiteral(" [disabled]");
        }
        if (action->isChecked()) {
            line += QStringLiteral(" [checked]");
        }
        if (!action->shortcut().isEmpty()) {
            line += QStringLiteral(" [shortcut]");
        }
        lines.append(line);
        if (action->menu() != nullptr) {
            lines += describe(action->menu()->actions(), depth + 1);
        }
    }
    return lines;
}

TEST(WindowMenus, TreeCaptionsAndDesignStates)
{
    // Built from the design model itself, before activation set any mark.
    PanelFixture panel;
    panel.panel.Form_Load();
    MainWindow window(panel.panel);
    const QStringList expected = {
        QStringLiteral("&File"),
        QStringLiteral("  E&xit"),
        QStringLiteral("&Utilities"),
        QStringLiteral("  &Apply (Send settings to DM) [disabled]"),
        QStringLiteral("  &Refresh (Input settimgs from DM)"),
        QStringLiteral("  -"),
        QStringLiteral("  &Display Color"),
        QStringLiteral("    &System"),
        QStringLiteral("    Black &on White"),
        QStringLiteral("    &White on Black"),
        QStringLiteral("    &Red"),
        QStringLiteral("    &Green"),
        QStringLiteral("    &Blue"),
        QStringLiteral("  &Update Rate"),
        QStringLiteral("    &0.5 sec"),
        QStringLiteral("    &1 sec"),
        QStringLiteral("    &2 sec"),
        QStringLiteral("    &5 sec"),
        QStringLiteral("    &10 sec"),
        QStringLiteral("  &Confirm Function Change"),
        QStringLiteral("  -"),
        QStringLiteral("  Initialize DM5010"),
        QStringLiteral("&About"),
    };
    EXPECT_EQ(describe(window.menuBar()->actions()).join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
    // About acts from the bar itself.
    QAction* about = window.findChild<QAction*>(QStringLiteral("Menu_About"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->menu(), nullptr);
}

TEST(WindowMenus, ActivationMarksShowAndChoicesReachTheHandlers)
{
    WindowFixture f;
    // Defaults applied at activation: System colours, 1 s, confirm on.
    EXPECT_TRUE(f.action("Menu_System")->isChecked());
    EXPECT_TRUE(f.action("Menu_RR_OneSec")->isChecked());
    EXPECT_TRUE(f.action("Menu_ConfirmFunctionChange")->isChecked());
    EXPECT_FALSE(f.action("Menu_Red")->isCheckable()); // no empty box beside it

    f.action("Menu_Red")->trigger();
    EXPECT_EQ(f.panel->state().ColorScheme, 3);
    EXPECT_TRUE(f.action("Menu_Red")->isChecked());
    EXPECT_FALSE(f.action("Menu_System")->isChecked());
    EXPECT_EQ(f.label("Label_ReadOut")->palette().color(QPalette::Window), QColor(0xFF8080));
    EXPECT_EQ(f.label("Label_ReadOut")->palette().color(QPalette::WindowText), QColor(0xC00000));

    // Choosing the checked item again leaves it checked (Qt would untick it).
    f.action("Menu_Red")->trigger();
    EXPECT_TRUE(f.action("Menu_Red")->isChecked());

    f.action("Menu_RR_FiveSec")->trigger();
    EXPECT_EQ(f.label("Label_RefreshRate")->text(), QStringLiteral("5 sec"));
}

TEST(WindowMenus, AboutShowsItsBoxAndChangesNothing)
{
    WindowFixture f;
    f.panel->platform.clearMessages();
    f.action("Menu_About")->trigger();
    ASSERT_EQ(f.panel->platform.messages().size(), 1U);
    const ShownMessage& box = f.panel->platform.messages().front();
    EXPECT_EQ(box.title, QStringLiteral("About"));
    EXPECT_EQ(box.text, FrontPanel::aboutText());
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::None);
    EXPECT_EQ(f.panel->state().SettingsChanged, kFalse);
}

} // namespace
} // namespace lumodm::testing
