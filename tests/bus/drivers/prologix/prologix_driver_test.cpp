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

// A driver on a fake adapter in front of simulated meters, over a
// loopback whose clock only moves while the driver waits.
struct Rig
{
    explicit Rig(FakeAdapterOptions options = {}) : Rig(options, options.ar488) {}
    Rig(FakeAdapterOptions options, bool askAr488)
        : adapter(createSimulatedBus(QStringLiteral("DM5010@16,DM5120@3"), nullptr), options)
    {
        auto t = std::make_unique<LoopbackTransport>(adapter);
        transport = t.get();
        driver = std::make_unique<PrologixDriver>(std::move(t),
                                                  askAr488 ? PrologixDriver::Adapter::Ar488
                                                           : PrologixDriver::Adapter::Prologix);
    }
    bool open()
    {
        QString error;
        const bool ok = driver->open(&error);
        openError = error.toStdString();
        return ok;
    }
    bool told(const QByteArray& line) const { return adapter.lines().contains(line); }
    int device(int address, int timeout = gpib::T1s)
    {
        return driver->ibdev(0, address, 0, timeout, 1, 0);
    }

    FakePlusPlusAdapter adapter;
    LoopbackTransport* transport;
    std::unique_ptr<PrologixDriver> driver;
    std::string openError;
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
    testing::ScriptedPlatform platform;
    Vbib32 gpib;
    Vbib32Rv rv;
};

