#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "log/reading_log.h"
#include "reader/console_platform.h"
#include "reader/headless_reader.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

// The simulated bus, recording each message written, with a hook on it.
struct HookedBus : SimulatedBus
{
    std::function<void(const QByteArray&)> beforeWrite = [](const QByteArray&) {};
    QByteArray written;
    int ibwrt(int ud, const char* data, long count) override
    {
        written += QByteArray(data, static_cast<int>(count)) + '|';
        beforeWrite(QByteArray(data, static_cast<int>(count)));
        return SimulatedBus::ibwrt(ud, data, count);
    }
};

// A reader on one simulated meter at 16, its output and what it showed.
struct ReaderRun
{
    HookedBus bus;
    testing::ScriptedPlatform platform;
    HeadlessReader reader{bus, platform};
    SimulatedMeter* meter;
    QByteArray out;
    QStringList errors;
    std::function<void()> onOutput = [] {};

    explicit ReaderRun(const char* model)
        : meter(bus.addMeter(createSimulatedMeter(QString::fromLatin1(model)), 16))
    {
        reader.setOutput([this](const QByteArray& bytes) { out += bytes, onOutput(); });
        reader.setErrorOutput([this](const QString& line) { errors.append(line); });
    }
    int run(const char* function, std::optional<std::int16_t> range, int count = 1,
            bool csv = false)
    {
        ReaderOptions o;
        o.function = QString::fromLatin1(function);
        o.range = range;
        o.count = count;
        o.interval = csv ? 2.5 : 0;
        o.csv = csv;
        return reader.run(o);
    }
    QStringList titles() const
    {
        QStringList t;
        for (const auto& m : platform.messages()) {
            t.append(m.title);
        }
        return t;
    }
};

TEST(HeadlessReader, EachModelFunctionRangeAndFailure)
{
    enum Fault { Healthy, SilentAfterFirst, NoNumberInSecond, LogCannotOpen };
    // clang-format off
    const struct { const char* model; const char* function; std::optional<std::int16_t> range;
        double signal; Fault fault; int status; const char* out; const char* shown; } cases[] = {
        {"DM5010", "OHMS", 3, 1500.0, Healthy, 0, " 1.500 kOhm\n", ""},
        {"DM5010", "ACV", 0, 0.0123456, Healthy, 0, " 12.34 mV\n", ""},
        {"DM5110", "DCA", 1, 0.0001234, Healthy, 0, " 123.40 µA\n", ""},
        {"DM5120", "DCV", 4, -12.5, Healthy, 0, "-12.5000 V\n", ""},
        {"DM5010", "DIODE", {}, 0.5, Healthy, 0, " 0.5000\n", ""},
        {"DM5120", "", {}, 1.5, Healthy, 0, " 1.500000 V\n", ""}, // as the meter stands
        // Options the model cannot take: nothing is sent, nothing read.
        {"DM5010", "DCA", {}, 1, Healthy, 2, "",
         "the DM5010 has no function DCA (it has DCV, ACV, OHMS, DIODE, ACDC, DBM DCV, DBM ACV)"},
        {"DM5010", "DCV", 6, 1, Healthy, 2, "", "DCV on the DM5010 has ranges 1 to 5 and auto"},
        {"DM5120", "OHMS", 8, 1, Healthy, 2, "", "OHMS on the DM5120 has ranges 1 to 7 and auto"},
        {"DM5010", "DIODE", 1, 1, Healthy, 2, "", "DIODE on the DM5010 has no ranges to choose"},
        // A silent meter stops the run as it stops the panel's.
        {"DM5010", "", {}, 1, SilentAfterFirst, 3, " 1.0000 V\n", "I/O Error|Settings Error"},
        // An answer without a number fails, but the readings go on.
        {"DM5110", "", {}, 1, NoNumberInSecond, 3, " 1.0000 V\n------- V\n 1.0000 V\n", ""},
        // A log that cannot be written has said so; the readings end.
        {"DM5010", "", {}, 1, LogCannotOpen, 3, " 1.0000 V\n", "Log Error"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.function + " " + c.shown);
        ReaderRun r(c.model);
        r.meter->setSignal(*c.function ? c.function : "DCV", c.signal);
        int sends = 0;
        if (c.fault == SilentAfterFirst) {
            r.onOutput = [&] { r.meter->faults().noAnswer = true; };
        } else if (c.fault == NoNumberInSecond) {
            r.bus.beforeWrite = [&](const QByteArray& message) {
                const bool spoil = message == "SEND" && ++sends == 2;
                r.meter->faults().garbage = spoil ? QByteArray("X") : QByteArray();
            };
        }
        auto log = openReadingLog(QStringLiteral("/nonexistent/r.csv"), {}, r.platform);
        r.reader.setLog(c.fault == LogCannotOpen ? log.get() : nullptr);
        if (c.fault != LogCannotOpen) {
            r.platform.clearMessages();
        }
        EXPECT_EQ(r.run(c.function, c.range, c.fault == Healthy ? 1 : 3), c.status);
        EXPECT_EQ(r.out, QByteArray(c.out));
        EXPECT_EQ((r.errors + r.titles()).join('|'), QString::fromUtf8(c.shown));
        EXPECT_EQ(r.meter->range(), c.status == 0 && c.range ? *c.range : 0);
        EXPECT_TRUE(r.platform.settingWrites.empty()); // the panel's stored settings
    }
    // A range the meter is on already is not sent again.
    ReaderRun r("DM5010");
    EXPECT_EQ(r.run("DCV", 0), reader_status::Ok);
    EXPECT_FALSE(r.bus.written.contains("RANGE")) << r.bus.written.constData();
}

TEST(HeadlessReader, CsvColumnsAndTheInterval)
{
    ReaderRun r("DM5110");
    r.meter->setSignal("DCA", 0.0001234);
    // Each reading's own time, to the clock's last digit.
    r.reader.setTimestampFormat(
        [](auto time) { return QByteArray::number(time.time_since_epoch().count()); });
    std::vector<double> times;
    r.onOutput = [&] { times.push_back(r.platform.now()); };
    struct : ReadingObserver
    {
        QStringList seen;
        void readingTaken(const Reading& reading) override { seen.append(reading.readoutText); }
    } observer;
    r.reader.addReadingObserver(&observer);
    EXPECT_EQ(r.run("DCA", 1, 2, true), reader_status::Ok);
    EXPECT_EQ(observer.seen, QStringList({" 123.40", " 123.40"}));
    const QList<QByteArray> rows = r.out.split('\n');
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QByteArray("time,model,function,range,value,unit,readout,raw\r"));
    EXPECT_TRUE(rows[1].contains(",DM5110,DCA,1,123.4,µA,\" 123.40\",")) << rows[1].constData();
    EXPECT_NE(rows[1].left(rows[1].indexOf(',')), rows[2].left(rows[2].indexOf(',')));
    // From one reading's start to the next.
    ASSERT_EQ(times.size(), 3U);
    EXPECT_DOUBLE_EQ(times[2] - times[1], 2.5);
}

TEST(HeadlessReader, NoMeterEndsWithStatusOne)
{
    ReaderRun r("none");
    r.bus.addListener(5, "OTHER,INSTRUMENT");
    try {
        r.run("", {});
        ADD_FAILURE() << "the program did not end";
    } catch (const testing::ProgramEnded& ended) {
        EXPECT_EQ(ended.exitStatus, reader_status::MeterNotFound);
    }
    EXPECT_EQ(r.titles(), QStringList{QStringLiteral("Error")});
    EXPECT_TRUE(r.out.isEmpty());
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
