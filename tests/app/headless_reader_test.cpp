#include "reader/headless_reader.h"
#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_dm5010.h"
#include "bus/drivers/sim/sim_dm51x0.h"
#include "log/reading_log.h"
#include "tests/log/csv_reader.h"
#include "tests/log/file_size_cap.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace lumodm {
namespace {

using testing::ProgramEnded;
using testing::ScriptedPlatform;

// The simulated bus, with a hook on each message written (to make one
// particular answer go wrong).
class HookedBus : public SimulatedBus
{
  public:
    std::function<void(const QByteArray&)> beforeWrite;
    int ibwrt(int ud, const char* data, long count) override
    {
        if (beforeWrite) {
            beforeWrite(QByteArray(data, static_cast<int>(count)));
        }
        return SimulatedBus::ibwrt(ud, data, count);
    }
};

class HeadlessReaderTest : public ::testing::Test
{
  protected:
    SimulatedMeter* addMeter(const QByteArray& model)
    {
        if (model == "DM5010") {
            return bus->addMeter(std::make_unique<Dm5010Meter>(), 16);
        }
        return bus->addMeter(
            std::make_unique<Dm51x0Meter>(model == "DM5110" ? simDm5110Model() : simDm5120Model()),
            16);
    }
    std::unique_ptr<HeadlessReader> makeReader()
    {
        auto reader = std::make_unique<HeadlessReader>(*bus, platform);
        reader->setOutput([this](const QByteArray& bytes) {
            out += bytes;
            if (onOutput) {
                onOutput();
            }
        });
        reader->setErrorOutput([this](const QString& line) { errors.append(line); });
        reader->setTimestampFormat([](auto) { return QByteArray("T"); });
        return reader;
    }
    int run(const ReaderOptions& options) { return makeReader()->run(options); }
    QStringList titles() const
    {
        QStringList t;
        for (const auto& m : platform.messages()) {
            t.append(m.title);
        }
        return t;
    }

    std::unique_ptr<HookedBus> bus = std::make_unique<HookedBus>();
    ScriptedPlatform platform;
    QByteArray out;
    QStringList errors;
    std::function<void()> onOutput;
};

TEST_F(HeadlessReaderTest, SetsFunctionAndRangeOnEachModelThenReads)
{
    const struct
    {
        const char* model;
        const char* function;
        std::int16_t range;
        double signal;
        const char* line;
    } cases[] = {
        {"DM5010", "OHMS", 3, 1500.0, " 1.500 kOhm\n"},
        {"DM5010", "ACV", 0, 0.0123456, " 12.34 mV\n"},
        {"DM5110", "DCA", 1, 0.0001234,
         " 123.40 \xC2\xB5"
         "A\n"},
        {"DM5120", "DCV", 4, -12.5, "-12.5000 V\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.function);
        bus = std::make_unique<HookedBus>();
        SimulatedMeter* meter = addMeter(c.model);
        ASSERT_TRUE(meter->setSignal(c.function, c.signal));
        out.clear();
        ReaderOptions options;
        options.function = QString::fromLatin1(c.function);
        options.range = c.range;
        EXPECT_EQ(run(options), reader_status::Ok) << errors.join('\n').toStdString();
        EXPECT_EQ(out, QByteArray(c.line));
        EXPECT_EQ(meter->function(), QByteArray(c.function));
        EXPECT_EQ(meter->range(), c.range);
    }
    EXPECT_TRUE(errors.isEmpty());
    // The confirmation was asked and agreed to; nothing else was shown.
    for (const auto& m : platform.messages()) {
        EXPECT_EQ(m.title, QStringLiteral("Function Change"));
    }
    EXPECT_TRUE(platform.settingWrites.empty());
}

TEST_F(HeadlessReaderTest, CsvColumnsAndTheLogFile)
{
    SimulatedMeter* meter = addMeter("DM5110");
    meter->setSignal("DCA", 0.0001234);
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("r.csv"));
    auto log = openReadingLog(logPath, QString(), platform);
    auto reader = makeReader();
    reader->setLog(log.get());
    // Each reading's own time, to the clock's last digit: the log and the
    // output must show the same one.
    const auto exact = [](auto time) {
        return QByteArray::number(time.time_since_epoch().count());
    };
    log->setTimestampFormat(exact);
    reader->setTimestampFormat(exact);
    ReaderOptions options;
    options.function = QStringLiteral("DCA");
    options.range = 1;
    options.csv = true;
    options.count = 2;
    EXPECT_EQ(reader->run(options), reader_status::Ok);
    const testing::CsvTable table = testing::readCsv(out);
    ASSERT_EQ(table.rows.size(), 3);
    EXPECT_EQ(table.rows[0].join(','),
              QStringLiteral("time,model,function,range,value,unit,readout,raw"));
    EXPECT_EQ(table.rows[1].mid(1, 6),
              QStringList({"DM5110", "DCA", "1", "123.4", QString(QChar(0xB5)) + "A", " 123.40"}));
    EXPECT_NE(table.rows[1][0], table.rows[2][0]);
    // The log holds the same rows as the output.
    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), out);
}

