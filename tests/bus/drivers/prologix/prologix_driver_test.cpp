#include "bus/bus_connection.h"
#include "bus/device_access.h"
#include "bus/drivers/address_limit_driver.h"
#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/prologix/serial_transport.h"
#include "bus/drivers/prologix/tcp_transport.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "panel/front_panel.h"
#include "tests/support/fake_adapter_server.h"
#include "tests/support/scripted_platform.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <tuple>

namespace lumodm {
namespace {

using testing::FakeAdapterOptions;
using testing::FakeAdapterServer;
using testing::FakePlusPlusAdapter;

// A driver straight into a fake adapter in front of simulated meters; the
// adapter's clock moves only while the driver waits.
struct Rig
{
    explicit Rig(FakeAdapterOptions options = {}, bool askAr488 = false)
    {
        auto fake = std::make_unique<FakePlusPlusAdapter>(
            createSimulatedBus(QStringLiteral("DM5010@16,DM5120@3"), nullptr), options);
        adapter = fake.get();
        driver = std::make_unique<PrologixDriver>(std::move(fake),
                                                  askAr488 ? PrologixDriver::Adapter::Ar488
                                                           : PrologixDriver::Adapter::Prologix);
        QString error;
        opened = driver->open(&error);
        openError = error.toStdString();
    }
    bool told(const char* line) const { return adapter->lines().contains(line); }
    int device(int address, int timeout = gpib::T3s)
    {
        return driver->ibdev(0, address, 0, timeout, 1, 0);
    }
    int iberr() const { return driver->status().iberr; }

    FakePlusPlusAdapter* adapter;
    std::unique_ptr<PrologixDriver> driver;
    bool opened;
    std::string openError;
    testing::ScriptedPlatform platform;
};

TEST(PrologixDriver, EachAdapterRunsTheStartUpAndQueriesTheMeter)
{
    const struct
    {
        const char* name;
        bool ar488, askAr488, findListeners, strayNuls;
        int pieceSize, bootLines;
    } cases[] = {
        {"Prologix", false, false, true, false, 0, 0},
        {"Ar488", true, true, true, false, 0, 0},
        {"Ar488AskedAsPrologix", true, false, true, false, 0, 0},
        {"Ar488WithoutFindlstn", true, true, false, false, 0, 0},
        {"PrologixStrayNulsAndPieces", false, false, true, true, 3, 0},
        {"Ar488RestartingOnOpen", true, true, true, true, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig({c.ar488, c.findListeners, c.bootLines, c.strayNuls, {}, c.pieceSize}, c.askAr488);
        ASSERT_TRUE(rig.opened) << rig.openError;
        EXPECT_EQ(rig.driver->adapterVersion(), FakePlusPlusAdapter::versionOf(c.ar488));
        // The adapter becomes the controller; a Prologix is told not to
        // store settings first, an AR488 never stores them.
        const QList<QByteArray>& lines = rig.adapter->lines();
        const qsizetype savecfg = lines.indexOf("++savecfg 0");
        EXPECT_EQ(savecfg >= 0, !c.ar488);
        for (const char* setting :
             {"++mode 1", "++auto 0", "++eoi 1", "++eos 3", "++eot_enable 1", "++eot_char 4"}) {
            EXPECT_GT(lines.indexOf(setting), savecfg) << setting;
        }

        BusConnection bus(*rig.driver, rig.platform);
        Vbib32Rv& rv = bus.helper();
        rv.DeviceTimeout = gpib::T3s;
        std::int16_t mode = 1;
        rv.InitGpibBus(mode);
        QString query = QStringLiteral("ID?");
        QString expected = QStringLiteral("!DM");
        std::int16_t device = rv.FindInstrument(query, expected);
        ASSERT_NE(device, 0);
        EXPECT_EQ(std::vector<int>(rv.ListenerTable.begin(), rv.ListenerTable.begin() + 3),
                  (std::vector<int>{2, 3, 16}));
        EXPECT_EQ(rv.GpibQuery(device, QStringLiteral("ID?")), u"ID LUMO/DM5120,V79.1 F1.1");
        EXPECT_FALSE(rv.GpibQuery(device, QStringLiteral("SEND")).isEmpty());
        EXPECT_TRUE(rig.platform.messages().empty());

        // Discovery by the AR488's own command where it has one, else by polls.
        EXPECT_EQ(rig.told("++findlstn"), c.ar488);
        EXPECT_EQ(rig.told("++spoll 20"), !c.findListeners || !c.ar488);
        EXPECT_EQ(rig.told("++ren 1"), c.ar488);
        EXPECT_TRUE(rig.told("++ifc") && rig.told("++addr 3") && rig.told("++read eoi"));
        // The device's timeout, within what the adapter can take.
        const int ud = rig.device(16, 13 /* 10 s */);
        char buffer[8];
        rig.driver->ibwrt(ud, "ID?", 3);
        rig.driver->ibrd(ud, buffer, sizeof buffer);
        EXPECT_EQ(rig.adapter->setting("read_tmo_ms"), c.ar488 ? 10000 : 3000);
    }
}

// --address=N: discovery polls that address alone and lists only its meter.
TEST(PrologixDriver, AnAddressLimitPollsThatAddressAlone)
{
    Rig rig;
    AddressLimitDriver limited(std::move(rig.driver), {16});
    BusConnection bus(limited, rig.platform);
    std::int16_t mode = 1;
    bus.helper().InitGpibBus(mode);
    EXPECT_EQ(std::vector<int>(bus.helper().ListenerTable.begin(),
                               bus.helper().ListenerTable.begin() + 3),
              (std::vector<int>{1, 16, 0}));
    QList<QByteArray> polls;
    for (const QByteArray& line : rig.adapter->lines()) {
        if (line.startsWith("++spoll")) {
            polls << line;
        }
    }
    EXPECT_EQ(polls, QList<QByteArray>{"++spoll 16"});
}

// A refusal by the system names the group and the command; nothing else does.
TEST(DeviceAccess, ARefusalNamesTheGroupAndTheCommand)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"dialout", EACCES,
         "You may not open /no/ttyUSB0; the members of the group dialout may.\nAdd yourself to it "
         "with\n  sudo usermod -aG dialout $USER\nthen log out and in again."},
        {"gpib", EPERM,
         "the group gpib may.\nAdd yourself to it with\n  sudo usermod -aG gpib $USER"},
        {"dialout", EBUSY, ""},
        {"dialout", 0, ""},
    };
    for (const auto& [group, error, text] : cases) {
        const QString hint = deviceAccessHint(QStringLiteral("/no/ttyUSB0"), group, error);
        EXPECT_TRUE(*text ? hint.contains(text) : hint.isEmpty()) << hint.toStdString();
    }
    EXPECT_EQ(deviceAccessError(QStringLiteral("/no/ttyUSB0")), 0);
}

