#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/prologix/serial_transport.h"
#include "bus/drivers/prologix/tcp_transport.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "panel/front_panel.h"
#include "tests/support/fake_adapter_server.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::FakeAdapterOptions;
using testing::FakeAdapterServer;
using testing::ScriptedPlatform;

// Short waits: the fake adapter answers at once, only failures wait.
PlusPlusTimings quick()
{
    PlusPlusTimings t;
    t.connectMs = 2000;
    t.startupMs = 2000;
    t.probeMs = 40;
    t.quietMs = 20;
    t.marginMs = 200;
    t.syncMs = 1000;
    t.discoveryPollMs = 2;
    t.discoveryMarginMs = 30;
    return t;
}

struct Case
{
    const char* name;
    FakeAdapterServer::Kind kind;
    bool ar488;
    int bootLines;
};

class OverTheWire : public ::testing::TestWithParam<Case>
{
  protected:
    void SetUp() override
    {
        FakeAdapterOptions options;
        options.ar488 = GetParam().ar488;
        options.bootLines = GetParam().bootLines;
        options.strayNuls = GetParam().bootLines > 0;
        server = std::make_unique<FakeAdapterServer>(
            GetParam().kind, createSimulatedBus(QStringLiteral("DM5110@7"), nullptr), options);
        QString error;
        ASSERT_TRUE(server->start(&error)) << error.toStdString();

        std::unique_ptr<PlusPlusTransport> transport;
        if (GetParam().kind == FakeAdapterServer::Kind::Tcp) {
            const QStringList parts = server->target().split(QLatin1Char(':'));
            transport = std::make_unique<TcpTransport>(parts[0], parts[1].toUShort(), 2000);
        } else {
            transport = std::make_unique<SerialTransport>(server->target(), 115200);
        }
        driver = std::make_unique<PrologixDriver>(
            std::move(transport),
            GetParam().ar488 ? PrologixDriver::Adapter::Ar488 : PrologixDriver::Adapter::Prologix,
            quick());
        ASSERT_TRUE(driver->open(&error)) << error.toStdString();
    }

    std::unique_ptr<FakeAdapterServer> server;
    std::unique_ptr<PrologixDriver> driver;
};

// The whole panel over the transport: start-up finds and identifies the
// meter, then a run of a simulated second takes readings.
TEST_P(OverTheWire, RunsThePanelEndToEnd)
{
    ScriptedPlatform platform;
    Vbib32 gpib(*driver);
    Vbib32Rv rv(gpib, platform);
    Form1 form;
    FrontPanel panel(form, gpib, rv, platform);
    panel.Form_Load();
    panel.Form_Activate();
    EXPECT_EQ(form.state.ModelCode, 2);
    EXPECT_EQ(rv.ListenerTable[0], 1);
    EXPECT_EQ(rv.ListenerTable[1], 7);
    EXPECT_TRUE(form.caption.contains(QStringLiteral("DM5110")));

    platform.postEventAt(platform.now() + 1.2, [&panel] { panel.Button_Stop_Click(); });
    panel.Button_Run_Click();
    EXPECT_FALSE(form.Label_ReadOut.caption.trimmed().isEmpty());
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_TRUE(server->lines().contains("SEND"));
}

// The adapter goes away: the calls fail with the bus error and the user
// sees the messages, and nothing waits for a connection that is gone.
TEST_P(OverTheWire, ADroppedConnectionEndsInMessagesNotInAHang)
{
    ScriptedPlatform platform;
    Vbib32 gpib(*driver);
    Vbib32Rv rv(gpib, platform);
    std::int16_t device = static_cast<std::int16_t>(driver->ibdev(0, 7, 0, gpib::T3s, 1, 0));
    ASSERT_TRUE(rv.GpibQuery(device, QStringLiteral("ID?")).contains(QStringLiteral("DM5110")));

    server->dropConnection();
    // The first call may still find the connection in place; the read at
    // the latest sees that it is gone.
    EXPECT_EQ(rv.GpibQuery(device, QStringLiteral("SEND")), QString());
    ASSERT_FALSE(platform.messages().empty());
    platform.clearMessages();

    rv.GpibWrite(device, QStringLiteral("INIT"));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, QStringLiteral("GPIB ERROR # 14"));
    EXPECT_EQ(driver->status().iberr, gpib::EBUS);
}

INSTANTIATE_TEST_SUITE_P(
    Transports, OverTheWire,
    ::testing::Values(Case{"EthernetPrologix", FakeAdapterServer::Kind::Tcp, false, 0},
                      Case{"EthernetAr488", FakeAdapterServer::Kind::Tcp, true, 0},
                      Case{"UsbPrologix", FakeAdapterServer::Kind::Pty, false, 0},
                      Case{"UsbAr488RestartingOnOpen", FakeAdapterServer::Kind::Pty, true, 2}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(PrologixTransports, SayWhyTheAdapterCannotBeReached)
{
    // A port on the loopback address that nobody listens on any more.
    quint16 port = 0;
    {
        FakeAdapterServer gone(FakeAdapterServer::Kind::Tcp,
                               createSimulatedBus(QString(), nullptr));
        ASSERT_TRUE(gone.start(nullptr));
        port = gone.target().section(QLatin1Char(':'), 1).toUShort();
    }

    QString error;
    PrologixDriver tcp(std::make_unique<TcpTransport>(QStringLiteral("127.0.0.1"), port, 2000),
                       PrologixDriver::Adapter::Prologix, quick());
    EXPECT_FALSE(tcp.open(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open the GPIB adapter at 127.0.0.1:")))
        << error.toStdString();

    PrologixDriver serial(
        std::make_unique<SerialTransport>(QStringLiteral("/dev/nonexistent-tty"), 115200),
        PrologixDriver::Adapter::Ar488, quick());
    EXPECT_FALSE(serial.open(&error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Cannot open the GPIB adapter at /dev/nonexistent-tty: ")))
        << error.toStdString();
}

} // namespace
} // namespace lumodm
