#include "log/log_reader.h"
#include "log/log_timestamp.h"
#include "log/reading_row.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumodm {
namespace {

const QByteArray kOldHeader = "time,model,function,range,value,unit,readout,raw\r\n";
const QByteArray kTime = "2026-12-06T21:07:05.042+01:00";

struct Read
{
    bool opened;
    std::vector<Reading> readings;
    std::int64_t skipped;
    QString error;
};

Read readLog(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    LogReader reader;
    Read r{reader.open(path), {}, 0, {}};
    while (r.opened && reader.read(r.readings, 1000)) {
    }
    r.skipped = reader.skippedRows();
    r.error = reader.errorText();
    return r;
}

// What the log writes reads back as the reading it was written from.
TEST(LogReader, ReadsBackWhatTheLogWrites)
{
    const std::pair<const char*, const char*> answers[] = {
        {"+1.49998E0", "DCV"}, {"+0.0123456E0", "DCV"},
        {"+1234.5E0", "OHMS"}, {"+9.9E+37", "DCV"},
        {"", "ACV"},           {"=SUM(A1)\r\n\"x\"", "DCV"},
        {"+0.5123E0", "DIODE"}};
    QByteArray log = readingCsvHeader();
    std::vector<Reading> written;
    for (const auto& [answer, function] : answers) {
        written.push_back(interpretReading(answer, function, MeterModel::DM5120, 0));
        written.back().time = *parseIsoTimestamp(kTime.constData());
        written.back().meterModel = QStringLiteral("DM5120");
        written.back().meterAddress = 16;
        log += readingCsvRow(kTime, written.back());
    }
    QTemporaryDir dir;
    const Read r = readLog(dir, log);
    ASSERT_EQ(r.readings.size(), written.size()) << r.error.toStdString();
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Reading& a = r.readings[i];
        const Reading& b = written[i];
        EXPECT_EQ(a.kind, b.kind) << i;
        EXPECT_DOUBLE_EQ(a.valueInBase, b.valueInBase) << i;
        EXPECT_EQ(a.baseUnit + a.unit + a.readoutText + a.rawAnswer + a.meterModel,
                  b.baseUnit + b.unit + b.readoutText + b.rawAnswer + b.meterModel);
        EXPECT_EQ(a.digitFormat, b.digitFormat) << i;
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(a.meterAddress, 16);
    }
}

TEST(LogReader, SkipsAndCountsWhatItCannotRead)
{
    const QByteArray row = kTime + ",DM5010,DCV,0,12.5,mV,\" 12.50\",+0.0125E0\r\n";
    const QByteArray longRow =
        kTime + ",DM5010,DCV,0,1,V,\" 1.0\",\"" + QByteArray(LogReader::kLongestRow, 'x') + "\r\n";
    const struct
    {
        QByteArray log;
        int readings;
        int skipped;
    } cases[] = {
        {kOldHeader + row + row + row.left(40), 2, 1}, // cut by a crash
        {"value,time\n12.5," + kTime + "\n\n", 1, 0},  // another order, LF only
        {kOldHeader + "2026-02-30T00:00:00.000Z,a,DCV,0,1,V,,\r\n" + row, 1, 1},
        {kOldHeader + kTime + ",a,DCV,0,1.5x,V,,\r\n" + kTime + ",a,DCV,0,1\r\n", 0, 2},
        {kOldHeader + longRow + row, 1, 1},
        {kOldHeader + QByteArray(30000, 'y').replace("y", row), 30000, 0}, // across blocks
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const Read r = readLog(dir, c.log);
        EXPECT_EQ(r.readings.size(), std::size_t(c.readings)) << c.log.left(80).toStdString();
        EXPECT_EQ(r.skipped, c.skipped) << c.log.left(80).toStdString();
    }
    const Read r = readLog(dir, kOldHeader + row);
    EXPECT_DOUBLE_EQ(r.readings.at(0).valueInBase, 0.0125);
    EXPECT_EQ(r.readings.at(0).meterAddress, 0);
}

TEST(LogReader, RefusesWhatIsNoLog)
{
    QTemporaryDir dir;
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "is empty"},
        {"when,reading\r\n", "names no time and no value"},
        {"time,value", "has no header row"}};
    for (const auto& [bytes, reason] : cases) {
        const Read r = readLog(dir, bytes);
        EXPECT_FALSE(r.opened);
        EXPECT_TRUE(r.error.contains(QLatin1String(reason))) << r.error.toStdString();
    }
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    LogReader reader;
    EXPECT_FALSE(reader.open(fifo));
    EXPECT_TRUE(reader.errorText().contains(QLatin1String("not a regular file")));
}

} // namespace
} // namespace lumodm
