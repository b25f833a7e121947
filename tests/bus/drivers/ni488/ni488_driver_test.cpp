#include "bus/drivers/ni488/ni488_driver.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

struct Variant
{
    const char* name;
    const char* path;
    const char* description; // how the loader bound it
};

const Variant variants[] = {
    {"linux", LUMODM_FAKE_GPIB_LINUX, "Linux GPIB calls; status from ThreadIbsta"},
    {"ni4882", LUMODM_FAKE_GPIB_NI4882,
     "NI-488.2 calls; ibpad, ibtmo, ibsre through ibconfig; status from ThreadIbsta"},
    {"globals", LUMODM_FAKE_GPIB_GLOBALS, "Linux GPIB calls; status from ibsta"},
    {"legacy", LUMODM_FAKE_GPIB_LEGACY,
     "Linux GPIB calls; ibpad, ibtmo, ibsre through ibconfig; status from registered variables; "
     "registers status variables"},
};

class LoadedLibrary : public ::testing::TestWithParam<Variant>
{
};

// The panel's start-up through each kind of library (a DM5010 at 16, a
// DM5120 at 3): discovery reads the count the library leaves in ibcntl,
// identification reads END, and a failed read brings the library's iberr.
TEST_P(LoadedLibrary, RunsTheStartUpOnTheLibrarysStatus)
{
    QString error;
    std::unique_ptr<Ni488Driver> driver =
        Ni488Driver::load({QString::fromLatin1(GetParam().path)}, &error);
    ASSERT_TRUE(driver) << error.toStdString();
    EXPECT_EQ(driver->description(), QString::fromLatin1(GetParam().description));

    testing::ScriptedPlatform platform;
    Vbib32 gpib(*driver);
    Vbib32Rv rv(gpib, platform);
    rv.DeviceTimeout = gpib::T3s;
    std::int16_t mode = 1;
    rv.InitGpibBus(mode);
    EXPECT_EQ(std::vector<std::int16_t>(rv.ListenerTable.begin(), rv.ListenerTable.begin() + 4),
              (std::vector<std::int16_t>{2, 3, 16, 0}));
    QString query = QStringLiteral("ID?");
    QString expected = QStringLiteral("!DM");
    std::int16_t device = rv.FindInstrument(query, expected);
    ASSERT_NE(device, 0);
    EXPECT_EQ(rv.GpibQuery(device, QStringLiteral("FUNCT?")), QStringLiteral("FUNCT DCV;"));
    int timeout = 0;
    driver->ibask(device, gpib::IbcTMO, &timeout);
    EXPECT_EQ(timeout, gpib::T3s);
    EXPECT_TRUE(platform.messages().empty());

    const int ud = driver->ibdev(0, 7, 0, gpib::T1s, 1, 0);
    char buffer[16];
    EXPECT_EQ(driver->ibrd(ud, buffer, sizeof buffer), gpib::ERR | gpib::TIMO | gpib::CMPL);
    EXPECT_EQ(driver->status().iberr, gpib::EABO);
    EXPECT_EQ(driver->ibdev(0, 31, 0, gpib::T1s, 1, 0), -1);
    EXPECT_EQ(driver->status().iberr, gpib::EARG);
    // A negative length is refused before it becomes a huge size.
    EXPECT_EQ(driver->ibwrt(ud, "X", -1), gpib::ERR);
    EXPECT_EQ(driver->status().iberr, gpib::EARG);
}

INSTANTIATE_TEST_SUITE_P(Variants, LoadedLibrary, ::testing::ValuesIn(variants),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ni488Load, TakesTheFirstUsableLibraryAndSaysWhyOthersFailed)
{
    QString error;
    EXPECT_FALSE(Ni488Driver::load(
        {QStringLiteral("/nonexistent/libgpib.so.0"), QStringLiteral("libm.so.6")}, &error));
    const QStringList lines = error.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("/nonexistent/libgpib.so.0: ") &&
                lines[0].count("libgpib") == 1)
        << lines[0].toStdString();
    // A library that loads but is no GPIB library is refused, not called.
    EXPECT_EQ(lines[1], QStringLiteral("libm.so.6: lacks SendIFC, FindLstn, ibdev, ibclr, ibrsp, "
                                       "ibwrt, ibrd, ibwait, ibask, ibpad or ibconfig, ibtmo or "
                                       "ibconfig, ibsre or ibconfig"));

    const auto driver = Ni488Driver::load({QStringLiteral("libm.so.6"),
                                           QString::fromLatin1(LUMODM_FAKE_GPIB_GLOBALS),
                                           QString::fromLatin1(LUMODM_FAKE_GPIB_LINUX)},
                                          &error);
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->libraryName(), QString::fromLatin1(LUMODM_FAKE_GPIB_GLOBALS));
}

} // namespace
} // namespace lumodm
