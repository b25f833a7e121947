#include "platform/qt_core_platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumodm {
namespace {

// The core's part of the platform; the box belongs to a user interface.
class CorePlatform : public QtCorePlatform
{
  public:
    using QtCorePlatform::QtCorePlatform;
    MessageAnswer messageBox(const QString&, const QString&, MessageButtons, MessageIcon) override
    {
        return MessageAnswer::Ok;
    }
};

TEST(QtCorePlatform, SettingsRoundTripThroughAnIniFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("LumoDM.ini");
    CorePlatform(file).writeSetting("LumoDM", "Settings", "Refresh Rate", "0.5");
    CorePlatform platform(file);
    EXPECT_EQ(platform.readSetting("LumoDM", "Settings", "Refresh Rate", "1"), "0.5");
    EXPECT_EQ(platform.readSetting("LumoDM", "Settings", "Display Color", "-1"), "-1");
    EXPECT_EQ(platform.readSetting("LumoDM", "Other", "Refresh Rate", "x"), "x");

    // Values written by hand with a comma read as their text, not as an
    // empty list.
    QFile hand(dir.filePath("hand.ini"));
    ASSERT_TRUE(hand.open(QIODevice::WriteOnly));
    hand.write("[Settings]\nDisplay Color=3, 1\nRefresh Rate=2,5\n");
    hand.close();
    CorePlatform byHand(hand.fileName());
    EXPECT_EQ(byHand.readSetting("LumoDM", "Settings", "Display Color", "0"), "3,1");
    EXPECT_EQ(byHand.readSetting("LumoDM", "Settings", "Refresh Rate", "1"), "2,5");

    // A settings path that is no regular file is neither read (a FIFO would
    // block) nor replaced. The open end keeps an unguarded read from blocking.
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int openEnd = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
    CorePlatform odd(fifo);
    odd.writeSetting("LumoDM", "Settings", "Refresh Rate", "2");
    EXPECT_EQ(odd.readSetting("LumoDM", "Settings", "Refresh Rate", "1"), "1");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    ::close(openEnd);
}

TEST(QtCorePlatform, APendingEventEndsTheWaitEvenPastTheDeadline)
{
    CorePlatform platform;
    for (double deadline : {30.0, -1.0}) {
        bool ran = false;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
        const double start = platform.now();
        platform.processEvents(start + deadline);
        EXPECT_TRUE(ran) << deadline;
        EXPECT_LT(platform.now() - start, 30.0);
    }
}

TEST(QtCorePlatformDeathTest, EndRunsTheShutdownHookAndExitsAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CorePlatform platform;
            platform.setShutdownHook([] { std::fputs("bus closed\n", stderr); });
            platform.endProgram(3);
        },
        ::testing::ExitedWithCode(3), "bus closed");
}

} // namespace
} // namespace lumodm
