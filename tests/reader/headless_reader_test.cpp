#include "reader/headless_reader.h"
#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_dm5010.h"
#include "bus/drivers/sim/sim_dm51x0.h"
#include "log/reading_log.h"
#include "reader/console_platform.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace lumodm {
namespace {

using testing::ProgramEnded;

// The simulated bus, with a hook on each message written (to make one
// particular answer go wrong) and a record of them.
class HookedBus : public SimulatedBus
{
  public:
    std::function<void(const QByteArray&)> beforeWrite;
    QList<QByteArray> written;
    int ibwrt(int ud, const char* data, long count) override
    {
        written.append(QByteArray(data, static_cast<int>(count)));
        if (beforeWrite) {
            beforeWrite(written.back());
        }
        return SimulatedBus::ibwrt(ud, data, count);
    }
};

class HeadlessReaderTest : public ::testing::Test
{
  protected:
    SimulatedMeter* addMeter(const QByteArray& model, const char* function = "DCV",
                             double signal = 1.0)
    {
        bus = std::make_unique<HookedBus>();
        SimulatedMeter* meter =
            model == "DM5010"
                ? bus->addMeter(std::make_unique<Dm5010Meter>(), 16)
                : bus->addMeter(std::make_unique<Dm51x0Meter>(
                                    model == "DM5110" ? simDm5110Model() : simDm5120Model()),
                                16);
        EXPECT_TRUE(meter->setSignal(function, signal));
        return meter;
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
    int run(const QString& function, std::optional<std::int16_t> range, long long count = 1)
    {
        out.clear();
        errors.clear();
        ReaderOptions options;
        options.function = function;
        options.range = range;
        options.count = count;
        options.interval = 0;
        return makeReader()->run(options);
    }
    QStringList titles() const
    {
        QStringList t;
        for (const auto& m : platform.messages()) {
            t.append(m.title);
        }
        return t;
    }
    QStringList lines() const { return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts); }

    std::unique_ptr<HookedBus> bus;
    testing::ScriptedPlatform platform;
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
        std::optional<std::int16_t> range;
        double signal;
        const char* line;
        int meterRange;
    } cases[] = {
        {"DM5010", "OHMS", 3, 1500.0, " 1.500 kOhm\n", 3},
        {"DM5010", "ACV", 0, 0.0123456, " 12.34 mV\n", 0},
        {"DM5110", "DCA", 1, 0.0001234, " 123.40 \xC2\xB5" "A\n", 1},
        {"DM5120", "DCV", 4, -12.5, "-12.5000 V\n", 4},
        {"DM5010", "DIODE", std::nullopt, 0.5, " 0.5000\n", 0},
        {"DM5120", "", std::nullopt, 1.5, " 1.500000 V\n", 0}, // as the meter stands
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.function);
        SimulatedMeter* meter = addMeter(c.model, *c.function ? c.function : "DCV", c.signal);
        EXPECT_EQ(run(QString::fromLatin1(c.function), c.range), reader_status::Ok)
            << errors.join('\n').toStdString();
        EXPECT_EQ(out, QByteArray(c.line));
        EXPECT_EQ(meter->range(), c.meterRange);
        EXPECT_TRUE(errors.isEmpty());
    }
    // Asked nothing, shown nothing, the panel's settings left alone.
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_TRUE(platform.settingWrites.empty());
    // A range the meter is on already is not sent again.
    addMeter("DM5010");
    EXPECT_EQ(run(QStringLiteral("DCV"), 0), reader_status::Ok);
    EXPECT_FALSE(bus->written.join('|').contains("RANGE")) << bus->written.join('|').constData();
}

TEST_F(HeadlessReaderTest, CsvColumnsAndTheLogFile)
{
    addMeter("DM5110", "DCA", 0.0001234);
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
    options.interval = 0;
    EXPECT_EQ(reader->run(options), reader_status::Ok);
    const QList<QByteArray> rows = out.split('\n');
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QByteArray("time,model,function,range,value,unit,readout,raw\r"));
    EXPECT_TRUE(rows[1].contains(",DM5110,DCA,1,123.4,\xC2\xB5" "A,\" 123.40\",")) << rows[1].constData();
    EXPECT_NE(rows[1].left(rows[1].indexOf(',')), rows[2].left(rows[2].indexOf(',')));
    // The log holds the same rows as the output.
    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), out);
}

