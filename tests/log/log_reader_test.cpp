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

// The log's readings, how many rows were skipped, and the error (set when
// it could not be opened).
std::tuple<std::vector<Reading>, std::int64_t, QString> readLog(const QByteArray& bytes)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("log.csv")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0 && file.flush());
    LogReader reader;
    std::vector<Reading> readings;
    const bool opened = reader.open(file.fileName());
    while (opened && reader.read(readings, 1000)) {
    }
    return {readings, reader.skippedRows(), opened ? QString() : reader.errorText()};
}

// What the log writes reads back as the reading it was written from.
TEST(LogReader, ReadsBackWhatTheLogWrites)
{
    const std::pair<const char*, const char*> answers[] = {
        {"+1.49998E0", "DCV"}, {"+0.0123456E0", "DCV"},
        {"+1234.5E0", "OHMS"}, {"+9.9E+37", "DCV"},
        {"", "ACV"},           {"=SUM(A1,B1)\r\n\"x\"", "DCV"},
        {"+0.5123E0", "DIODE"}};
    QByteArray log = readingCsvHeader();
    std::vector<Reading> written;
    for (const auto& [answer, function] : answers) {
        Reading& r =
            written.emplace_back(interpretReading(answer, function, MeterModel::DM5120, 0));
        std::tie(r.time, r.meterModel, r.meterAddress) =
            std::tuple(*parseIsoTimestamp(kTime.constData()), "DM5120", 16);
        log += readingCsvRow(kTime, r);
    }
    const auto [read, skipped, error] = readLog(log);
    ASSERT_EQ(read.size(), written.size()) << error.toStdString();
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Reading &a = read[i], &b = written[i];
        EXPECT_TRUE(a.kind == b.kind && a.digitFormat == b.digitFormat && a.time == b.time &&
                    a.meterAddress == 16)
            << i;
        EXPECT_DOUBLE_EQ(a.valueInBase, b.valueInBase) << i;
        EXPECT_EQ(a.baseUnit + a.unit + a.readoutText + a.rawAnswer + a.meterModel,
                  b.baseUnit + b.unit + b.readoutText + b.rawAnswer + b.meterModel);
    }
}

TEST(LogReader, SkipsAndCountsWhatItCannotReadAndRefusesWhatIsNoLog)
{
    const QByteArray row = kTime + ",DM5010,DCV,0,12.5,mV,\" 12.50\",+0.0125E0\r\n";
    const QByteArray longRow =
        kTime + ",DM5010,DCV,0,1,V,\" 1.0\",\"" + QByteArray(LogReader::kLongestRow, 'x') + "\r\n";
    const std::tuple<QByteArray, std::size_t, int, const char*> cases[] = {
        {kOldHeader + row + row + row.left(40), 2, 1, ""}, // cut by a crash
        {"value,time\n12.5," + kTime + "\n\n", 1, 0, ""},  // another order, LF only
        {kOldHeader + "2026-02-30T00:00:00Z,,,,1,,,\n0026-01-01T00:00:00Z,,,,1,,,\n" + row, 1, 2,
         ""},
        {kOldHeader + kTime + ",a,DCV,0,1.5x,V,,\r\n" + kTime + ",a,DCV,0,1\r\n", 0, 2, ""},
        {kOldHeader + longRow + row, 1, 1, ""},
        {kOldHeader + QByteArray(30000, 'y').replace("y", row), 30000, 0, ""}, // across blocks
        {"", 0, 0, "is empty"},
        {"when,reading\r\n", 0, 0, "names no time and no value"},
        {"time,value", 0, 1, "has no header row"}};
    for (const auto& [log, readings, skipped, error] : cases) {
        const auto [read, skippedRows, errorText] = readLog(log);
        EXPECT_EQ(read.size(), readings) << log.left(80).toStdString();
        EXPECT_EQ(skippedRows, skipped) << log.left(80).toStdString();
        EXPECT_TRUE(errorText.contains(QLatin1String(error))) << errorText.toStdString();
        EXPECT_EQ(errorText.isEmpty(), !*error);
    }
    EXPECT_DOUBLE_EQ(std::get<0>(readLog(kOldHeader + row)).at(0).valueInBase, 0.0125);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    LogReader reader;
    EXPECT_FALSE(reader.open(fifo));
    EXPECT_TRUE(reader.errorText().contains(QLatin1String("not a regular file")));
}

} // namespace
} // namespace lumodm
