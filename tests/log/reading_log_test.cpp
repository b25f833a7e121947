#include "log/log_timestamp.h"
#include "log/reading_log.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace lumodm {
namespace {

const QByteArray kOldHeader("time,model,function,range,value,unit,readout,raw\r\n");
const QByteArray kHeader("time,model,function,range,value,unit,readout,raw,address\r\n");
// The readings carry no time of their own: the epoch, in local time.
const QByteArray kOldRow = isoTimestamp(std::chrono::system_clock::time_point()) +
                           ",DM5010,DCV,2,1.5,V,\" 1.5000\",1.5E+0\r\n";
const QByteArray kRow = kOldRow.chopped(2) + ",16\r\n";

// A full disk while it lasts: a write beyond `bytes` into any file comes
// up short, then fails (EFBIG) instead of ending the process.
struct FileSizeCap
{
    explicit FileSizeCap(long long bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap = saved;
        cap.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap() { ::setrlimit(RLIMIT_FSIZE, &saved); }
    rlimit saved{};
};

class ReadingLogTest : public ::testing::Test
{
  protected:
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
    // Opens the log and gives it two readings of 1.5 V.
    std::unique_ptr<ReadingLog> logTwoReadings(const QString& file, QByteArray* opened = nullptr,
                                               int meters = 1)
    {
        auto log = openReadingLog(file, platform, meters);
        if (opened) {
            *opened = contents(file);
        }
        Reading r = interpretReading(QStringLiteral("1.5E+0"), QStringLiteral("DCV"),
                                     MeterModel::DM5010, 2);
        r.meterModel = QStringLiteral("DM5010");
        r.meterAddress = 16;
        log->readingTaken(r);
        log->readingTaken(r);
        return log;
    }