TEST_F(HeadlessReaderTest, ReadingsFollowTheIntervalFromStartToStart)
{
    addMeter("DM5120");
    std::vector<double> times;
    onOutput = [&] { times.push_back(platform.now()); };
    ReaderOptions options;
    options.count = 3;
    options.interval = 2.5;
    EXPECT_EQ(makeReader()->run(options), reader_status::Ok);
    ASSERT_EQ(times.size(), 3U);
    EXPECT_DOUBLE_EQ(times[1] - times[0], 2.5);
    EXPECT_DOUBLE_EQ(times[2] - times[1], 2.5);
}

TEST_F(HeadlessReaderTest, NoMeterEndsWithStatusOne)
{
    bus = std::make_unique<HookedBus>();
    bus->addListener(5, "OTHER,INSTRUMENT");
    try {
        run({}, {});
        ADD_FAILURE() << "the program did not end";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitStatus, reader_status::MeterNotFound);
    }
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Error")});
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(HeadlessReaderTest, OptionsTheModelCannotTakeAreBadOptions)
{
    const struct
    {
        const char* model;
        const char* function;
        std::optional<std::int16_t> range;
        const char* error;
    } cases[] = {
        {"DM5010", "DCA", std::nullopt, "the DM5010 has no function DCA"},
        {"DM5110", "VOLTS", std::nullopt, "the DM5110 has no function VOLTS (it has DCV, "},
        {"DM5010", "DCV", 6, "DCV on the DM5010 has ranges 1 to 5 and auto"},
        {"DM5120", "OHMS", 8, "OHMS on the DM5120 has ranges 1 to 7 and auto"},
        {"DM5010", "DIODE", 1, "DIODE on the DM5010 has no ranges to choose"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        SimulatedMeter* meter = addMeter(c.model);
        EXPECT_EQ(run(QString::fromLatin1(c.function), c.range), reader_status::BadOptions);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith(QLatin1String(c.error))) << errors[0].toStdString();
        EXPECT_TRUE(out.isEmpty());
        EXPECT_EQ(meter->range(), 0); // no range was sent
    }
}

TEST_F(HeadlessReaderTest, FailedReadings)
{
    // The meter falls silent after the first reading: the panel's messages,
    // then the run stops as the panel's does.
    SimulatedMeter* meter = addMeter("DM5010");
    onOutput = [&] { meter->faults().noAnswer = true; };
    EXPECT_EQ(run({}, {}, 5), reader_status::ReadingFailed);
    EXPECT_EQ(lines().size(), 1);
    ASSERT_FALSE(titles().isEmpty());
    EXPECT_EQ(titles().back(), QStringLiteral("Settings Error"));
    EXPECT_TRUE(titles().contains(QStringLiteral("I/O Error"))) << titles().join('|').toStdString();

    // An answer without a number fails, but the readings go on.
    meter = addMeter("DM5110");
    onOutput = nullptr;
    int sends = 0;
    bus->beforeWrite = [&](const QByteArray& message) {
        const bool spoil = message == "SEND" && ++sends == 2;
        meter->faults().garbage = spoil ? QByteArray("X") : QByteArray();
    };
    EXPECT_EQ(run({}, {}, 3), reader_status::ReadingFailed);
    ASSERT_EQ(lines().size(), 3);
    EXPECT_EQ(lines()[1], QStringLiteral("------- V"));
    EXPECT_EQ(lines()[2], lines()[0]);

    // The log cannot be written: it has said so; the readings end.
    addMeter("DM5010");
    platform.clearMessages();
    auto log = openReadingLog(QStringLiteral("/nonexistent/r.csv"), QString(), platform);
    auto reader = makeReader();
    reader->setLog(log.get());
    out.clear();
    ReaderOptions options;
    options.count = 5;
    EXPECT_EQ(reader->run(options), reader_status::LogFailed);
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Log Error")});
}

TEST(ConsolePlatform, MessagesAsLinesQuestionsAgreedTo)
{
    ConsolePlatform platform;
    QByteArray err;
    platform.setErrorSink([&](const QByteArray& line) { err += line; });
    EXPECT_EQ(platform.messageBox(QStringLiteral("A mismatch.\n\nSelect Apply\n      or\n<b>x</b>"),
                                  QStringLiteral("GPIB ERROR # 6"), MessageButtons::OkCancel,
                                  MessageIcon::Stop),
              MessageAnswer::Ok);
    EXPECT_EQ(platform.messageBox(QStringLiteral("Sure?"), QStringLiteral("Initialize"),
                                  MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(err, QByteArray("GPIB ERROR # 6: A mismatch.\n  Select Apply\n  or\n  <b>x</b>\n"));
}

} // namespace
} // namespace lumodm
