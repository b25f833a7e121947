#include "log/log_file.h"
#include "log/reading_log.h"
#include "log/reading_row.h"
#include "tests/support/scripted_platform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace lumodm;

ReadingRecord sampleReading()
{
    ReadingRecord r;
    r.kind = ReadingRecord::Kind::Value;
    r.functionCode = QStringLiteral("DCA");
    r.rangeNumber = 1;
    r.value = 123.4;
    r.unit = QString(QChar(0xB5)) + QLatin1Char('A');
    r.readoutText = QStringLiteral(" 123.40");
    r.rawAnswer = QStringLiteral("DCA 1.234E-4");
    return r;
}

// Processor time the log adds to one reading: the row built and written
// to the operating system (the sync every ten seconds is left to the next
// case). Goal: under 0.1 ms.
void BM_ReadingLogRow(benchmark::State& state)
{
    QTemporaryDir dir;
    testing::ScriptedPlatform platform;
    auto log = openReadingLog(dir.filePath(QStringLiteral("bench.csv")), QStringLiteral("DM5110"),
                              platform);
    const ReadingRecord record = sampleReading();
    for (auto _ : state) {
        log->readingTaken(record);
    }
    if (!log->isLogging()) {
        state.SkipWithError("the log could not be written");
    }
}
BENCHMARK(BM_ReadingLogRow)->Unit(benchmark::kMicrosecond);

// What a sync to the disk after every row would cost instead.
void BM_LogFileRowSyncedEachTime(benchmark::State& state)
{
    QTemporaryDir dir;
    LogFile file;
    file.setSyncPeriod(0);
    if (!file.open(dir.filePath(QStringLiteral("sync.csv")), readingCsvHeader())) {
        state.SkipWithError("the log could not be opened");
        return;
    }
    const QByteArray row =
        readingCsvRow("2024-03-09T01:07:05.042+01:00", QStringLiteral("DM5110"), sampleReading());
    for (auto _ : state) {
        file.append(row);
    }
}
BENCHMARK(BM_LogFileRowSyncedEachTime)->Unit(benchmark::kMicrosecond)->Iterations(300);

// The row alone, without the file.
void BM_ReadingCsvRow(benchmark::State& state)
{
    const ReadingRecord record = sampleReading();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            readingCsvRow("2024-03-09T01:07:05.042+01:00", QStringLiteral("DM5110"), record));
    }
}
BENCHMARK(BM_ReadingCsvRow)->Unit(benchmark::kMicrosecond);

} // namespace
