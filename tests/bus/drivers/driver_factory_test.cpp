#include "bus/drivers/driver_factory.h"
#include "bus/drivers/ni488/ni488_driver.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "tests/support/fake_adapter_server.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumodm {
namespace {

using Kind = DriverSpec::Kind;

// The driver `kind` names at `where`, built with or without a trace; the
// meter's answer to "ID?" at `address` through it, or the error text.
std::string build(Kind kind, const QString& where, int address, std::ostream& trace,
                  bool traced = false)
{
    DriverSpec spec;
    spec.kind = kind;
    spec.trace = traced;
    (kind == Kind::Simulated ? spec.simulation
     : kind == Kind::Library ? spec.library
                             : spec.adapter) = where;
    DriverCreation created = createDriver(spec, trace);
    if (!created.ok()) {
        EXPECT_EQ(created.errorTitle, QStringLiteral("Initialization Error"));
        return created.errorText.toStdString();
    }
    GpibDriver& driver = *created.driver;
    const int ud = driver.ibdev(0, address, 0, gpib::T3s, 1, 0);
    driver.ibwrt(ud, "ID?", 3);
    char buffer[256];
    driver.ibrd(ud, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(std::clamp<std::int64_t>(
                                   driver.status().ibcntl, 0, sizeof buffer)));
}

TEST(DriverFactory, BuildsTheDriverItIsGivenOrSaysWhyNot)
{
    testing::FakeAdapterServer server(testing::FakeAdapterServer::Kind::Tcp,
                                      createSimulatedBus(QStringLiteral("DM5110@9"), nullptr));
    ASSERT_TRUE(server.start(nullptr));
    const struct
    {
        Kind kind;
        QString where;
        int address;
        const char* start; // of the answer or the error
        const char* piece;
        const char* trace; // its start; nullptr: built without a trace
    } cases[] = {
        {Kind::Simulated, QStringLiteral("DM5120@5"), 5, "ID LUMO/DM5120", "", nullptr},
        {Kind::Simulated, QString(), 16, "ID LUMO/DM5010", "",
         "gpib: driver: simulated bus DM5010@16\ngpib: ibdev("},
        {Kind::Library, QStringLiteral(LUMODM_FAKE_GPIB_LINUX), 16, "ID LUMO/DM5010", "",
         "gpib: driver: library /"},
        {Kind::Prologix, server.target(), 9, "ID LUMO/DM5110", "",
         "gpib: driver: \"++\" adapter at 127.0.0.1:"},
        {Kind::Simulated, QStringLiteral("DM9999"), 0,
         "The simulated bus cannot be set up: unknown simulated meter \"DM9999\"", "lumodm --help",
         nullptr},
        // A library the user names is the only one tried.
        {Kind::Library, QStringLiteral("/nonexistent/libgpib.so"), 0,
         "No GPIB driver library could be loaded.\n\nTried:\n/nonexistent/libgpib.so: ",
         "name the library with --gpib-library=PATH.\nTo try",
         "gpib: no driver: No GPIB driver library"},
        {Kind::Ar488, QStringLiteral("/nonexistent/ttyUSB7"), 0,
         "Cannot open the GPIB adapter at /nonexistent/ttyUSB7: ",
         "Check the adapter's cable, power and address.\nTo try the program without a GPIB "
         "interface, start it on the simulated bus: lumodm --sim.",
         nullptr},
        // A port on the loopback address that nobody listens on.
        {Kind::Prologix, QStringLiteral("127.0.0.1:1"), 0,
         "Cannot open the GPIB adapter at 127.0.0.1:1: ", "", nullptr},
        {Kind::Prologix, QStringLiteral("host:99999"), 0,
         "The GPIB adapter cannot be used: \"host:99999\"", "", nullptr},
    };
    for (const auto& c : cases) {
        std::ostringstream trace;
        const std::string got = build(c.kind, c.where, c.address, trace, c.trace != nullptr);
        EXPECT_EQ(got.rfind(c.start, 0), 0u) << got;
        EXPECT_NE(got.find(c.piece), std::string::npos) << got;
        EXPECT_EQ(got.find("libni4882.so"), std::string::npos) << got;
        EXPECT_EQ(trace.str().rfind(c.trace != nullptr ? c.trace : "", 0), 0u) << trace.str();
        EXPECT_EQ(trace.str().empty(), c.trace == nullptr);
    }

    if (Ni488Driver::load(Ni488Driver::defaultLibraryNames(), nullptr)) {
        GTEST_SKIP() << "a GPIB library is installed here";
    }
    std::ostringstream trace;
    const std::string got = build(Kind::Library, QString(), 16, trace);
    for (const QString& name : Ni488Driver::defaultLibraryNames()) {
        EXPECT_NE(got.find(name.toStdString() + ": "), std::string::npos) << got;
    }
}

} // namespace
} // namespace lumodm