TEST(PrologixDriver, HandsOnDataIntactAndReadsALongAnswerInPieces)
{
    Rig rig;
    const int ud = rig.device(16);
    const QByteArray data("++ver\r\nA\x1b+\0Z", 12);
    rig.driver->ibwrt(ud, data.constData(), data.size());
    EXPECT_EQ(rig.driver->status().ibsta & gpib::ERR, 0);
    EXPECT_EQ(rig.driver->status().ibcntl, data.size());
    // One data line for the instrument, not an adapter command.
    EXPECT_EQ(rig.adapter->lines().back(), data);
    EXPECT_TRUE(rig.adapter->takeOutput().isEmpty());

    rig.driver->ibwrt(ud, "ID?", 3);
    QByteArray whole;
    char buffer[4];
    int sta = 0;
    int reads = 0;
    for (; reads < 40 && (sta & gpib::END) == 0; ++reads) {
        sta = rig.driver->ibrd(ud, buffer, sizeof buffer);
        whole += QByteArray(buffer, static_cast<qsizetype>(rig.driver->status().ibcntl));
    }
    EXPECT_EQ(whole, "ID LUMO/DM5010,V79.1 F1.1\r\n");
    EXPECT_EQ(reads, (whole.size() + 3) / 4);
    // One read on the bus for the whole answer.
    EXPECT_EQ(rig.adapter->lines().count("++read eoi"), 1);
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
        const int ud = rig.device(c.address);
        rig.driver->ibwrt(ud, "ID?", 3);
        rig.adapter->gapMs = c.gapMs;
        rig.adapter->holdFor(c.lateMs);
        char buffer[64];
        const qint64 before = rig.adapter->nowMs();
        EXPECT_EQ(rig.driver->ibrd(ud, buffer, sizeof buffer) & (gpib::ERR | gpib::TIMO),
                  gpib::ERR | gpib::TIMO);
        EXPECT_EQ(rig.iberr(), gpib::EABO);
        // The device's 3 s and the line's margin, however the bytes come.
        EXPECT_EQ(rig.adapter->setting("read_tmo_ms"), 3000);
        EXPECT_LE(rig.adapter->nowMs() - before, 3000 + 300);

        // After the panel's wait the old answer is gone, not taken for the next.
        rig.adapter->gapMs = 0;
        rig.adapter->pass(2000);
        BusConnection bus(*rig.driver, rig.platform);
        auto meter = static_cast<std::int16_t>(rig.device(16));
        EXPECT_EQ(bus.helper().GpibQuery(meter, QStringLiteral("FUNCT?")), u"DCV -2");
        EXPECT_TRUE(rig.platform.messages().empty());
    }
}