TEST(PrologixDriver, EachAdapterRunsTheStartUpAndQueriesTheMeter)
{
    const struct
    {
        const char* name;
        bool ar488, findListeners, strayNuls;
        int pieceSize, bootLines;
        bool expectFindlstn, expectPolls;
    } cases[] = {
        {"Prologix", false, true, false, 0, 0, false, true},
        {"Ar488", true, true, false, 0, 0, true, false},
        {"Ar488AskedAsPrologix", true, true, false, 0, 0, true, false},
        {"Ar488WithoutFindlstn", true, false, false, 0, 0, true, true},
        {"PrologixStrayNulsAndPieces", false, true, true, 3, 0, false, true},
        {"Ar488RestartingOnOpen", true, true, true, 0, 3, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAdapterOptions options;
        options.ar488 = c.ar488;
        options.findListeners = c.findListeners;
        options.strayNuls = c.strayNuls;
        options.pieceSize = c.pieceSize;
        options.bootLines = c.bootLines;
        // An AR488 is known by its version whatever the user called it.
        Rig rig(options, c.ar488 && std::string(c.name) != "Ar488AskedAsPrologix");
        ASSERT_TRUE(rig.open()) << rig.openError;
        EXPECT_EQ(rig.driver->adapterVersion(), c.ar488 ? FakePlusPlusAdapter::ar488Version()
                                                        : FakePlusPlusAdapter::prologixVersion());
        EXPECT_EQ(rig.driver->hasAr488Commands(), c.ar488);
        // The adapter becomes the controller; a Prologix is told not to
        // store settings first, an AR488 never stores them.
        const QList<QByteArray>& lines = rig.adapter.lines();
        const qsizetype savecfg = lines.indexOf("++savecfg 0");
        EXPECT_EQ(savecfg >= 0, !c.ar488);
        for (const char* setting :
             {"++mode 1", "++auto 0", "++eoi 1", "++eos 3", "++eot_enable 1", "++eot_char 4"}) {
            EXPECT_GT(lines.indexOf(setting), savecfg) << setting;
        }

        Session session(*rig.driver);
        std::int16_t device = session.start();
        ASSERT_NE(device, 0);
        EXPECT_EQ(session.rv.ListenerTable[0], 2);
        EXPECT_EQ(session.rv.ListenerTable[1], 3);
        EXPECT_EQ(session.rv.ListenerTable[2], 16);
        const QString id = session.rv.GpibQuery(device, QStringLiteral("ID?"));
        EXPECT_TRUE(id.contains(QStringLiteral("DM5120"))) << id.toStdString();
        EXPECT_FALSE(id.contains(QChar(0)));
        EXPECT_FALSE(session.rv.GpibQuery(device, QStringLiteral("SEND")).isEmpty());
        EXPECT_TRUE(session.platform.messages().empty());

        EXPECT_EQ(rig.told("++findlstn"), c.expectFindlstn);
        EXPECT_EQ(rig.told("++spoll 20"), c.expectPolls);
        EXPECT_EQ(rig.told("++ren 1"), c.ar488);
        EXPECT_TRUE(rig.told("++ifc"));
        EXPECT_TRUE(rig.told("++addr 3"));
        EXPECT_TRUE(rig.told("++read eoi"));
        for (const QByteArray& line : lines) {
            EXPECT_FALSE(c.ar488 && line.startsWith("++savecfg")) << line.constData();
        }
    }
}

TEST(PrologixDriver, HandsOnDataIntactAndReadsALongAnswerInPieces)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    const int ud = rig.device(16);
    const QByteArray data("++ver\r\nA\x1b+\0Z", 12);
    rig.driver->ibwrt(ud, data.constData(), data.size());
    EXPECT_EQ(rig.driver->status().ibsta & gpib::ERR, 0);
    EXPECT_EQ(rig.driver->status().ibcntl, data.size());
    // One data line for the instrument, not an adapter command.
    EXPECT_EQ(rig.adapter.lines().back(), data);
    EXPECT_TRUE(rig.adapter.takeOutput().isEmpty());

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

TEST(PrologixDriver, AReadEndsByItsTimeoutWhateverArrivesAndTheNextQueryWorks)
{
    // A silent address, an answer that trickles in a byte a second, one
    // that comes 5 s late.
    const struct
    {
        const char* name;
        int address, gapMs, lateMs;
    } cases[] = {{"Silent", 9, 0, 0}, {"Trickling", 16, 1000, 0}, {"Late", 16, 0, 5000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAdapterOptions options;
        options.pieceSize = 1;
        Rig rig(options);
        ASSERT_TRUE(rig.open());
        const int ud = rig.device(c.address, gpib::T3s);
        rig.driver->ibwrt(ud, "ID?", 3);
        rig.transport->gapMs = c.gapMs;
        rig.transport->holdFor(c.lateMs);
        char buffer[64];
        const qint64 before = rig.transport->nowMs();
        const int sta = rig.driver->ibrd(ud, buffer, sizeof buffer);
        EXPECT_EQ(sta & (gpib::ERR | gpib::TIMO), gpib::ERR | gpib::TIMO);
        EXPECT_EQ(rig.driver->status().iberr, gpib::EABO);
        EXPECT_TRUE(rig.told("++read_tmo_ms 3000"));
        // The device's 3 s and the line's margin, however the bytes come.
        EXPECT_LE(rig.transport->nowMs() - before, 3000 + 300);

        // After the panel's wait the old answer is gone, not taken for the next.
        rig.transport->gapMs = 0;
        rig.transport->pass(2000);
        Session session(*rig.driver);
        auto meter = static_cast<std::int16_t>(rig.device(16, gpib::T3s));
        EXPECT_EQ(session.rv.GpibQuery(meter, QStringLiteral("FUNCT?")).toStdString(), "DCV -2");
        EXPECT_TRUE(session.platform.messages().empty());
    }
}

TEST(PrologixDriver, GivesUpOnAnAdapterThatNeverAnswers)
{
    FakeAdapterOptions options;
    options.bootLines = 1000000;
    Rig rig(options);
    EXPECT_FALSE(rig.open());
    EXPECT_NE(rig.openError.find("did not answer \"++ver\" within 5 s"), std::string::npos)
        << rig.openError;
    EXPECT_LE(rig.transport->nowMs(), 5000 + 300);
}

TEST(PrologixDriver, TellsAGarbledSerialPollFromASilentDevice)
{
    FakeAdapterOptions options;
    options.spollAnswer = "ERR?";
    Rig rig(options);
    ASSERT_TRUE(rig.open());
    char byte = 0;
    EXPECT_EQ(rig.driver->ibrsp(rig.device(16), &byte) & gpib::ERR, gpib::ERR);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EDVR);

    // Discovery counts no listener on garbled polls, only the board itself.
    std::uint16_t addresses[] = {0, 3, 16, gpib::NOADDR};
    std::int16_t found[4] = {-1, -1, -1, -1};
    rig.driver->FindLstn(0, addresses, found, 4);
    EXPECT_EQ(rig.driver->status().ibcntl, 1);
    EXPECT_EQ(found[0], 0);
    EXPECT_EQ(found[1], -1);
}

// What the user then sees is checked over a real connection next door.
TEST(PrologixDriver, EveryCallFailsWithABusErrorOnceTheConnectionDrops)
{
    Rig rig;
    ASSERT_TRUE(rig.open());
    const int ud = rig.device(16);
    rig.adapter.dropAfterMoreLines(1);
    rig.driver->ibwrt(ud, "SEND", 4);
    char buffer[8];
    rig.driver->ibrd(ud, buffer, sizeof buffer);
    const qint64 droppedAt = rig.transport->nowMs();
    rig.driver->ibwrt(ud, "INIT", 4);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EBUS);
    std::uint16_t addresses[] = {0, 16, gpib::NOADDR};
    std::int16_t found[2];
    rig.driver->FindLstn(0, addresses, found, 2);
    EXPECT_EQ(rig.driver->status().ibsta & gpib::ERR, gpib::ERR);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EBUS);
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
        const int ud = rig.device(16, 13 /* 10 s */);
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
    char buffer[4];
    rig.driver->ibrd(42, buffer, sizeof buffer);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EDVR);
    rig.driver->ibrd(rig.device(16), buffer, -1);
    EXPECT_EQ(rig.driver->status().iberr, gpib::EARG);
}

} // namespace
} // namespace lumodm
