// ReadSettings and UpdateFunction on any answers to "FUNCT?", "RANGE?" and
// "CALC?", for every model.
//
// Input: byte 0 the model (0..4 as ModelCode -1..3), byte 1 flags (bit 0
// Run enabled, bit 1 UpdateFunction instead of ReadSettings, bits 2..4 the
// read of the first, second, third answer times out, bit 5 a write fails,
// bits 6..7 the range list before the call: none, "Auto" only, 5 or 7
// ranges), then the answers in query order, separated by zero bytes.
#include "bus/gpib_driver.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/function_table.h"
#include "meter/meter_context.h"
#include "meter/settings_readback.h"
#include "platform/platform_services.h"

#include <QByteArray>
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
    const auto model = static_cast<std::int16_t>(data[0] % 5 - 1);
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
    lumodm::Vbib32 gpib(driver);
    lumodm::Vbib32Rv helper(gpib, platform);
    lumodm::Form1 form;
    form.state.ModelCode = model;
    form.state.DeviceHandle = 17;
    form.Button_Run.enabled = (flags & 1u) != 0;
    const int listBefore = static_cast<int>(flags >> 6);
    if (listBefore > 0) {
        const std::int16_t ranges[] = {0, 0, 5, 7};
        lumodm::FillRangeList(form, ranges[listBefore]);
    }
    for (const QString& code : lumodm::functionListForModel(model)) {
        form.Combo_Mode.addItem(code);
    }
    lumodm::MeterContext context{form, helper, platform, [] {}, nullptr};

    try {
        if (flags & 2u) {
            lumodm::UpdateFunction(context);
            check(!form.Button_Apply.enabled && form.Button_Run.enabled);
            const lumodm::FunctionRow* row = lumodm::findFunction(form.state.FunctionCode);
            if (row != nullptr && row->listIndex < form.Combo_Mode.listCount()) {
                check(form.Combo_Mode.listIndex() == row->listIndex);
            }
        } else {
            const QString code = lumodm::ReadSettings(context);
            // A code from the table brings a list of its own size.
            const lumodm::FunctionRow* row = lumodm::findFunction(code);
            if (row != nullptr && form.Button_Run.enabled && model >= 1 && model <= 3 &&
                lumodm::functionListForModel(model).contains(code)) {
                check(form.Combo_Range.listCount() == 1 + row->fixedRanges[model]);
            }
        }
    } catch (const ProgramEnded&) {
        return 0;
    }

    // Two questions at most, and the range selection stays inside the list.
    check(driver.queries <= 2);
    const int count = form.Combo_Range.listCount();
    const int selected = form.Combo_Range.listIndex();
    check(selected >= -1 && selected < (count > 0 ? count : 1));
    if (form.state.RangeNumber >= 1) {
        check(form.state.RangeNumber < count);
    }
    // A number cut to a list that holds only "Auto" keeps its "Range" caption.
    check(form.Label_Range.caption == QLatin1String("Auto") ||
          form.Label_Range.caption ==
              QStringLiteral("Range") + QString::number(form.state.RangeNumber));
    return 0;
}
