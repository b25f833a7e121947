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

DriverSpec specOf(DriverSpec::Kind kind, const QString& where)
{
    DriverSpec spec;
    spec.kind = kind;
    (kind == DriverSpec::Kind::Simulated ? spec.simulation
     : kind == DriverSpec::Kind::Library ? spec.library
                                         : spec.adapter) = where;
    return spec;
}

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

TEST(DriverFactory, BuildsTheDriverItIsGiven)
{
    FakeAdapterServer server(FakeAdapterServer::Kind::Tcp,
                             createSimulatedBus(QStringLiteral("DM5110@9"), nullptr));
    ASSERT_TRUE(server.start(nullptr));
    const struct
    {
        DriverSpec spec;
        int address;
        const char* model;
    } cases[] = {
        {specOf(DriverSpec::Kind::Simulated, QStringLiteral("DM5120@5")), 5, "DM5120"},
        {specOf(DriverSpec::Kind::Library, QString::fromLatin1(LUMODM_FAKE_GPIB_LINUX)), 16,
         "DM5010"},
        {specOf(DriverSpec::Kind::Prologix, server.target()), 9, "DM5110"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        std::ostringstream trace;
        DriverCreation created = createDriver(c.spec, trace);
        ASSERT_TRUE(created.ok()) << created.errorText.toStdString();
        EXPECT_TRUE(identify(*created.driver, c.address).contains(c.model));
        EXPECT_TRUE(trace.str().empty());
    }
}

TEST(DriverFactory, SaysWhyItCannotBuildADriver)
{
    const struct
    {
        DriverSpec spec;
        const char* start;
        const char* piece;
    } cases[] = {
        {specOf(DriverSpec::Kind::Simulated, QStringLiteral("DM9999")), "", "DM9999"},
        {specOf(DriverSpec::Kind::Library, QStringLiteral("/nonexistent/libgpib.so")), "",
         "/nonexistent/libgpib.so: "},
        {specOf(DriverSpec::Kind::Ar488, QStringLiteral("/nonexistent/ttyUSB7")),
         "Cannot open the GPIB adapter at /nonexistent/ttyUSB7: ", "lumodm --sim"},
    };
    for (const auto& c : cases) {
        std::ostringstream trace;
        const DriverCreation created = createDriver(c.spec, trace);
        SCOPED_TRACE(created.errorText.toStdString());
        EXPECT_FALSE(created.ok());
        EXPECT_EQ(created.errorTitle, QStringLiteral("Initialization Error"));
        EXPECT_TRUE(created.errorText.startsWith(QLatin1String(c.start)));
        EXPECT_TRUE(created.errorText.contains(QLatin1String(c.piece)));
        // A library named by the user is the only one tried.
        EXPECT_FALSE(created.errorText.contains(QStringLiteral("libni4882.so")));
    }

    if (Ni488Driver::load(Ni488Driver::defaultLibraryNames(), nullptr)) {
        GTEST_SKIP() << "a GPIB library is installed here";
    }
    std::ostringstream trace;
    const DriverCreation created = createDriver(DriverSpec(), trace);
    ASSERT_FALSE(created.ok());
    for (const QString& name : Ni488Driver::defaultLibraryNames()) {
        EXPECT_TRUE(created.errorText.contains(name + QStringLiteral(": "))) << name.toStdString();
    }
    EXPECT_TRUE(created.errorText.contains(QStringLiteral("--gpib-library=PATH")));
    EXPECT_TRUE(created.errorText.contains(QStringLiteral("lumodm --sim")));
}

TEST(DriverFactory, TracesEveryDriverWhenAsked)
{
    DriverSpec spec = specOf(DriverSpec::Kind::Simulated, QString());
    spec.trace = true;
    std::ostringstream trace;
    DriverCreation created = createDriver(spec, trace);
    ASSERT_TRUE(created.ok());
    EXPECT_NE(dynamic_cast<TraceDriver*>(created.driver.get()), nullptr);
    identify(*created.driver, 16);
    const std::string text = trace.str();
    EXPECT_EQ(text.rfind("gpib: driver: simulated bus DM5010@16\n", 0), 0u) << text;
    EXPECT_NE(text.find("gpib: ibwrt("), std::string::npos);

    spec = specOf(DriverSpec::Kind::Library, QStringLiteral("/nonexistent/libgpib.so"));
    spec.trace = true;
    std::ostringstream failed;
    EXPECT_FALSE(createDriver(spec, failed).ok());
    EXPECT_EQ(failed.str().rfind("gpib: no driver: ", 0), 0u);
}

} // namespace
} // namespace lumodm
