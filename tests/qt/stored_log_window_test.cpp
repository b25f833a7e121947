#include "qt/readings_window.h"
#include "qt/stored_log_window.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// A stored log goes into a window of its own, every reading into its
// statistics, with a line that says what was read; nothing records it.
TEST(StoredLogWindow, TakesEveryReadingOfTheLogAndSaysWhatItSkipped)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("bench.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("time,value,unit,function\n");
    for (int i = 0; i < 20000; ++i) {
        file.write("2026-12-06T21:07:05.042Z," + QByteArray::number(i % 7) + ",V,DCV\n");
    }
    file.write("2026-12-06T21:07:05.042Z,x,V,DCV\n");
    file.close();
    ScriptedPlatform platform;
    std::optional<StoredLogCount> loaded;
    auto* w = qobject_cast<ReadingsWindow*>(openStoredLog(
        platform, file.fileName(), nullptr, [&](const StoredLogCount& c) { loaded = c; }));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Readings - bench.csv");
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.has_value(); }, 60000));
    EXPECT_EQ(w->model().statistics().readingsSeen(), 20000);
    EXPECT_DOUBLE_EQ(w->model().statistics().values().maximum(), 6.0);
    EXPECT_EQ(w->findChild<QLabel*>("StoredLog")->text(),
              "bench.csv: 20000 readings, 1 row skipped");
    EXPECT_FALSE(w->findChild<QPushButton*>("Button_Record")->isEnabled());
    delete w;
}

} // namespace
} // namespace lumodm::testing
