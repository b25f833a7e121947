#include "log/log_reader.h"
#include "log/log_timestamp.h"
#include "log/reading_log.h"
#include "log/reading_row.h"
#include "tests/support/scripted_platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace lumodm;

Reading sampleReading()
{
    Reading r;
    r.kind = Reading::Kind::Value;
    r.functionCode = QStringLiteral("DCA");
    r.rangeSetting = 1;
    r.value = 123.4;
    r.unit = QString(QChar(0xB5)) + QLatin1Char('A');
    r.readoutText = QStringLiteral(" 123.40");
    r.rawAnswer = QStringLiteral("DCA 1.234E-4");
    r.meterModel = QStringLiteral("DM5110");
    r.meterAddress = 16;
    return r;
}

// Processor time the log adds to one reading: the row built and written
// to the operating system (the sync every ten seconds is left to the next
// case). Goal: under 0.1 ms.
void BM_ReadingLogRow(benchmark::State& state)
{
    QTemporaryDir dir;
    testing::ScriptedPlatform platform;
    auto log = openReadingLog(dir.filePath(QStringLiteral("bench.csv")), platform);
    const Reading record = sampleReading();
    for (auto _ : state) {
        log->readingTaken(record);
    }
    if (!log->isLogging()) {
        state.SkipWithError("the log could not be written");
    }
}
BENCHMARK(BM_ReadingLogRow)->Unit(benchmark::kMicrosecond);

// What a sync to the disk after every row would cost instead: the log's
// one write per row, each followed by its sync.
void BM_LogFileRowSyncedEachTime(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("sync.csv")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        state.SkipWithError("the log could not be opened");
        return;
    }
    const QByteArray row = readingCsvRow("2024-03-09T01:07:05.042+01:00", sampleReading());
    bool written = true;
    for (auto _ : state) {
        written = ::write(fd, row.constData(), static_cast<size_t>(row.size())) == row.size() &&
                  ::fdatasync(fd) == 0 && written;
    }
    ::close(fd);
    if (!written) {
        state.SkipWithError("the log could not be written");
    }
}
BENCHMARK(BM_LogFileRowSyncedEachTime)->Unit(benchmark::kMicrosecond)->Iterations(300);

// The row alone, without the file.
void BM_ReadingCsvRow(benchmark::State& state)
{
    const Reading record = sampleReading();
    for (auto _ : state) {
        benchmark::DoNotOptimize(readingCsvRow("2024-03-09T01:07:05.042+01:00", record));
    }
}
BENCHMARK(BM_ReadingCsvRow)->Unit(benchmark::kMicrosecond);

} // namespace

// ---------------------------------------------------------------------------
// lumodm-read --sim --count=1 from start to exit. Goals: within 100 ms
// beyond its query waits (0.1 s each, counted from a --trace run: one
// ibwait per query), peak memory under 20 MB.

namespace {

QString lumodmReadPath()
{
    const QString build = qEnvironmentVariable("LUMODM_BUILD_DIR");
    if (!build.isEmpty()) {
        return build + QStringLiteral("/app/programs/lumodm-read");
    }
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../app/programs/lumodm-read");
}

int queryWaits(const QString& program)
{
    QProcess process;
    process.start(program, {QStringLiteral("--sim"), QStringLiteral("--trace")});
    if (!process.waitForFinished(30000)) {
        return -1;
    }
    return static_cast<int>(process.readAllStandardError().count("ibwait("));
}

void BM_LumodmReadSimOnce(benchmark::State& state)
{
    const QByteArray program = lumodmReadPath().toLocal8Bit();
    const int waits = queryWaits(QString::fromLocal8Bit(program));
    if (waits < 0) {
        state.SkipWithError("lumodm-read did not run");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char sim[] = "--sim";
    char* argv[] = {const_cast<char*>(program.constData()), sim, nullptr};

    double beyondWaits = 0;
    double cpu = 0;
    long peakKb = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start lumodm-read");
            break;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(wall);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("lumodm-read failed");
            break;
        }
        beyondWaits = std::max(beyondWaits, wall - 0.1 * waits);
        cpu = std::max(cpu, usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                                usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6);
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    posix_spawn_file_actions_destroy(&actions);
    // The worst of the runs.
    state.counters["query_waits"] = waits;
    state.counters["beyond_waits_ms"] = beyondWaits * 1000;
    state.counters["cpu_ms"] = cpu * 1000;
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
}
BENCHMARK(BM_LumodmReadSimOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Reading a stored log back (lumodm --open): rows a second, each parsed
// into the reading it was written from, a block of the file at a time.
// Goal: 10,000,000 rows well inside 10 s, leaving the window its share.
void BM_LogReaderRows(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stored.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("the log could not be written");
            return;
        }
        file.write(readingCsvHeader());
        Reading r = interpretReading(QStringLiteral("+1.49998E0"), QStringLiteral("DCV"),
                                     MeterModel::DM5010, 0);
        r.meterModel = QStringLiteral("DM5010");
        r.meterAddress = 16;
        const auto start = std::chrono::system_clock::now();
        for (int i = 0; i < state.range(0); ++i) {
            const QString answer = QStringLiteral("+1.4%1E0").arg(9990 + i % 17);
            Reading row = interpretReading(answer, r.functionCode, MeterModel::DM5010, 0);
            row.meterModel = r.meterModel;
            row.meterAddress = r.meterAddress;
            row.time = start + std::chrono::milliseconds(500) * i;
            file.write(readingCsvRow(isoTimestamp(row.time), row));
        }
    }
    std::vector<Reading> batch;
    std::int64_t rows = 0;
    for (auto _ : state) {
        LogReader reader;
        if (!reader.open(path)) {
            state.SkipWithError("the log could not be read");
            return;
        }
        do {
            batch.clear();
        } while (reader.read(batch, 4096));
        rows += reader.readings();
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_LogReaderRows)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
