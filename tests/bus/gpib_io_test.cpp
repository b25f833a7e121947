#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

class GpibIoTest : public BusTest
{
  protected:
    void SetUp() override
    {
        device = openDevice();
        clearLog();
    }
    void expectIoErrorBox()
    {
        ASSERT_EQ(platform.messages().size(), 1u);
        const ShownMessage& m = platform.messages()[0];
        EXPECT_EQ(m.text, "Read cycle failed\nOperation aborted.");
        EXPECT_EQ(m.title, "I/O Error");
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    }
    std::int16_t device = 0;
};

TEST_F(GpibIoTest, WriteAndReadCarryEightBitTextAsItsBytes)
{
    rv.GpibWrite(device, QString::fromUtf8("DCV;CALC DBM \u00b5"));
    EXPECT_EQ(driver.log, (Log{"ibwrt 17 \"DCV;CALC DBM \\xB5\""}));
    EXPECT_EQ(rv.GpibWriteFailed, 0);
    driver.queueRead("\xb5"
                     "A\r\n");
    EXPECT_EQ(rv.GpibRead(device), QString::fromUtf8("\u00b5A"));
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(GpibIoTest, ReadSetsTheReadTimeoutAndRestoresTheDevicesOwn)
{
    // (The query below shows the restore when the timeout was already 3 s.)
    driver.ibtmo(device, 11);
    clearLog();
    driver.queueRead("DCV\r\n");
    EXPECT_EQ(rv.GpibRead(device), "DCV");
    EXPECT_EQ(driver.log,
              (Log{"ibask 17 3", "ibtmo 17 12", "ibwait 17 0x4100", "ibrd 17 512", "ibtmo 17 11"}));
}

TEST_F(GpibIoTest, PiecesAreJoinedWithoutTheirOuterSpacesAndLineEndsStripped)
{
    driver.queueRead(" " + QByteArray(510, 'A') + " ", 0); // exactly 512, no END
    driver.queueRead("  B C  \r\n");
    EXPECT_EQ(rv.GpibRead(device), QString(510, QLatin1Char('A')) + "B C  ");
    EXPECT_EQ(driver.calls({"ibrd"}).size(), 2u);

    const struct
    {
        QByteArray response;
        const char* result;
    } cases[] = {
        {"1.23E+0\r\n", "1.23E+0"},
        {"1.23\n", "1.23"},
        {"1.23\r", "1.23"},
        {"AB\rC", "AB"},
        {"\n", ""},
        {"A\n\r", "A"},
        {"\r\n\r\n", "\r"},
        {"AB\n\nC", "AB"},
        {"", ""},
        {"AB\n\n\n", "AB"},
    };
    for (const auto& c : cases) {
        driver.queueRead(c.response);
        EXPECT_EQ(rv.GpibRead(device), QString::fromLatin1(c.result))
            << ScriptedDriver::quoted(c.response.constData(), c.response.size());
    }
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(GpibIoTest, FailedReadsDiscardEverythingAndSayWhy)
{
    // A timeout on a later piece; the device's own timeout comes back.
    driver.ibtmo(device, 13);
    driver.queueRead(QByteArray(512, 'A'), 0);
    driver.queueTimeout();
    EXPECT_EQ(rv.GpibRead(device), "");
    expectIoErrorBox();
    EXPECT_EQ(driver.timeoutOf(device), 13);

    // An error without timeout or END ends the read like a timeout.
    platform.clearMessages();
    clearLog();
    driver.queueRead("AB", gpib::ERR, gpib::EBUS);
    EXPECT_EQ(rv.GpibRead(device), "");
    expectIoErrorBox();
    EXPECT_EQ(driver.calls({"ibrd"}).size(), 1u);
}

TEST_F(GpibIoTest, ResponsesStopAtSixtyFourKilobytes)
{
    for (int i = 0; i < 127; ++i) {
        driver.queueRead(QByteArray(512, 'A'), 0);
    }
    driver.queueRead(QByteArray(512, 'B'));
    const QString r = rv.GpibRead(device);
    EXPECT_EQ(r.size(), 65536);
    EXPECT_TRUE(r.endsWith(QLatin1Char('B')));

    clearLog();
    for (int i = 0; i < 200; ++i) {
        driver.queueRead(QByteArray(512, i % 2 ? ' ' : 'A'), 0);
    }
    EXPECT_EQ(rv.GpibRead(device), "");
    expectIoErrorBox();
    EXPECT_EQ(driver.calls({"ibrd"}).size(), 128u);
    EXPECT_EQ(driver.log.back(), "ibtmo 17 12");
}

TEST_F(GpibIoTest, QueryWritesWaitsAndReadsButNotAfterAFailedWrite)
{
    driver.respond(5, "FUNCT?", "DCV\r\n");
    std::vector<double> at;
    driver.onCall = [&](const std::string&) { at.push_back(platform.now()); };
    EXPECT_EQ(rv.GpibQuery(device, "FUNCT?"), "DCV");
    EXPECT_EQ(driver.log, (Log{"ibwrt 17 \"FUNCT?\"", "ibask 17 3", "ibwait 17 0x4100",
                               "ibrd 17 512", "ibtmo 17 12"}));
    ASSERT_EQ(at.size(), 5u);
    EXPECT_GE(at[1] - at[0], static_cast<double>(0.1f));

    clearLog();
    driver.failNext("ibwrt", gpib::ENOL);
    EXPECT_EQ(rv.GpibQuery(device, "SEND"), "");
    EXPECT_TRUE(driver.calls({"ibrd"}).empty());
    EXPECT_EQ(rv.GpibWriteFailed, -1);
    rv.GpibWrite(device, "INIT");
    EXPECT_EQ(rv.GpibWriteFailed, 0) << "the next write starts clean";
}

TEST_F(GpibIoTest, WaitProcessesEventsUntilTheTimeHasPassedAndZeroWaitsNone)
{
    const double start = platform.now();
    int clicks = 0;
    platform.postEventAt(start + 0.05, [&] { ++clicks; });
    rv.GpibWait(0.1f);
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(platform.now() - start, static_cast<double>(0.1f));

    const auto passes = platform.eventPasses();
    platform.postEvent([] { FAIL() << "no event may run"; });
    rv.GpibWait(0.0f);
    EXPECT_EQ(platform.eventPasses(), passes);
}

TEST_F(GpibIoTest, NoDeviceEndsTheProgramBeforeAnyBusTraffic)
{
    std::int16_t none = 0;
    EXPECT_THROW(rv.GpibWrite(none, "SEND"), ProgramEnded);
    EXPECT_THROW(rv.GpibRead(none), ProgramEnded);
    EXPECT_THROW(rv.GpibQuery(none, "SEND"), ProgramEnded);
    EXPECT_TRUE(driver.log.empty());
    ASSERT_EQ(platform.messages().size(), 3u);
    for (const ShownMessage& m : platform.messages()) {
        EXPECT_EQ(m.text, "Device not configured.\n\nCorrect problem and restart.");
        EXPECT_EQ(m.title, "Device Error");
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(m.icon, MessageIcon::Stop);
    }
}

} // namespace
} // namespace lumodm::testing
