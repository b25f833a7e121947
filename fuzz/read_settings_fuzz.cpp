// The settings read-back on any answers to "FUNCT?", "RANGE?" and "CALC?",
// for every model.
//
// Input: byte 0 the model (0..3: none, DM5010, DM5110, DM5120), byte 1
// flags (bits 2..4 the read of the first, second, third answer times out,
// bit 5 a write fails), then the answers in query order, separated by zero
// bytes.
#include "bus/bus_connection.h"
#include "bus/gpib_driver.h"
#include "meter/meter_settings.h"
#include "platform/platform_services.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

struct ProgramEnded
{
};

// Time moves on with every look at the clock, so each wait ends.
class FuzzPlatform : public lumodm::PlatformServices
{
  public:
    lumodm::MessageAnswer messageBox(const QString&, const QString&, lumodm::MessageButtons,
                                     lumodm::MessageIcon) override
    {
        ++boxes;
        return lumodm::MessageAnswer::Ok;
    }
    void processEvents(double) override {}
    double now() override { return clock += 0.05; }
    QString readSetting(const QString&, const QString&, const QString&,
                        const QString& defaultValue) override
    {
        return defaultValue;
    }
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}
    [[noreturn]] void endProgram(int) override { throw ProgramEnded(); }

    double clock = 0;
    int boxes = 0;
};

// Answers each query from the fuzz input, in order, in pieces of at most
// the read's count; END comes with the last piece.
class FuzzDriver : public lumodm::GpibDriver
{
  public:
    std::vector<QByteArray> answers;
    unsigned timeoutMask = 0;
    bool failWrite = false;
    int queries = 0;

    int SendIFC(int) override { return ok(); }
    int ibsre(int, int) override { return ok(); }
    int FindLstn(int, const std::uint16_t*, std::int16_t*, int) override { return ok(); }
    int ibdev(int, int, int, int, int, int) override { return ok(); }
    int ibpad(int, int) override { return ok(); }
    int ibclr(int) override { return ok(); }
    int ibrsp(int, char*) override { return ok(); }
    int ibwrt(int, const char*, long) override
    {
        current_ = queries < static_cast<int>(answers.size()) ? answers[queries] : QByteArray();
        timedOut_ = (timeoutMask >> queries) & 1u;
        ++queries;
        offset_ = 0;
        if (failWrite) {
            return fail(lumodm::gpib::ENOL, 0);
        }
        return ok();
    }
    int ibrd(int, char* buffer, long count) override
    {
        if (timedOut_) {
            return fail(lumodm::gpib::EABO, lumodm::gpib::TIMO);
        }
        const long left = static_cast<long>(current_.size()) - offset_;
        const long n = left < count ? left : count;
        if (n > 0) {
            std::memcpy(buffer, current_.constData() + offset_, static_cast<std::size_t>(n));
        }
        offset_ += n;
        status_ = {lumodm::gpib::CMPL | (offset_ >= current_.size() ? lumodm::gpib::END : 0), 0, n};
        return status_.ibsta;
    }
    int ibwait(int, int) override { return ok(); }
    int ibtmo(int, int) override { return ok(); }
    int ibask(int, int, int* value) override
    {
        *value = lumodm::gpib::T3s;
        return ok();
    }

  private:
    int ok()
    {
        status_ = {lumodm::gpib::CMPL, 0, 0};
        return status_.ibsta;
    }
    int fail(int error, int extra)
    {
        status_ = {lumodm::gpib::ERR | lumodm::gpib::CMPL | extra, error, 0};
        return status_.ibsta;
    }

    QByteArray current_;
    long offset_ = 0;
    bool timedOut_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const auto model = static_cast<lumodm::MeterModel>(data[0] % 4);
    const unsigned flags = data[1];

    FuzzDriver driver;
    driver.timeoutMask = (flags >> 2) & 7u;
    driver.failWrite = (flags & 0x20u) != 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 2),
                          static_cast<qsizetype>(size - 2));
    for (const QByteArray& answer : rest.split('\0')) {
        driver.answers.push_back(answer);
    }

    FuzzPlatform platform;
    lumodm::BusConnection connection(driver, platform);
    lumodm::Vbib32Rv& helper = connection.helper();
    std::int16_t device = 17;
    lumodm::MeterSettings settings;
    try {
        settings = lumodm::readSettings(helper, device, model);
    } catch (const ProgramEnded&) {
        return 0;
    }

    // Two questions at most; a code no table knows settles nothing, and a
    // known one brings the list its model's table holds.
    check(driver.queries <= 2);
    using lumodm::UnitGroup;
    const bool dm5120 = model == lumodm::MeterModel::DM5120;
    int expectedCount = 0;
    switch (settings.group) {
    case UnitGroup::Voltage:
        expectedCount = dm5120 ? 4 : 5;
        break;
    case UnitGroup::Resistance:
        expectedCount = dm5120 ? 7 : 6;
        break;
    case UnitGroup::Current:
        expectedCount = 5;
        break;
    case UnitGroup::Diode:
    case UnitGroup::Decibel:
    case UnitGroup::Other:
        check(settings.rangeNumber == 0);
        break;
    }
    check(settings.rangeCount == expectedCount);
    check(settings.known() == (lumodm::unitGroupOf(settings.functionCode) != UnitGroup::Other));
    return 0;
}
