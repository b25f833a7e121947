#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "tests/support/fake_plus_plus_loopback.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::FakeAdapterOptions;
using testing::FakePlusPlusAdapter;
using testing::LoopbackTransport;
using testing::ScriptedPlatform;

// A driver on a fake adapter in front of simulated meters, over a
// loopback whose clock only moves while the driver waits.
struct Rig
{
    explicit Rig(FakeAdapterOptions options = {}, const char* meters = "DM5010@16,DM5120@3")
        : adapter(createSimulatedBus(QString::fromLatin1(meters), nullptr), options)
    {
        auto t = std::make_unique<LoopbackTransport>(adapter);
        transport = t.get();
        driver = std::make_unique<PrologixDriver>(
            std::move(t),
            options.ar488 ? PrologixDriver::Adapter::Ar488 : PrologixDriver::Adapter::Prologix);
    }

    bool open()
    {
        QString error;
        const bool ok = driver->open(&error);
        openError = error;
        return ok;
    }

    bool told(const QByteArray& line) const { return adapter.lines().contains(line); }

    FakePlusPlusAdapter adapter;
    LoopbackTransport* transport;
    std::unique_ptr<PrologixDriver> driver;
    QString openError;
};

// The panel's start-up and a few questions, through the helper module.
struct Session
{
    explicit Session(GpibDriver& driver) : gpib(driver), rv(gpib, platform)
    {
        rv.DeviceTimeout = gpib::T3s;
    }
    std::int16_t start()
    {
        std::int16_t mode = 1;
        rv.InitGpibBus(mode);
        QString query = QStringLiteral("ID?");
        QString expected = QStringLiteral("!DM");
        return rv.FindInstrument(query, expected);
    }
    ScriptedPlatform platform;
    Vbib32 gpib;
    Vbib32Rv rv;
};

TEST(PrologixDriver, MakesAPrologixAdapterTheControllerWithoutStoringSettings)
{
    Rig rig;
    ASSERT_TRUE(rig.open()) << rig.openError.toStdString();
    EXPECT_EQ(rig.driver->adapterVersion(), FakePlusPlusAdapter::prologixVersion());
    EXPECT_FALSE(rig.driver->hasAr488Commands());
    const QList<QByteArray>& lines = rig.adapter.lines();
    const qsizetype savecfg = lines.indexOf("++savecfg 0");
    ASSERT_GE(savecfg, 0);
    for (const char* setting :
         {"++mode 1", "++auto 0", "++eoi 1", "++eos 3", "++eot_enable 1", "++eot_char 4"}) {
        EXPECT_GT(lines.indexOf(setting), savecfg) << setting;
    }
}

TEST(PrologixDriver, KnowsAnAr488ByItsVersionAndNeverSavesItsSettings)
{
    FakeAdapterOptions options;
    options.ar488 = true;
    FakePlusPlusAdapter adapter(createSimulatedBus(QString(), nullptr), options);
    PrologixDriver driver(std::make_unique<LoopbackTransport>(adapter),
                          PrologixDriver::Adapter::Prologix);
    ASSERT_TRUE(driver.open(nullptr));
    EXPECT_TRUE(driver.hasAr488Commands());
    for (const QByteArray& line : adapter.lines()) {
        EXPECT_FALSE(line.startsWith("++savecfg")) << line.constData();
    }
}

struct DiscoveryCase
{
    const char* name;
    bool ar488;
    bool findListeners;
    bool expectFindlstn;
    bool expectPolls;
};

class Discovery : public ::testing::TestWithParam<DiscoveryCase>
{
};

TEST_P(Discovery, RunsTheStartUpAndQueriesTheMeter)
{
    FakeAdapterOptions options;
    options.ar488 = GetParam().ar488;
    options.findListeners = GetParam().findListeners;
    Rig rig(options);
    ASSERT_TRUE(rig.open());
    Session session(*rig.driver);

    std::int16_t device = session.start();
    ASSERT_NE(device, 0);
    EXPECT_EQ(session.rv.ListenerTable[0], 2);
    EXPECT_EQ(session.rv.ListenerTable[1], 3);
    EXPECT_EQ(session.rv.ListenerTable[2], 16);
    EXPECT_TRUE(
        session.rv.GpibQuery(device, QStringLiteral("ID?")).contains(QStringLiteral("DM5120")));
    EXPECT_FALSE(session.rv.GpibQuery(device, QStringLiteral("SEND")).isEmpty());
    EXPECT_TRUE(session.platform.messages().empty());

    EXPECT_EQ(rig.told("++findlstn"), GetParam().expectFindlstn);
    EXPECT_EQ(rig.told("++spoll 20"), GetParam().expectPolls);
    EXPECT_EQ(rig.told("++ren 1"), GetParam().ar488);
    EXPECT_TRUE(rig.told("++ifc"));
    EXPECT_TRUE(rig.told("++addr 3"));
    EXPECT_TRUE(rig.told("++read eoi"));
}

