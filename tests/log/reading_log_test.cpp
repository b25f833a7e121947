#include "log/reading_log.h"
#include "tests/log/csv_reader.h"
#include "tests/support/scripted_platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace lumodm {
namespace {

using testing::ScriptedPlatform;

QString reason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

const QByteArray kHeader("time,model,function,range,value,unit,readout,raw\r\n");

ReadingRecord voltReading(double volts)
{
    ReadingRecord r;
    r.kind = ReadingRecord::Kind::Value;
    r.functionCode = QStringLiteral("DCV");
    r.rangeNumber = 2;
    r.value = volts;
    r.unit = QStringLiteral("V");
    r.readoutText = QStringLiteral(" 1.5000");
    r.rawAnswer = QStringLiteral("1.5E+0");
    return r;
}

class ReadingLogTest : public ::testing::Test
{
  protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void write(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    std::unique_ptr<ReadingLog> openLog(const QString& file)
    {
        auto log = openReadingLog(file, QStringLiteral("DM5010"), platform);
        log->setTimestampSource([] { return QByteArray("T"); });
        return log;
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
};

TEST_F(ReadingLogTest, NewFileGetsTheHeaderThenOneRowPerReading)
{
    const QString file = path("new.csv");
    auto log = openLog(file);
    ASSERT_TRUE(log->isLogging());
    EXPECT_EQ(contents(file), kHeader); // written at once, before any reading
    log->readingTaken(voltReading(1.5));
    log->readingTaken(voltReading(-2));
    EXPECT_EQ(contents(file), kHeader + "T,DM5010,DCV,2,1.5,V,\" 1.5000\",1.5E+0\r\n" +
                                  "T,DM5010,DCV,2,-2,V,\" 1.5000\",1.5E+0\r\n");
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(ReadingLogTest, EmptyFileGetsTheHeaderExistingLogIsAppendedTo)
{
    const QString empty = path("empty.csv");
    write(empty, QByteArray());
    openLog(empty);
    EXPECT_EQ(contents(empty), kHeader);

    const QString existing = path("existing.csv");
    const QByteArray before = kHeader + "old,DM5010,DCV,1,1,V,1,1\r\n";
    write(existing, before);
    auto log = openLog(existing);
    log->readingTaken(voltReading(1));
    const QByteArray after = contents(existing);
    EXPECT_TRUE(after.startsWith(before));
    EXPECT_EQ(after.count("time,model"), 1);
    EXPECT_EQ(testing::readCsv(after).rows.size(), 3);
}

// A crash can cut the last row anywhere; whatever was cut, the rows added
// afterwards must come out as rows of their own.
TEST_F(ReadingLogTest, RowCutShortIsEndedBeforeNewRows)
{
    const QByteArray cuts[] = {
        "T,DM5010,DCV,2,1.5,V",                 // between fields
        "T,DM5010,DCV,2,1.5,V,\" 1.50",         // inside a quoted field
        "T,DM5010,DCV,2,1.5,V,\" 1.5000\"",     // right after a closing quote
        "T,DM5010,DCV,2,1.5,V,\"a\"\"",         // inside, after an escaped quote
        "T,DM5010,DCV,2,1.5,V,\" 1.5000\",x\r", // between CR and LF
    };
    int n = 0;
    for (const QByteArray& cut : cuts) {
        const QString file = path("cut") + QString::number(n++);
        write(file, kHeader + "T,DM5010,DCV,2,1,V,1,1\r\n" + cut);
        auto log = openLog(file);
        log->readingTaken(voltReading(3));
        const testing::CsvTable table = testing::readCsv(contents(file));
        EXPECT_TRUE(table.wellFormed) << cut.constData();
        EXPECT_TRUE(table.lastRowComplete) << cut.constData();
        ASSERT_EQ(table.rows.size(), 4) << cut.constData();
        EXPECT_EQ(table.rows[1].size(), 8);
        EXPECT_EQ(table.rows[3],
                  QStringList({"T", "DM5010", "DCV", "2", "3", "V", " 1.5000", "1.5E+0"}))
            << cut.constData();
    }
}

TEST_F(ReadingLogTest, FileThatCannotBeOpenedIsToldOnceAndLoggingStops)
{
    const QString file = path("missing-folder/log.csv");
    auto log = openLog(file);
    EXPECT_FALSE(log->isLogging());
    log->readingTaken(voltReading(1));
    log->readingTaken(voltReading(2));
    ASSERT_EQ(platform.messages().size(), 1U);
    const auto& box = platform.messages().front();
    EXPECT_EQ(box.title, QStringLiteral("Log Error"));
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(box.text.contains(file));
    EXPECT_TRUE(box.text.contains(reason(ENOENT))) << box.text.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(ReadingLogTest, FullDiskIsToldOnce)
{
    // /dev/full takes the open but fails every write with "no space".
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "no /dev/full";
    }
    auto log = openLog(QStringLiteral("/dev/full"));
    log->readingTaken(voltReading(1));
    log->readingTaken(voltReading(2));
    EXPECT_FALSE(log->isLogging());
    ASSERT_EQ(platform.messages().size(), 1U);
    EXPECT_TRUE(platform.messages().front().text.contains(reason(ENOSPC)));
}

TEST_F(ReadingLogTest, NoPermissionIsTold)
{
    if (::geteuid() == 0) {
        // root opens anything; a directory in place of the file fails for everyone
        auto log = openLog(dir.path());
        EXPECT_FALSE(log->isLogging());
        ASSERT_EQ(platform.messages().size(), 1U);
        EXPECT_TRUE(platform.messages().front().text.contains(reason(EISDIR)));
        return;
    }
    const QString file = path("readonly.csv");
    write(file, QByteArray());
    QFile::setPermissions(file, QFile::ReadOwner);
    auto log = openLog(file);
    EXPECT_FALSE(log->isLogging());
    ASSERT_EQ(platform.messages().size(), 1U);
    EXPECT_TRUE(platform.messages().front().text.contains(reason(EACCES)));
}

} // namespace
} // namespace lumodm
