#include "platform/qt_core_platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

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

void postToApplication(std::function<void()> f)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
}

TEST(QtCorePlatform, SettingsRoundTripThroughAnIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("LumoDM.ini");
    {
        CorePlatform platform(file);
        platform.writeSetting("LumoDM", "Settings", "Display Color", "2");
        platform.writeSetting("LumoDM", "Settings", "Refresh Rate", "0.5");
    }
    CorePlatform platform(file);
    EXPECT_EQ(platform.readSetting("LumoDM", "Settings", "Display Color", "0"), "2");
    EXPECT_EQ(platform.readSetting("LumoDM", "Settings", "Refresh Rate", "1"), "0.5");
    EXPECT_EQ(platform.readSetting("LumoDM", "Settings", "Confirm Function Change", "-1"), "-1");
    EXPECT_EQ(platform.readSetting("LumoDM", "Other", "Display Color", "x"), "x");

    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[Settings]"));
}

TEST(QtCorePlatform, PendingEventEndsTheBlockingPassBeforeTheDeadline)
{
    CorePlatform platform;
    bool ran = false;
    postToApplication([&] { ran = true; });
    const double start = platform.now();
    platform.processEvents(start + 30.0);
    EXPECT_TRUE(ran);
    EXPECT_LT(platform.now() - start, 30.0);
}

TEST(QtCorePlatform, PastDeadlineProcessesWhatIsPendingAndReturns)
{
    CorePlatform platform;
    bool ran = false;
    postToApplication([&] { ran = true; });
    const double start = platform.now();
    platform.processEvents(start - 1.0);
    EXPECT_TRUE(ran);
    platform.processEvents(platform.now()); // nothing pending: returns too
    EXPECT_GE(platform.now(), start);
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
