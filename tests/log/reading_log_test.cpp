#include "log/reading_log.h"
#include "tests/log/csv_reader.h"
#include "tests/log/file_size_cap.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace lumodm {
namespace {

const QByteArray kHeader("time,model,function,range,value,unit,readout,raw\r\n");

Reading voltReading(double volts)
{
    Reading r;
    r.kind = Reading::Kind::Value;
    r.functionCode = QStringLiteral("DCV");
    r.rangeSetting = 2;
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
        log->setTimestampFormat([](auto) { return QByteArray("T"); });
        return log;
    }

    QTemporaryDir dir;
    testing::ScriptedPlatform platform;
};

TEST_F(ReadingLogTest, HeaderOnlyOnceThenOneRowPerReading)
{
    const QString file = path("new.csv");
    auto log = openLog(file);
    ASSERT_TRUE(log->isLogging());
    EXPECT_EQ(contents(file), kHeader); // written at once, before any reading
    log->readingTaken(voltReading(1.5));
    log->readingTaken(voltReading(-2));
    EXPECT_EQ(contents(file), kHeader + "T,DM5010,DCV,2,1.5,V,\" 1.5000\",1.5E+0\r\n" +
                                  "T,DM5010,DCV,2,-2,V,\" 1.5000\",1.5E+0\r\n");

    const QString empty = path("empty.csv");
    write(empty, QByteArray());
    openLog(empty);
    EXPECT_EQ(contents(empty), kHeader);

    const QByteArray before = kHeader + "old,DM5010,DCV,1,1,V,1,1\r\n";
    write(file, before);
    openLog(file)->readingTaken(voltReading(1));
    const QByteArray after = contents(file);
    EXPECT_TRUE(after.startsWith(before));
    EXPECT_EQ(after.count("time,model"), 1);
    EXPECT_EQ(testing::readCsv(after).rows.size(), 3);
    EXPECT_TRUE(platform.messages().empty());
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
    for (const QByteArray& cut : cuts) {
        SCOPED_TRACE(cut.constData());
        const QString file = path("cut.csv");
        write(file, kHeader + "T,DM5010,DCV,2,1,V,1,1\r\n" + cut);
        openLog(file)->readingTaken(voltReading(3));
        const testing::CsvTable table = testing::readCsv(contents(file));
        EXPECT_TRUE(table.wellFormed);
        EXPECT_TRUE(table.lastRowComplete);
        ASSERT_EQ(table.rows.size(), 4);
        EXPECT_EQ(table.rows[1].size(), 8);
        EXPECT_EQ(table.rows[3],
                  QStringList({"T", "DM5010", "DCV", "2", "3", "V", " 1.5000", "1.5E+0"}));
    }
    // Only the end is read: a stray quote far back changes nothing ...
    const QString file = path("long.csv");
    const QByteArray longLog = kHeader + "x\"\r\n" + QByteArray(kRepairTailBytes, 'y') + "\r\n";
    write(file, longLog);
    openLog(file);
    EXPECT_EQ(contents(file), longLog);
    // ... and a quote that follows field text closes a field, so the end
    // read starts inside one.
    EXPECT_EQ(cutRowRepair("a\",x\r\nT,1", false), QByteArray("\r\n"));
    EXPECT_EQ(cutRowRepair("a\",x\r\nT,\" 1.5", false), QByteArray("\"\r\n"));
}

TEST_F(ReadingLogTest, FileThatCannotBeWrittenIsToldOnceAndLoggingStops)
{
    const QString readonly = path("readonly.csv");
    write(readonly, QByteArray());
    QFile::setPermissions(readonly, QFile::ReadOwner);
    const bool root = ::geteuid() == 0; // root opens anything, but not a directory
    const QString fifo = path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString full = path("full.csv");
    const char* notRegular = "Not a regular file";
    const struct
    {
        QString file;
        QString reason;
        long long cap; // the room on the disk, 0: no limit
    } cases[] = {
        {path("missing-folder/log.csv"), std::strerror(ENOENT), 0},
        {root ? dir.path() : readonly, std::strerror(root ? EISDIR : EACCES), 0},
        // These would take every row, then block for good.
        {fifo, notRegular, 0},
        {QStringLiteral("/dev/full"), notRegular, 0},
        {full, std::strerror(EFBIG), kHeader.size() + 10}, // full in the middle of a row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        platform.clearMessages();
        std::optional<testing::FileSizeCap> cap;
        if (c.cap > 0) {
            cap.emplace(c.cap);
        }
        auto log = openLog(c.file);
        log->readingTaken(voltReading(1));
        log->readingTaken(voltReading(2));
        EXPECT_FALSE(log->isLogging());
        ASSERT_EQ(platform.messages().size(), 1U);
        const auto& box = platform.messages().front();
        EXPECT_EQ(box.title, QStringLiteral("Log Error"));
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(box.text.contains(c.file));
        EXPECT_TRUE(box.text.contains(c.reason)) << box.text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("missing-folder/log.csv")));
    EXPECT_EQ(contents(full), kHeader); // no part of a row left behind
}

} // namespace
} // namespace lumodm
