#include "bus/drivers/driver_factory.h"
#include "bus/drivers/ni488/ni488_driver.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/drivers/trace_driver.h"
#include "tests/support/fake_adapter_server.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumodm {
namespace {

using testing::FakeAdapterServer;

// The meter's answer to "ID?" through whatever driver was built.
QByteArray identify(GpibDriver& driver, int address)
{
    const int ud = driver.ibdev(0, address, 0, gpib::T3s, 1, 0);
    driver.ibwrt(ud, "ID?", 3);
    char buffer[256];
    driver.ibrd(ud, buffer, sizeof buffer);
    return QByteArray(buffer, static_cast<qsizetype>(std::clamp<std::int64_t>(
                                  driver.status().ibcntl, 0, sizeof buffer)));
}

TEST(DriverFactory, BuildsTheSimulatedBusItIsGiven)
{
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Simulated;
    spec.simulation = QStringLiteral("DM5120@5");
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    ASSERT_TRUE(c.ok());
    EXPECT_TRUE(identify(*c.driver, 5).contains("DM5120"));
    EXPECT_TRUE(trace.str().empty());
}

TEST(DriverFactory, RefusesAnUnknownSimulatedMeter)
{
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Simulated;
    spec.simulation = QStringLiteral("DM9999");
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    EXPECT_FALSE(c.ok());
    EXPECT_EQ(c.errorTitle, QStringLiteral("Initialization Error"));
    EXPECT_TRUE(c.errorText.contains(QStringLiteral("DM9999")));
}

TEST(DriverFactory, LoadsTheLibraryItIsGiven)
{
    DriverSpec spec;
    spec.library = QString::fromLatin1(LUMODM_FAKE_GPIB_LINUX);
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    ASSERT_TRUE(c.ok()) << c.errorText.toStdString();
    EXPECT_TRUE(identify(*c.driver, 16).contains("DM5010"));
}

TEST(DriverFactory, NamesWhatItTriedWhenNoLibraryLoads)
{
    DriverSpec spec;
    if (Ni488Driver::load(Ni488Driver::defaultLibraryNames(), nullptr)) {
        GTEST_SKIP() << "a GPIB library is installed here";
    }
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(c.errorTitle, QStringLiteral("Initialization Error"));
    for (const QString& name : Ni488Driver::defaultLibraryNames()) {
        EXPECT_TRUE(c.errorText.contains(name + QStringLiteral(": "))) << name.toStdString();
    }
    EXPECT_TRUE(c.errorText.contains(QStringLiteral("--gpib-library=PATH")));
    EXPECT_TRUE(c.errorText.contains(QStringLiteral("lumodm --sim")));

    spec.library = QStringLiteral("/nonexistent/libgpib.so");
    c = createDriver(spec, trace);
    EXPECT_TRUE(c.errorText.contains(QStringLiteral("/nonexistent/libgpib.so: ")));
    EXPECT_FALSE(c.errorText.contains(QStringLiteral("libni4882.so")));
}

TEST(DriverFactory, ConnectsToAnAdapterAndSaysWhyWhenItCannot)
{
    FakeAdapterServer server(FakeAdapterServer::Kind::Tcp,
                             createSimulatedBus(QStringLiteral("DM5110@9"), nullptr));
    ASSERT_TRUE(server.start(nullptr));
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Prologix;
    spec.adapter = server.target();
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    ASSERT_TRUE(c.ok()) << c.errorText.toStdString();
    EXPECT_TRUE(identify(*c.driver, 9).contains("DM5110"));

    spec.adapter = QStringLiteral("/nonexistent/ttyUSB7");
    spec.kind = DriverSpec::Kind::Ar488;
    c = createDriver(spec, trace);
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(c.errorTitle, QStringLiteral("Initialization Error"));
    EXPECT_TRUE(c.errorText.startsWith(
        QStringLiteral("Cannot open the GPIB adapter at /nonexistent/ttyUSB7: ")));
    EXPECT_TRUE(c.errorText.contains(QStringLiteral("lumodm --sim")));
}

TEST(DriverFactory, TracesEveryDriverWhenAsked)
{
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Simulated;
    spec.trace = true;
    std::ostringstream trace;
    DriverCreation c = createDriver(spec, trace);
    ASSERT_TRUE(c.ok());
    EXPECT_NE(dynamic_cast<TraceDriver*>(c.driver.get()), nullptr);
    identify(*c.driver, 16);
    const std::string text = trace.str();
    EXPECT_EQ(text.rfind("gpib: driver: simulated bus DM5010@16\n", 0), 0u) << text;
    EXPECT_NE(text.find("gpib: ibwrt("), std::string::npos);

    spec.kind = DriverSpec::Kind::Library;
    spec.library = QStringLiteral("/nonexistent/libgpib.so");
    std::ostringstream failed;
    EXPECT_FALSE(createDriver(spec, failed).ok());
    EXPECT_EQ(failed.str().rfind("gpib: no driver: ", 0), 0u);
}

} // namespace
} // namespace lumodm
