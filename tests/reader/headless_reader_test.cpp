#include "bus/drivers/sim/sim_bus_factory.h"
#include "reader/headless_reader.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>
#include <tuple>

namespace lumodm::testing {
namespace {

// The unit only with a number; an interval shorter than a reading's waits told once.
TEST(HeadlessReader, PrintsAUnitOnlyForANumberAndTellsAnIntervalTooShort)
{
    // function, signal, count, interval, standard output and error
    const std::tuple<const char*, double, int, double, const char*> cases[] = {
        {"DCV", 2000, 2, 0.2,
         "OVERFLO\n--interval=0.2 is shorter than a reading on the DM5010, whose queries wait "
         "0.3 s: the readings follow one another without a pause\nOVERFLO\n"},
        {"DCV", 1.5, 2, 0.3, " 1.5000 V\n 1.5000 V\n"},
        {"DCV", 1.5, 2, 0, " 1.5000 V\n 1.5000 V\n"},           // no pause asked for
        {"OHMS", 1500, 2, 0.2, " 1.5000 kOhm\n 1.5000 kOhm\n"}, // one question less
    };
    for (const auto& [function, signal, count, interval, expected] : cases) {
        ScriptedPlatform platform;
        const auto bus = createSimulatedBus("DM5010@16", nullptr);
        bus->meterAt(16)->setSignal(function, signal);
        HeadlessReader reader(*bus, platform);
        QString text;
        reader.setOutput([&text](const QByteArray& bytes) { text += QString::fromUtf8(bytes); });
        reader.setErrorOutput([&text](const QString& line) { text += line + '\n'; });
        EXPECT_EQ(reader.run({function, std::nullopt, count, interval}), reader_status::Ok);
        EXPECT_EQ(text, expected) << function << " " << interval;
    }
}

} // namespace
} // namespace lumodm::testing