    QTemporaryDir dir;
    testing::ScriptedPlatform platform;
};

TEST_F(ReadingLogTest, HeaderOnlyOnceThenOneRowPerReading)
{
    const struct
    {
        const char* before; // the file before the log opens it; null: none
        const char* added;  // what opening adds before the first row
    } cases[] = {
        {nullptr, kHeader},
        {"", kHeader},
        {"h\r\nold\r\n", ""},
        {"h\r\nT,DM5010,DCV,2,1.5,V,\" 1.50", "\"\r\n"}, // a row a crash cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before ? c.before : "(none)");
        const QString file = dir.filePath(c.before ? "old.csv" : "new.csv");
        if (c.before) {
            write(file, c.before);
        }
        QByteArray opened; // written at once, before any reading
        EXPECT_TRUE(logTwoReadings(file, &opened)->isLogging());
        EXPECT_EQ(opened, QByteArray(c.before) + c.added);
        EXPECT_EQ(contents(file), opened + kRow + kRow);
    }
    EXPECT_TRUE(platform.messages().empty());
    // A log from before the address column keeps its columns for one
    // meter, and refuses several, which it could not tell apart.
    const QString old = dir.filePath("eight.csv");
    write(old, kOldHeader);
    logTwoReadings(old);
    EXPECT_EQ(contents(old), kOldHeader + kOldRow + kOldRow);
    EXPECT_FALSE(logTwoReadings(old, nullptr, 2)->isLogging());
    ASSERT_EQ(platform.messages().size(), 1U);
    EXPECT_TRUE(platform.messages()[0].text.contains("no address column"));
    EXPECT_EQ(contents(old), kOldHeader + kOldRow + kOldRow);
    // Only the end is read: a stray quote far back changes nothing.
    const QString file = dir.filePath("long.csv");
    const QByteArray longLog = kHeader + "x\"\r\n" + QByteArray(kRepairTailBytes, 'y') + "\r\n";
    write(file, longLog);
    logTwoReadings(file);
    EXPECT_EQ(contents(file), longLog + kRow + kRow);
}

// Named by time, each row goes to the file its own time names, with a
// header for each new file, across a switch and back; a bad field is told.
TEST_F(ReadingLogTest, NameWithTimeFieldsStartsTheNextFileWhenItsNameChanges)
{
    using std::chrono::milliseconds;
    const std::chrono::system_clock::time_point t0{std::chrono::seconds(1000000000)}; // :40 s
    const QString pattern = dir.filePath("r-%S%%.csv");
    ReadingLog log(pattern, platform, LogNaming::ByTime);
    ASSERT_TRUE(log.open());
    Reading r =
        interpretReading(QStringLiteral("1.5E+0"), QStringLiteral("DCV"), MeterModel::DM5010, 2);
    r.meterModel = QStringLiteral("DM5010");
    r.meterAddress = 16;
    const QByteArray rowTail = kRow.mid(isoTimestamp({}).size());
    QByteArray expected40 = kHeader, expected41 = kHeader;
    for (const int ms : {0, 999, 1000, 1500, 200}) {
        r.time = t0 + milliseconds(ms);
        log.readingTaken(r);
        (ms >= 1000 ? expected41 : expected40) += isoTimestamp(r.time) + rowTail;
    }
    EXPECT_EQ(log.currentFile(), dir.filePath("r-40%.csv"));
    log.close();
    EXPECT_EQ(contents(dir.filePath("r-40%.csv")), expected40);
    EXPECT_EQ(contents(dir.filePath("r-41%.csv")), expected41);
    EXPECT_TRUE(platform.messages().empty());
    // Read literally, as the readings window's own recordings are.
    ReadingLog literal(dir.filePath("100%q.csv"), platform);
    EXPECT_TRUE(literal.open());
    ReadingLog bad(dir.filePath("r-%q.csv"), platform, LogNaming::ByTime);
    EXPECT_FALSE(bad.open());
    ASSERT_EQ(platform.messages().size(), 1U);
    EXPECT_TRUE(platform.messages()[0].text.startsWith("Cannot name the reading log"));
}

// A crash can cut the last row anywhere; whatever was cut, the rows added
// afterwards must come out as rows of their own.
TEST(CutRowRepair, EndsWhatWasCut)
{
    const struct
    {
        const char* tail;
        bool wholeFile;
        const char* repair;
    } cases[] = {
        {"", true, ""},
        {"h\r\nT,V", true, "\r\n"},           // between fields
        {"h\r\nT,\" 1.50", true, "\"\r\n"},   // inside a quoted field
        {"h\r\nT,\" 1.5000\"", true, "\r\n"}, // right after a closing quote
        {"h\r\nT,\"a\"\"", true, "\"\r\n"},   // inside, after an escaped quote
        {"h\r\nT,x\r", true, "\n"},           // between CR and LF
        {"h\r\nT,x\r\n", true, ""},
        // Only the end was read: a quote after field text closes a field,
        // one before it opens one; a run at the cut tells nothing.
        {"a\",x\r\nT,1", false, "\r\n"},
        {"a\",x\r\nT,\" 1.5", false, "\"\r\n"},
        {"x\r\n\"a\r\nb", false, "\"\r\n"},
        {"\"\"\",x,\"y", false, "\"\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cutRowRepair(c.tail, c.wholeFile), QByteArray(c.repair)) << c.tail;
    }
}

TEST_F(ReadingLogTest, FileThatCannotBeWrittenIsToldOnceAndLoggingStops)
{
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString full = dir.filePath("full.csv");
    const struct
    {
        QString file;
        QString reason;
        long long cap; // the room on the disk, 0: no limit
    } cases[] = {
        {dir.filePath("missing/log.csv"), std::strerror(ENOENT), 0},
        // A FIFO would take every row, then block for good.
        {fifo, "Not a regular file", 0},
        {full, std::strerror(EFBIG), kHeader.size() + 10}, // full in the middle of a row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        platform.clearMessages();
        std::optional<FileSizeCap> cap;
        if (c.cap > 0) {
            cap.emplace(c.cap);
        }
        EXPECT_FALSE(logTwoReadings(c.file)->isLogging());
        ASSERT_EQ(platform.messages().size(), 1U);
        const auto& box = platform.messages().front();
        EXPECT_TRUE(box.title == QStringLiteral("Log Error") && box.buttons == MessageButtons::Ok &&
                    box.icon == MessageIcon::Exclamation);
        EXPECT_EQ(box.text.section(QChar(10), 0, 1),
                  QStringLiteral("Cannot %1 the reading log\n").arg(c.cap ? "write" : "open") +
                      c.file);
        EXPECT_TRUE(box.text.contains(c.reason)) << box.text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/log.csv")));
    EXPECT_EQ(contents(full), kHeader); // no part of a row left behind
}

} // namespace
} // namespace lumodm