INSTANTIATE_TEST_SUITE_P(Adapters, Discovery,
                         ::testing::Values(DiscoveryCase{"Prologix", false, true, false, true},
                                           DiscoveryCase{"Ar488", true, true, true, false},
                                           DiscoveryCase{"Ar488WithoutFindlstn", true, false, true,
                                                         true}),
                         [](const ::testing::TestParamInfo<DiscoveryCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PrologixDriver, HandsOnDataWithLineEndsAndPlusSignsIntact)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    const int ud = rig.driver->ibdev(0, 16, 0, gpib::T1s, 1, 0);
    const QByteArray data("++ver\r\nA\x1b+", 10);
    rig.driver->ibwrt(ud, data.constData(), data.size());
    EXPECT_EQ(rig.driver->status().ibsta & gpib::ERR, 0);
    EXPECT_EQ(rig.driver->status().ibcntl, data.size());
    // One data line for the instrument, not an adapter command.
    EXPECT_EQ(rig.adapter.lines().back(), data);
    EXPECT_TRUE(rig.adapter.takeOutput().isEmpty());
}

TEST(PrologixDriver, ReadsALongAnswerInPiecesWithEndOnTheLast)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    const int ud = rig.driver->ibdev(0, 16, 0, gpib::T1s, 1, 0);
    rig.driver->ibwrt(ud, "ID?", 3);
    QByteArray whole;
    char buffer[4];
    int reads = 0;
    for (; reads < 40; ++reads) {
        const int sta = rig.driver->ibrd(ud, buffer, sizeof buffer);
        ASSERT_EQ(sta & gpib::ERR, 0);
        whole += QByteArray(buffer, static_cast<qsizetype>(rig.driver->status().ibcntl));
        if ((sta & gpib::END) != 0) {
            break;
        }
        EXPECT_EQ(rig.driver->status().ibcntl, 4);
    }
    EXPECT_TRUE(whole.contains("DM5010"));
    EXPECT_GT(reads, 1);
    // One read on the bus for the whole answer.
    EXPECT_EQ(rig.adapter.lines().count("++read eoi"), 1);
}

TEST(PrologixDriver, ASilentDeviceTimesOutAndTheAdapterStaysInStep)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    const int silent = rig.driver->ibdev(0, 9, 0, gpib::T3s, 1, 0);
    char buffer[64];
    const qint64 before = rig.transport->nowMs();
    const int sta = rig.driver->ibrd(silent, buffer, sizeof buffer);
    EXPECT_EQ(sta & (gpib::ERR | gpib::TIMO), gpib::ERR | gpib::TIMO);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EABO);
    EXPECT_EQ(rig.driver->status().ibcntl, 0);
    EXPECT_TRUE(rig.told("++read_tmo_ms 3000"));
    // The device's 3 s, the line's margin and the adapter's version line.
    EXPECT_LT(rig.transport->nowMs() - before, 3000 + 300 + 1500 + 100);

    Session session(*rig.driver);
    std::int16_t meter = static_cast<std::int16_t>(rig.driver->ibdev(0, 16, 0, gpib::T3s, 1, 0));
    EXPECT_TRUE(
        session.rv.GpibQuery(meter, QStringLiteral("ID?")).contains(QStringLiteral("DM5010")));
}

TEST(PrologixDriver, IgnoresStrayNulsAndAnswersArrivingInPieces)
{
    FakeAdapterOptions options;
    options.strayNuls = true;
    options.pieceSize = 3;
    Rig rig(options);
    ASSERT_TRUE(rig.open()) << rig.openError.toStdString();
    EXPECT_EQ(rig.driver->adapterVersion(), FakePlusPlusAdapter::prologixVersion());
    Session session(*rig.driver);
    std::int16_t device = session.start();
    ASSERT_NE(device, 0);
    const QString id = session.rv.GpibQuery(device, QStringLiteral("ID?"));
    EXPECT_TRUE(id.contains(QStringLiteral("DM5120"))) << id.toStdString();
    EXPECT_FALSE(id.contains(QChar(0)));
    EXPECT_TRUE(session.platform.messages().empty());
}

TEST(PrologixDriver, WaitsForAnAdapterThatRestartsWhenItsPortOpens)
{
    FakeAdapterOptions options;
    options.ar488 = true;
    options.bootLines = 3;
    options.strayNuls = true;
    Rig rig(options);
    ASSERT_TRUE(rig.open()) << rig.openError.toStdString();
    EXPECT_EQ(rig.driver->adapterVersion(), FakePlusPlusAdapter::ar488Version());
    Session session(*rig.driver);
    EXPECT_NE(session.start(), 0);
    EXPECT_TRUE(session.platform.messages().empty());
}

