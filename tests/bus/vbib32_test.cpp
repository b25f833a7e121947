#include "bus/vbib32.h"
#include "tests/support/scripted_driver.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

using Log = std::vector<std::string>;

TEST(Vbib32, RegistrationFollowsTheReturnCodeAndRetriesWhileNotRegistered)
{
    const std::pair<int, Log> cases[] = {
        {0, {"Register", "SendIFC 0", "ibsre 0 1"}},
        {1, {"Register", "Unregister", "Register", "SendIFC 0", "ibsre 0 1"}},
        {2, {"Register", "Unregister", "SendIFC 0", "Register", "ibsre 0 1"}},
        {3, {"Register", "Unregister", "SendIFC 0", "Register", "ibsre 0 1"}},
        {4, {"Register", "SendIFC 0", "Register", "ibsre 0 1"}},
        {-1, {"Register", "SendIFC 0", "Register", "ibsre 0 1"}},
    };
    for (const auto& [code, log] : cases) {
        ScriptedDriver driver;
        driver.registerResults = {code};
        Vbib32 gpib(driver);
        gpib.SendIFC(0);
        gpib.ibsre(0, 1);
        EXPECT_EQ(driver.log, log) << code;
    }
}

TEST(Vbib32, StatusCopiesKeepTheLowSixteenBitsAndDescriptorsMustFit)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    driver.queueOutcome("ibsre", {0x0001A000, 0x10014, 70000}); // ERR and END, ETAB
    driver.queueOutcome("ibsre", {gpib::ERR, -3, -1});
    const std::array<int, 3> copies[] = {{-0x6000, 20, 70000 - 65536},
                                         {-0x8000, -3, -1},
                                         {gpib::CMPL, 0, 0}}; // success clears them again
    for (const auto& expected : copies) {
        gpib.ibsre(0, 1);
        EXPECT_EQ((std::array<int, 3>{gpib.ibsta, gpib.iberr, gpib.ibcnt}), expected);
    }
    driver.failNext("SendIFC", gpib::ENOL);
    gpib.SendIFC(0);
    EXPECT_EQ(gpib.iberr, gpib::ENOL);
    // A descriptor that does not fit is a failure.
    driver.ibdevResults = {-32769, -32768, 32767, 32768};
    for (int ud : {-1, -32768, 32767, -1}) {
        EXPECT_EQ(gpib.ibdev(0, 1, 0, 11, 1, 0), ud);
    }
}

// Every call registers the thread first and hands back the driver's status.
TEST(Vbib32, EachCallRegistersFirstAndCopiesTheStatus)
{
    char bytes[4];
    int value = 0;
    const std::pair<const char*, std::function<void(Vbib32&)>> calls[] = {
        {"ibpad", [](Vbib32& g) { g.ibpad(1, 5); }},
        {"ibclr", [](Vbib32& g) { g.ibclr(1); }},
        {"ibrsp", [&](Vbib32& g) { g.ibrsp(1, bytes); }},
        {"ibwrt", [](Vbib32& g) { g.ibwrt(1, "X", 1); }},
        {"ibrd", [&](Vbib32& g) { g.ibrd(1, bytes, 4); }},
        {"ibwait", [](Vbib32& g) { g.ibwait(1, 0); }},
        {"ibtmo", [](Vbib32& g) { g.ibtmo(1, 11); }},
        {"ibask", [&](Vbib32& g) { g.ibask(1, 3, &value); }}};
    for (const auto& [name, call] : calls) {
        ScriptedDriver driver;
        Vbib32 gpib(driver);
        driver.failNext(name, gpib::ENOL);
        call(gpib);
        EXPECT_EQ(driver.log.front(), "Register") << name;
        EXPECT_EQ(gpib.iberr, driver.status().iberr) << name;
        EXPECT_NE(gpib.iberr, 0) << name;
    }
}

TEST(GpibTimeouts, OneThreeTenStepsFromTenMicrosecondsToAThousandSeconds)
{
    EXPECT_EQ(gpib::timeoutSeconds(0), 0);
    for (int code = 1; code <= 17; ++code) {
        const double seconds = 10e-6 * std::pow(10.0, (code - 1) / 2) * (code % 2 ? 1 : 3);
        EXPECT_NEAR(gpib::timeoutSeconds(code), seconds, seconds * 1e-9) << code;
    }
    // Nonsense codes never mean "wait for ever".
    EXPECT_EQ(gpib::timeoutSeconds(18), 1000);
    EXPECT_EQ(gpib::timeoutSeconds(-1), 1000);
}

} // namespace
} // namespace lumodm::testing
