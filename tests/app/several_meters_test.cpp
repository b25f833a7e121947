#include "app/meter_readers.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/forwarding_driver.h"
#include "reader/console_platform.h"
#include "reader/headless_reader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Several meters on one bus, served at once by both programs.
namespace lumodm {
namespace {

struct Ended
{
    int status;
    QString out;
    QString err;
};

// `remembered`: the connection file's text, as the chooser leaves it.
Ended run(const char* program, const QStringList& arguments, const char* remembered = nullptr)
{
    QTemporaryDir home;
    if (remembered != nullptr) {
        QDir(home.path()).mkpath(".config/LumoDM");
        QFile file(home.filePath(".config/LumoDM/Connection.ini"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(remembered) > 0);
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    process.setProcessEnvironment(env);
    process.start(QString::fromLatin1(program), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(SeveralMeters, EachIsReadAtItsPaceAndItsFaultsStayWithIt)
{
    const Ended three = run(LUMODM_READ_PATH, {"--sim=DM5010@12,DM5110@14,DM5120@16", "--all",
                                               "--count=3", "--interval=0", "--csv"});
    EXPECT_EQ(three.status, 0) << three.err.toStdString();
    EXPECT_TRUE(
        three.out.startsWith("time,model,function,range,value,unit,readout,raw,address\r\n"));
    EXPECT_EQ(three.out.count('\n'), 10);
    for (const char* row : {",DM5010,DCV,0,", ",DM5110,DCV,0,", ",DM5120,DCV,0,"}) {
        EXPECT_EQ(three.out.count(row), 3) << row;
    }
    EXPECT_EQ(three.out.count(QRegularExpression(",(12|14|16)\r\n")), 9);

    // The meter at 13 leaves the bus: its own messages, its reading ends,
    // and the one at 12 reads on to its count; the status tells the failure.
    const Ended vanish = run(LUMODM_READ_PATH, {"--sim=DM5010@12,DM5010@13,fault=vanish-after=20",
                                                "--address=12,13", "--count=12", "--interval=0"});
    EXPECT_EQ(vanish.status, reader_status::ReadingFailed);
    EXPECT_EQ(vanish.out.count(
                  QRegularExpression("^12: \\d\\.\\d{4} V$", QRegularExpression::MultilineOption)),
              12);
    EXPECT_TRUE(vanish.err.startsWith("13: I/O Error: Read cycle failed"))
        << vanish.err.toStdString();
    EXPECT_FALSE(vanish.err.contains("12: "));

    // A listed address without a meter is told once; the others are served.
    const Ended missing = run(LUMODM_READ_PATH, {"--sim=DM5010@12", "--address=12,20"});
    EXPECT_EQ(missing.status, reader_status::MeterNotFound);
    EXPECT_EQ(missing.err.count("found at address 20"), 1);
    EXPECT_TRUE(missing.out.startsWith("12: "));

    // Every meter on the bus, as the chooser can keep it.
    const Ended kept = run(LUMODM_READ_PATH, {"--count=1"},
                           "[Connection]\nBus=sim\nTarget=\"DM5010@12,DM5120@14\"\nAddress=all\n");
    EXPECT_EQ(kept.out.count(QRegularExpression("^1[24]: ", QRegularExpression::MultilineOption)),
              2)
        << kept.err.toStdString();

    // The panel: one window per meter, each up.
    const Ended panels = run(LUMODM_PATH, {"-platform", "offscreen", "--sim=DM5010@12,DM5120@14",
                                           "--all", "--quit-when-up"});
    EXPECT_EQ(panels.status, 0);
    EXPECT_TRUE(panels.err.contains("lumodm: panel up")) << panels.err.toStdString();
}

// An adapter that goes away after a number of calls: every call then fails
// alike, and it says so.
class VanishingAdapter : public ForwardingDriver
{
  public:
    using ForwardingDriver::ForwardingDriver;
    int callsLeft = 60;
    bool connectionLost() const override { return callsLeft <= 0; }

  protected:
    int pass(const DriverCall& call) override
    {
        if (callsLeft <= 0) {
            status_ = GpibStatus{gpib::ERR, gpib::EBUS, 0};
            return status_.ibsta;
        }
        --callsLeft;
        return ForwardingDriver::pass(call);
    }
};

TEST(SeveralMeters, ALostAdapterEndsEveryMeterWithOneMessage)
{
    VanishingAdapter adapter(createSimulatedBus(QStringLiteral("DM5010@12,DM5110@14"), nullptr));
    ConsolePlatform console;
    QStringList told;
    console.setErrorSink([&told](const QByteArray& line) { told << QString::fromUtf8(line); });
    CommandLine line;
    MeterSelection every;
    every.every = true;
    line.reader.count = 0; // no end but the loss
    line.reader.interval = 0;
    EXPECT_EQ(readSeveralMeters(line, every, adapter, console, nullptr),
              reader_status::ReadingFailed);
    ASSERT_EQ(told.size(), 1) << told.join('|').toStdString();
    EXPECT_TRUE(told[0].startsWith("Bus Error: The connection to the GPIB bus was lost"));
}

} // namespace
} // namespace lumodm