TEST_F(HeadlessReaderTest, LogThatCannotBeWrittenEndsTheReadings)
{
    addMeter("DM5010")->setSignal("DCV", 1.0);
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("r.csv"));
    auto log = openReadingLog(logPath, QString(), platform);
    std::optional<testing::FileSizeCap> diskFull;
    onOutput = [&] { diskFull.emplace(QFileInfo(logPath).size()); }; // after the first reading
    auto reader = makeReader();
    reader->setLog(log.get());
    ReaderOptions options;
    options.count = 5;
    options.interval = 0;
    EXPECT_EQ(reader->run(options), reader_status::LogFailed);
    EXPECT_EQ(out.count('\n'), 2);
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Log Error")});
}

TEST_F(HeadlessReaderTest, ReadingsFollowTheIntervalFromStartToStart)
{
    addMeter("DM5120")->setSignal("DCV", 1.0);
    std::vector<double> times;
    onOutput = [&] { times.push_back(platform.now()); };
    ReaderOptions options;
    options.count = 3;
    options.interval = 2.5;
    EXPECT_EQ(run(options), reader_status::Ok);
    ASSERT_EQ(times.size(), 3U);
    EXPECT_NEAR(times[1] - times[0], 2.5, 1e-6);
    EXPECT_NEAR(times[2] - times[1], 2.5, 1e-6);
}

TEST_F(HeadlessReaderTest, NoMeterEndsWithStatusOne)
{
    bus->addListener(5, "OTHER,INSTRUMENT");
    try {
        run(ReaderOptions());
        ADD_FAILURE() << "the program did not end";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitStatus, reader_status::MeterNotFound);
    }
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Error")});
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(HeadlessReaderTest, OptionsTheModelCannotTakeAreBadOptions)
{
    struct Case
    {
        const char* model;
        const char* function;
        std::optional<std::int16_t> range;
        const char* error;
    };
    const Case cases[] = {
        {"DM5010", "DCA", std::nullopt, "the DM5010 has no function DCA"},
        {"DM5110", "VOLTS", std::nullopt, "the DM5110 has no function VOLTS (it has DCV, "},
        {"DM5010", "DCV", 6, "DCV on the DM5010 has ranges 1 to 5 and auto"},
        {"DM5120", "OHMS", 8, "OHMS on the DM5120 has ranges 1 to 7 and auto"},
        {"DM5010", "DIODE", 1, "DIODE on the DM5010 has no ranges to choose"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        bus = std::make_unique<HookedBus>();
        SimulatedMeter* meter = addMeter(c.model);
        errors.clear();
        out.clear();
        ReaderOptions options;
        options.function = QString::fromLatin1(c.function);
        options.range = c.range;
        EXPECT_EQ(run(options), reader_status::BadOptions);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith(QLatin1String(c.error))) << errors[0].toStdString();
        EXPECT_TRUE(out.isEmpty());
        EXPECT_EQ(meter->range(), 0); // no range was sent
    }
}

TEST_F(HeadlessReaderTest, MeterFallingSilentFailsTheReading)
{
    SimulatedMeter* meter = addMeter("DM5010");
    meter->setSignal("DCV", 1.0);
    onOutput = [&] { meter->faults().noAnswer = true; };
    ReaderOptions options;
    options.count = 5;
    options.interval = 0;
    EXPECT_EQ(run(options), reader_status::ReadingFailed);
    // The first reading, then the panel's messages, then the run stops as
    // the panel's does.
    EXPECT_EQ(out.count('\n'), 1);
    ASSERT_FALSE(titles().isEmpty());
    EXPECT_EQ(titles().back(), QStringLiteral("Settings Error"));
    EXPECT_TRUE(titles().contains(QStringLiteral("I/O Error"))) << titles().join('|').toStdString();
}

TEST_F(HeadlessReaderTest, AnswerWithoutNumberIsAFailedReadingButReadingGoesOn)
{
    SimulatedMeter* meter = addMeter("DM5110");
    meter->setSignal("DCV", 1.0);
    int sends = 0;
    bus->beforeWrite = [&](const QByteArray& message) {
        // The second answer to "SEND" has no number; the others are fine.
        const bool spoil = message == "SEND" && ++sends == 2;
        meter->faults().garbage = spoil ? QByteArray("X") : QByteArray();
    };
    ReaderOptions options;
    options.count = 3;
    options.interval = 0;
    options.csv = true;
    EXPECT_EQ(run(options), reader_status::ReadingFailed);
    const testing::CsvTable table = testing::readCsv(out);
    ASSERT_EQ(table.rows.size(), 4);
    EXPECT_EQ(table.rows[2][4], QString()); // no value
    EXPECT_EQ(table.rows[3][4], QStringLiteral("1"));
}

} // namespace
} // namespace lumodm
