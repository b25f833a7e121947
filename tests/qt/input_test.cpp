#include "tests/qt/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

TEST(WindowInput, RepickingTheSelectedFunctionRunsItsClickHandler)
{
    WindowFixture f;
    QComboBox* mode = f.combo("Combo_Mode");
    ASSERT_EQ(mode->count(), f.form().Combo_Mode.listCount());
    const int selected = f.form().Combo_Mode.listIndex();
    ASSERT_GE(selected, 0);
    ASSERT_EQ(mode->currentIndex(), selected);
    ASSERT_FALSE(f.button("Button_Apply")->isEnabled());

    // The user opens the list and picks the entry already selected.
    f.window->show();
    mode->showPopup();
    QAbstractItemView* list = mode->view();
    const QModelIndex entry = list->model()->index(selected, 0);
    list->setCurrentIndex(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());

    EXPECT_EQ(f.form().Combo_Mode.listIndex(), selected);
    EXPECT_TRUE(f.form().Button_Apply.enabled);
    EXPECT_TRUE(f.button("Button_Apply")->isEnabled());
    EXPECT_TRUE(f.action("Menu_Apply")->isEnabled());
}

TEST(WindowInput, ProgramSelectionsDoNotLookLikeUserPicks)
{
    WindowFixture f;
    // Refresh re-selects the function; only the model's own handler runs,
    // quietly under UpdatingControls, and Apply stays off.
    f.button("Button_Refresh")->click();
    ASSERT_FALSE(f.window->ended());
    EXPECT_FALSE(f.button("Button_Apply")->isEnabled());
    EXPECT_EQ(f.combo("Combo_Mode")->currentIndex(), f.form().Combo_Mode.listIndex());
}

TEST(WindowInput, EnterInTheFunctionListApplies)
{
    WindowFixture f;
    f.panel->platform.clearMessages();
    f.panel->platform.queueAnswer(MessageAnswer::Cancel);
    QTest::keyClick(f.combo("Combo_Mode"), Qt::Key_Return);
    ASSERT_EQ(f.panel->platform.messages().size(), 1U);
    EXPECT_EQ(f.panel->platform.messages().front().title, QStringLiteral("Function Change"));

    // Other keys pass: no second question.
    QTest::keyClick(f.combo("Combo_Mode"), Qt::Key_A);
    EXPECT_EQ(f.panel->platform.messages().size(), 1U);

    // Without the confirmation, Enter sends the function at once.
    f.action("Menu_ConfirmFunctionChange")->trigger();
    f.panel->clearReceived();
    QTest::keyClick(f.combo("Combo_Mode"), Qt::Key_Enter);
    EXPECT_FALSE(f.panel->commands().isEmpty());

    // On the open list Enter picks the entry, then applies it.
    f.window->show();
    f.combo("Combo_Mode")->showPopup();
    QAbstractItemView* list = f.combo("Combo_Mode")->view();
    list->setCurrentIndex(list->model()->index(1, 0));
    f.panel->clearReceived();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.panel->commands().value(0), QByteArray("ACV"));
}

TEST(WindowInput, DoubleClickOnTheRangeOpensTheListAndAPickSendsIt)
{
    WindowFixture f(QStringLiteral("DM5110@16"));
    QComboBox* range = f.combo("Combo_Range");
    ASSERT_TRUE(range->isHidden());
    QTest::mouseDClick(f.label("Label_Range"), Qt::RightButton);
    EXPECT_TRUE(range->isHidden());
    QTest::mouseDClick(f.label("Label_Range"), Qt::LeftButton);
    EXPECT_TRUE(f.form().Combo_Range.visible);
    EXPECT_FALSE(range->isHidden());
    QTest::mouseDClick(f.label("Label_Range"), Qt::LeftButton);
    EXPECT_TRUE(range->isHidden());

    QTest::mouseDClick(f.label("Label_Range"), Qt::LeftButton);
    ASSERT_GT(range->count(), 2);
    f.panel->clearReceived();
    // A typed entry name is no pick.
    range->clearEditText();
    QTest::keyClicks(range, QStringLiteral("range2"));
    QTest::keyClick(range, Qt::Key_Return);
    EXPECT_TRUE(f.panel->commands().isEmpty());
    emit range->activated(2);
    EXPECT_TRUE(f.panel->commands().contains("RANGE2"));
    EXPECT_TRUE(range->isHidden());
    EXPECT_EQ(f.label("Label_Range")->text(), range->itemText(2));
}

TEST(WindowInput, ClosingUnloadsTheFormAndEndsTheProgram)
{
    WindowFixture f;
    f.action("Menu_Green")->trigger();
    f.window->close();
    EXPECT_TRUE(f.window->ended());
    EXPECT_THROW(f.window->rethrowEnd(), ProgramEnded);
    EXPECT_EQ(f.panel->storedSetting(QStringLiteral("Display Color")), QStringLiteral("4"));

    // Nothing runs after the end.
    f.button("Button_Refresh")->click();
    f.panel->clearReceived();
    f.button("Button_Refresh")->click();
    EXPECT_TRUE(f.panel->received().isEmpty());
}

// A window manager that opens windows without the focus.
struct NoActivation : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::WindowActivate;
    }
};

TEST(WindowInput, ShowingTheWindowFocusesRefreshAndActivatesOnceFocusOrNot)
{
    PanelFixture panel;
    panel.panel.Form_Load();
    MainWindow window(panel.panel);
    NoActivation noActivation;
    window.installEventFilter(&noActivation);
    bool done = false;
    QObject::connect(&window, &MainWindow::formActivateDone, [&done] { done = true; });
    window.show();
    // A few passes deliver the queued Form_Activate, with no waiting.
    for (int pass = 0; pass < 10 && !done; ++pass) {
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(done);
    EXPECT_TRUE(window.formActivated());
    EXPECT_EQ(QApplication::focusWidget(), window.findChild<QWidget*>("Button_Refresh"));
    // Activation filled the function list, and the window shows it.
    EXPECT_GT(window.findChild<QComboBox*>("Combo_Mode")->count(), 0);
}

} // namespace
} // namespace lumodm::testing
