#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/prologix/serial_transport.h"
#include "bus/drivers/prologix/tcp_transport.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "panel/front_panel.h"
#include "tests/support/fake_adapter_server.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::FakeAdapterServer;

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
        EXPECT_TRUE(server.lines().contains("SEND"));

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

TEST(PrologixTransports, SayWhyTheAdapterCannotBeReached)
{
    // A port on the loopback address that nobody listens on any more.
    QString gone;
    {
        FakeAdapterServer server(FakeAdapterServer::Kind::Tcp, nullptr);
        ASSERT_TRUE(server.start(nullptr));
        gone = server.target();
    }
    for (const QString& target : {gone, QStringLiteral("/dev/nonexistent-tty")}) {
        QString error;
        PrologixDriver driver(transportTo(target), PrologixDriver::Adapter::Prologix, quick());
        EXPECT_FALSE(driver.open(&error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open the GPIB adapter at %1: ")
                                         .arg(target)))
            << error.toStdString();
    }
}

} // namespace
} // namespace lumodm
