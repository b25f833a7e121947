#include "readings/engineering_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

namespace lumodm::testing {
namespace {

const std::optional<int> General;

TEST(EngineeringText, RoundsToItsDigitsWithAPrefixThatKeepsThemInView)
{
    const std::tuple<double, const char*, std::optional<int>, int, const char*> table[] = {
        {0.0, "V", -4, 0, "0.0 mV"},
        {3e-4, "V", -4, 0, "0.3 mV"},
        {-2e-5, "V", -4, 0, "0.0 mV"},
        {1499.96, "Ohm", -1, 0, "1.5000 kOhm"},
        {12.345e6, "Ohm", 2, 0, "12.3450 MOhm"},
        {0.0125, "A", -7, 0, "12.5000 mA"},
        {-12.3456, "dBm", -3, 0, "-12.346 dBm"},
        {0.61253, "", -5, 0, "0.61253"},
        {9.9996, "V", General, 4, "10.00 V"},
        {0.25, "V", General, 0, "250.0000 mV"},
        {NAN, "V", -4, 0, "-"},
        {-INFINITY, "dB", General, 4, "-"},
        {1e300, "V", -4, 0, "1.000000e+300 V"},
        {1e-300, "V", General, 4, "1.000e-300 V"},
        {-5e20, "dBm", -2, 0, "-5.000000e+20 dBm"}};
    for (const auto& [value, unit, finest, significant, text] : table) {
        EXPECT_EQ(engineeringText(value, QString::fromUtf8(unit), {finest, significant}),
                  QString::fromUtf8(text))
            << value;
    }
}

TEST(EngineeringText, ResolutionIsTheReadoutsLastDigitInTheBaseUnit)
{
    const std::tuple<float, const char*, const char*, std::optional<int>, const char*> table[] = {
        {1.4F, "V", "V", -4, ""},
        {1.2F, "mV", "V", -5, "x"},
        {1.4F, "kOhm", "Ohm", -2, " 1.49998E+3"}, // the answer's finer digit: 10^-2
        {1.3F, "MOhm", "Ohm", 3, "+1.5E+6"},
        {1.2F, "µA", "A", -8, "-1.2345E-2"}, // coarser than the readout
        {1.2F, "dBm", "dBm", -2, ""},
        {1.4F, "V", "V", -6, "1.499987"},
        {1.4F, "V", "V", -9, "1.49998e-4"},
        {1.4F, "V", "V", -40, ".5E-999999999999"}, // saturated
        {0.0F, "V", "V", General, "1.49998E+0"},
        {-0.1F, "V", "V", General, ""},
        {1.4F, "xV", "V", General, ""},
    };
    for (const auto& [format, unit, base, exponent, answer] : table) {
        Reading reading;
        reading.digitFormat = format;
        reading.unit = QString::fromUtf8(unit);
        reading.baseUnit = QString::fromUtf8(base);
        reading.rawAnswer = QString::fromUtf8(answer);
        EXPECT_EQ(resolutionExponent(reading), exponent) << unit << format << answer;
    }
}

} // namespace
} // namespace lumodm::testing