// Short waits: the fake adapter answers at once, only failures wait.
PlusPlusTimings quick()
{
    return {2000, 2000, 40, 20, 200, 1000, 2, 30};
}

std::unique_ptr<PlusPlusTransport> transportTo(const QString& target)
{
    if (target.startsWith(QLatin1Char('/'))) {
        return std::make_unique<SerialTransport>(target, 115200);
    }
    return std::make_unique<TcpTransport>(target.section(QLatin1Char(':'), 0, 0),
                                          target.section(QLatin1Char(':'), 1).toUShort(), 2000);
}

// The whole panel over each transport: start-up finds and identifies the
// meter and a run of a simulated second takes readings; then the adapter
// goes away and the user sees the messages, with nothing hanging.
TEST(PrologixTransports, RunThePanelAndSurviveADroppedConnection)
{
    const struct
    {
        FakeAdapterServer::Kind kind;
        bool ar488;
        int bootLines;
    } cases[] = {{FakeAdapterServer::Kind::Tcp, false, 0},
                 {FakeAdapterServer::Kind::Tcp, true, 0},
                 {FakeAdapterServer::Kind::Pty, false, 0},
                 {FakeAdapterServer::Kind::Pty, true, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bootLines + 2 * c.ar488 + 4 * (c.kind == FakeAdapterServer::Kind::Pty));
        FakeAdapterServer server(c.kind, createSimulatedBus(QStringLiteral("DM5110@7"), nullptr),
                                 {c.ar488, true, c.bootLines, c.bootLines > 0, {}, 0});
        QString error;
        ASSERT_TRUE(server.start(&error)) << error.toStdString();
        auto driver = std::make_unique<PrologixDriver>(
            transportTo(server.target()),
            c.ar488 ? PrologixDriver::Adapter::Ar488 : PrologixDriver::Adapter::Prologix, quick());
        ASSERT_TRUE(driver->open(&error)) << error.toStdString();

        testing::ScriptedPlatform platform;
        BusConnection bus(*driver, platform);
        Form1 form;
        FrontPanel panel(form, bus, platform);
        panel.Form_Load();
        panel.Form_Activate();
        EXPECT_EQ(bus.helper().ListenerTable[1], 7);
        EXPECT_TRUE(form.caption.contains(QStringLiteral("DM5110")));
        platform.postEventAt(platform.now() + 1.2, [&panel] { panel.Button_Stop_Click(); });
        panel.Button_Run_Click();
        EXPECT_FALSE(form.Label_ReadOut.caption.trimmed().isEmpty());
        EXPECT_TRUE(platform.messages().empty());

        server.dropConnection();
        // The first call may still find the connection in place; the read at
        // the latest sees that it is gone.
        std::int16_t device = form.state.DeviceHandle;
        EXPECT_EQ(bus.helper().GpibQuery(device, QStringLiteral("SEND")), QString());
        ASSERT_FALSE(platform.messages().empty());
        platform.clearMessages();
        bus.helper().GpibWrite(device, QStringLiteral("INIT"));
        ASSERT_EQ(platform.messages().size(), 1u);
        EXPECT_EQ(platform.messages()[0].title, QStringLiteral("GPIB ERROR # 14"));
    }
}

} // namespace
} // namespace lumodm
