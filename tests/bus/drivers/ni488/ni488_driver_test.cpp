#include "bus/drivers/ni488/ni488_driver.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "tests/support/scripted_platform.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::ScriptedPlatform;

// The test's own handle on a fake library the driver has loaded: its
// configuration and call counts live in the one loaded copy.
class FakeLibraryControl
{
  public:
    explicit FakeLibraryControl(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_NOLOAD)) {}
    ~FakeLibraryControl()
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    bool loaded() const { return handle_ != nullptr; }
    int configure(const char* spec)
    {
        auto fn = reinterpret_cast<int (*)(const char*)>(dlsym(handle_, "lumodmFakeConfigure"));
        return fn(spec);
    }
    int calls(const char* name)
    {
        auto fn = reinterpret_cast<int (*)(const char*)>(dlsym(handle_, "lumodmFakeCallCount"));
        return fn(name);
    }
    bool remoteEnabled()
    {
        auto fn = reinterpret_cast<int (*)()>(dlsym(handle_, "lumodmFakeRemoteEnabled"));
        return fn() != 0;
    }

  private:
    void* handle_;
};

struct Variant
{
    const char* name;
    const char* path;
    bool hasIbpad;          // else ibpad, ibtmo and ibsre go through ibconfig
    bool registers;         // the library keeps status in registered variables
    const char* statusFrom; // as the binding describes it
};

const Variant variants[] = {
    {"linux", LUMODM_FAKE_GPIB_LINUX, true, false, "ThreadIbsta"},
    {"ni4882", LUMODM_FAKE_GPIB_NI4882, false, false, "ThreadIbsta"},
    {"globals", LUMODM_FAKE_GPIB_GLOBALS, true, false, "status from ibsta"},
    {"legacy", LUMODM_FAKE_GPIB_LEGACY, false, true, "registered variables"},
};

class LoadedLibrary : public ::testing::TestWithParam<Variant>
{
  protected:
    void SetUp() override
    {
        QString error;
        driver = Ni488Driver::load({QString::fromLatin1(GetParam().path)}, &error);
        ASSERT_TRUE(driver) << error.toStdString();
        control = std::make_unique<FakeLibraryControl>(GetParam().path);
        ASSERT_TRUE(control->loaded());
        ASSERT_EQ(control->configure("DM5010@16,DM5120@3"), 0);
    }

    std::unique_ptr<Ni488Driver> driver;
    std::unique_ptr<FakeLibraryControl> control;
};

// The start-up of the panel through the loaded library: discovery reads
// the count the library leaves in ibcntl, identification reads END, and
// each reply arrives whole.
TEST_P(LoadedLibrary, RunsTheStartUpAndQueriesThroughTheLibrary)
{
    ScriptedPlatform platform;
    Vbib32 gpib(*driver);
    Vbib32Rv rv(gpib, platform);
    rv.DeviceTimeout = gpib::T3s;

    std::int16_t mode = 1;
    rv.InitGpibBus(mode);
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_EQ(rv.ListenerTable[0], 2);
    EXPECT_EQ(rv.ListenerTable[1], 3);
    EXPECT_EQ(rv.ListenerTable[2], 16);
    EXPECT_TRUE(control->remoteEnabled());

    QString query = QStringLiteral("ID?");
    QString expected = QStringLiteral("!DM");
    std::int16_t device = rv.FindInstrument(query, expected);
    ASSERT_NE(device, 0);
    EXPECT_TRUE(rv.GpibQuery(device, QStringLiteral("ID?")).contains(QStringLiteral("DM5120")));
    EXPECT_FALSE(rv.GpibQuery(device, QStringLiteral("FUNCT?")).isEmpty());
    EXPECT_TRUE(platform.messages().empty());

    const bool viaConfig = !GetParam().hasIbpad;
    EXPECT_EQ(control->calls("ibpad") > 0, !viaConfig);
    EXPECT_EQ(control->calls("ibconfig:1") > 0, viaConfig);
    EXPECT_EQ(control->calls("ibconfig:3") > 0, viaConfig);
    EXPECT_EQ(control->calls("ibconfig:11") > 0, viaConfig);
    EXPECT_EQ(control->calls("RegisterGpibGlobalsForThread"), GetParam().registers ? 1 : 0);
    EXPECT_TRUE(driver->description().contains(QLatin1String(GetParam().statusFrom)))
        << driver->description().toStdString();
}

// A read from an empty address fails with the library's error and count,
// which only the status variables carry.
TEST_P(LoadedLibrary, ReadsErrorAndCountFromTheLibrary)
{
    EXPECT_EQ(driver->RegisterGpibGlobalsForThread(), 0);
    const int ud = driver->ibdev(0, 7, 0, gpib::T1s, 1, 0);
    ASSERT_GT(ud, 0);
    char buffer[16];
    const int sta = driver->ibrd(ud, buffer, sizeof buffer);
    EXPECT_EQ(sta & (gpib::ERR | gpib::TIMO), gpib::ERR | gpib::TIMO);
    EXPECT_EQ(driver->status().ibsta, sta);
    EXPECT_EQ(driver->status().iberr, gpib::EABO);

    std::uint16_t addresses[] = {0, 3, 16, 20, gpib::NOADDR};
    std::int16_t found[5] = {-1, -1, -1, -1, -1};
    driver->FindLstn(0, addresses, found, 5);
    EXPECT_EQ(driver->status().ibsta & gpib::ERR, 0);
    EXPECT_EQ(driver->status().ibcntl, 3);
    EXPECT_EQ(found[1], 3);
    EXPECT_EQ(found[2], 16);
    EXPECT_EQ(found[3], -1); // untouched

    // A negative length never reaches the library (it would be a huge size).
    const int before = control->calls("ibwrt");
    EXPECT_EQ(driver->ibwrt(ud, "X", -1) & gpib::ERR, gpib::ERR);
    EXPECT_EQ(driver->status().iberr, gpib::EARG);
    EXPECT_EQ(control->calls("ibwrt"), before);
}

INSTANTIATE_TEST_SUITE_P(Variants, LoadedLibrary, ::testing::ValuesIn(variants),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             return std::string(info.param.name);
                         });

TEST(Ni488Load, NamesEveryLibraryTriedAndWhy)
{
    QString error;
    auto driver = Ni488Driver::load(
        {QStringLiteral("/nonexistent/libgpib.so.0"), QStringLiteral("libm.so.6")}, &error);
    EXPECT_FALSE(driver);
    const QStringList lines = error.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("/nonexistent/libgpib.so.0: ")));
    // A library that loads but is no GPIB library is refused, not called.
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("libm.so.6: lacks SendIFC, FindLstn")))
        << lines[1].toStdString();
}

TEST(Ni488Load, TriesTheLinuxLibraryFirstThenTheVendorOnes)
{
    const QStringList names = Ni488Driver::defaultLibraryNames();
    EXPECT_EQ(names, (QStringList{QStringLiteral("libgpib.so.0"), QStringLiteral("libni4882.so"),
                                  QStringLiteral("libgpibapi.so")}));
}

TEST(Ni488Load, TakesTheFirstUsableLibrary)
{
    QString error;
    auto driver = Ni488Driver::load({QStringLiteral("/nonexistent/libgpib.so.0"),
                                     QString::fromLatin1(LUMODM_FAKE_GPIB_GLOBALS),
                                     QString::fromLatin1(LUMODM_FAKE_GPIB_LINUX)},
                                    &error);
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->libraryName(), QString::fromLatin1(LUMODM_FAKE_GPIB_GLOBALS));
}

} // namespace
} // namespace lumodm