TEST(PrologixDriver, GivesUpOnAnAdapterThatNeverAnswers)
{
    FakeAdapterOptions options;
    options.bootLines = 1000000;
    Rig rig(options);
    EXPECT_FALSE(rig.open());
    EXPECT_TRUE(rig.openError.contains(QStringLiteral("did not answer \"++ver\" within 5 s")))
        << rig.openError.toStdString();
    EXPECT_LE(rig.transport->nowMs(), 5000 + 300);
}

TEST(PrologixDriver, TellsAGarbledSerialPollFromASilentDevice)
{
    FakeAdapterOptions options;
    options.spollAnswer = "ERR?";
    Rig rig(options);
    ASSERT_TRUE(rig.open());
    const int ud = rig.driver->ibdev(0, 16, 0, gpib::T1s, 1, 0);
    char byte = 0;
    EXPECT_EQ(rig.driver->ibrsp(ud, &byte) & gpib::ERR, gpib::ERR);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EDVR);

    // Discovery counts no listener on garbled polls, only the board itself.
    std::uint16_t addresses[] = {0, 3, 16, gpib::NOADDR};
    std::int16_t found[4] = {-1, -1, -1, -1};
    rig.driver->FindLstn(0, addresses, found, 4);
    EXPECT_EQ(rig.driver->status().ibcntl, 1);
    EXPECT_EQ(found[0], 0);
    EXPECT_EQ(found[1], -1);
}

TEST(PrologixDriver, EveryCallFailsWithABusErrorOnceTheConnectionDrops)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    Session session(*rig.driver);
    std::int16_t device = session.start();
    ASSERT_NE(device, 0);

    rig.adapter.dropAfterMoreLines(1);

    session.platform.queueAnswer(MessageAnswer::Ok);
    session.platform.queueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(session.rv.GpibQuery(device, QStringLiteral("SEND")), QString());
    const qint64 droppedAt = rig.transport->nowMs();
    session.rv.GpibWrite(device, QStringLiteral("INIT"));
    const auto& messages = session.platform.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().title, QStringLiteral("GPIB ERROR # 14"));
    EXPECT_TRUE(messages.back().text.startsWith(QStringLiteral("GPIB bus eror.")));

    for (int ud : {0, int(device)}) {
        char buffer[8];
        std::uint16_t addresses[] = {0, 16, gpib::NOADDR};
        std::int16_t found[2];
        if (ud == 0) {
            rig.driver->FindLstn(0, addresses, found, 2);
        } else {
            rig.driver->ibrd(ud, buffer, sizeof buffer);
        }
        EXPECT_EQ(rig.driver->status().ibsta & gpib::ERR, gpib::ERR);
        EXPECT_EQ(rig.driver->status().iberr, gpib::EBUS);
    }
    // No waiting on a connection that is gone.
    EXPECT_EQ(rig.transport->nowMs(), droppedAt);
}

TEST(PrologixDriver, GivesTheAdapterTheDevicesTimeoutWithinItsRange)
{
    for (bool ar488 : {false, true}) {
        FakeAdapterOptions options;
        options.ar488 = ar488;
        Rig rig(options);
        ASSERT_TRUE(rig.open());
        const int ud = rig.driver->ibdev(0, 16, 0, 13 /* 10 s */, 1, 0);
        char buffer[8];
        rig.driver->ibwrt(ud, "ID?", 3);
        rig.driver->ibrd(ud, buffer, sizeof buffer);
        EXPECT_EQ(rig.adapter.readTimeoutMs(), ar488 ? 10000 : 3000);
    }
}

TEST(PrologixDriver, RefusesBadBoardsDescriptorsAndArguments)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    EXPECT_EQ(rig.driver->ibdev(1, 16, 0, 11, 1, 0), -1);
    EXPECT_EQ(rig.driver->status().iberr, gpib::ENEB);
    EXPECT_EQ(rig.driver->ibdev(0, 31, 0, 11, 1, 0), -1);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EARG);
    rig.driver->SendIFC(2);
    EXPECT_EQ(rig.driver->status().iberr, gpib::ENEB);
    char buffer[4];
    rig.driver->ibrd(42, buffer, sizeof buffer);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EDVR);
    const int ud = rig.driver->ibdev(0, 16, 0, 11, 1, 0);
    rig.driver->ibrd(ud, buffer, -1);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EARG);
    int value = 0;
    rig.driver->ibtmo(ud, gpib::T3s);
    rig.driver->ibask(ud, gpib::IbcTMO, &value);
    EXPECT_EQ(value, gpib::T3s);
}

} // namespace
} // namespace lumodm
