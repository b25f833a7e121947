#include "qt/message_box.h"
#include "qt/panel_icon.h"
#include "qt/qt_platform.h"
#include "qt/readings_toggle.h"
#include "qt/window_capture.h"
#include "tests/qt/window_fixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace lumodm {
namespace {

TEST(QtMessageBox, PlainTextButtonsIconsAndAnswers)
{
    const struct
    {
        MessageButtons buttons;
        MessageIcon icon;
        QMessageBox::StandardButtons qtButtons;
        QMessageBox::Icon qtIcon;
        MessageAnswer escape;
    } cases[] = {
        {MessageButtons::OkCancel, MessageIcon::Exclamation, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Warning, MessageAnswer::Cancel},
        {MessageButtons::Ok, MessageIcon::Stop, QMessageBox::Ok, QMessageBox::Critical,
         MessageAnswer::Ok},
        {MessageButtons::YesNo, MessageIcon::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Question, MessageAnswer::No},
        {MessageButtons::Ok, MessageIcon::None, QMessageBox::Ok, QMessageBox::NoIcon,
         MessageAnswer::Ok},
    };
    for (const auto& c : cases) {
        QMessageBox box;
        // Instrument text is shown as plain text.
        const QString text = QStringLiteral("<b>DM5010</b>\n&amp;");
        setUpMessageBox(box, text, QStringLiteral("I/O Error"), c.buttons, c.icon);
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.text(), text);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("I/O Error"));
        EXPECT_EQ(box.standardButtons(), c.qtButtons);
        EXPECT_EQ(box.icon(), c.qtIcon);
        // The first button is the default.
        EXPECT_EQ(box.standardButton(box.defaultButton()),
                  QMessageBox::StandardButton(int(c.qtButtons) & -int(c.qtButtons)));
        // Closed without a choice: the escape answer.
        EXPECT_EQ(answerOf(QMessageBox::NoButton, c.buttons), c.escape);
        EXPECT_EQ(answerOf(box.standardButton(box.escapeButton()), c.buttons), c.escape);
    }
    EXPECT_EQ(answerOf(QMessageBox::Yes, MessageButtons::YesNo), MessageAnswer::Yes);
    // A mark set off by a space stays on its word's line when the box wraps.
    QMessageBox box;
    setUpMessageBox(box, QStringLiteral("on the bus ! Sure ?"), QString(), MessageButtons::Ok,
                    MessageIcon::Stop);
    EXPECT_EQ(box.text(), QStringLiteral("on the bus\u00A0! Sure\u00A0?"));
}

TEST(QtPlatform, MessageBoxIsModalAndSyncsTheWindowFirst)
{
    QtPlatform platform;
    int syncs = 0;
    platform.setBeforeEvents([&syncs] { ++syncs; });
    Qt::WindowModality modality = Qt::NonModal;
    QString shownText;
    // Answer the box from inside its own loop, as a user would: Escape.
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            return;
        }
        modality = box->windowModality();
        shownText = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const MessageAnswer answer =
        platform.messageBox(QStringLiteral("GPIB ERROR # 6"), QStringLiteral("Error"),
                            MessageButtons::OkCancel, MessageIcon::Exclamation);
    EXPECT_EQ(answer, MessageAnswer::Cancel);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_EQ(shownText.toStdString(), "GPIB ERROR # 6");
    EXPECT_EQ(syncs, 1);

    platform.processEvents(platform.now());
    EXPECT_EQ(syncs, 2);
}

// Asked from a panel's own thread, the box opens on the window's thread,
// modal to its owner only, with no loop of its own there: the asking
// thread alone waits for the answer.
TEST(QtPlatform, ABoxAskedFromAnotherThreadOpensOverItsOwner)
{
    QtPlatform platform;
    QWidget owner;
    MessageAnswer answer = MessageAnswer::Ok;
    std::thread asking([&] {
        answer = platform.ask([&owner] { return &owner; }, true, QStringLiteral("16 is silent"),
                              QStringLiteral("Error"), MessageButtons::YesNo, MessageIcon::Stop);
    });
    QMessageBox* box = nullptr;
    for (int pass = 0; pass < 100 && box == nullptr; ++pass) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        box = owner.findChild<QMessageBox*>();
    }
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->text(), QStringLiteral("16 is silent"));
    box->button(QMessageBox::No)->click();
    asking.join();
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST(WindowCapture, RunsOnACopyOfTheStoredSettings)
{
    const QTemporaryDir user;
    const QTemporaryDir scratch;
    const QString file = user.filePath(QStringLiteral("LumoDM.ini"));
    const QString app = QStringLiteral("LumoDM");
    const QString key = QStringLiteral("Display Color");
    QtPlatform stored(file);
    stored.writeSetting(app, QStringLiteral("Settings"), key, QStringLiteral("3"));
    QtPlatform capture(copySettingsFile(file, scratch.path()));
    EXPECT_EQ(capture.readSetting(app, QStringLiteral("Settings"), key, QString()), u"3");
    capture.writeSetting(app, QStringLiteral("Settings"), key, QStringLiteral("5"));
    EXPECT_EQ(stored.readSetting(app, QStringLiteral("Settings"), key, QString()), u"3");
    // A FIFO is never opened: it would block.
    const QString fifo = user.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(QFileInfo::exists(copySettingsFile(fifo, user.path())));
}

TEST(ReadingsToggle, AFileThatIsNoRegularFileIsNeitherReadNorReplaced)
{
    const QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("Readings.ini"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    testing::WindowFixture f;
    ReadingsToggle toggle(*f.window, f.link, f.panel->platform, fifo);
    EXPECT_FALSE(toggle.rememberedOpen());
    toggle.open();
    toggle.remember();
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

// A box told on a panel's thread opens on the window's thread, and only
// the panel's thread waits for the answer.
TEST(QtPlatform, ABoxToldOnAnotherThreadOpensOnTheWindowsThread)
{
    QtPlatform platform;
    std::promise<MessageAnswer> answer;
    std::thread panel([&] {
        answer.set_value(platform.messageBox("Go on?", "From a panel", MessageButtons::OkCancel,
                                             MessageIcon::Question));
    });
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&box] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); },
        60000));
    EXPECT_EQ(box->windowTitle(), "From a panel");
    EXPECT_EQ(box->thread(), QThread::currentThread());
    box->button(QMessageBox::Cancel)->click();
    panel.join();
    EXPECT_EQ(answer.get_future().get(), MessageAnswer::Cancel);
}

TEST(PanelIcon, YellowLettersWithAShadowOnATransparentGround)
{
    const QImage icon = drawPanelIcon(32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    QMap<QRgb, int> count;
    for (int i = 0; i < 32 * 32; ++i) {
        ++count[icon.pixel(i % 32, i / 32)];
    }
    EXPECT_GT(count[qRgb(255, 255, 0)], 40);
    EXPECT_GT(count[qRgb(0, 0, 0)], 20);
    EXPECT_EQ(icon.pixelColor(0, 31).alpha(), 0); // "DM" is right-aligned
    EXPECT_EQ(icon.pixelColor(31, 0).alpha(), 0); // "Lumo" has a short first line
    EXPECT_TRUE(panelIcon().availableSizes().contains(QSize(256, 256)));
}

} // namespace
} // namespace lumodm
