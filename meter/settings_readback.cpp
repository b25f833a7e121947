#include "meter/settings_readback.h"

#include "meter/function_table.h"
#include "meter/parse_number.h"
#include "meter/single_precision.h"

#include <algorithm>

namespace lumodm {

namespace {

constexpr std::int16_t kDm5010 = 1;
constexpr std::int16_t kDm5120 = 3;

bool isVoltageCode(const QString& code)
{
    return code == QLatin1String("DCV") || code == QLatin1String("ACV") ||
           code == QLatin1String("ACDC");
}

bool hasNoRanges(const QString& code)
{
    static const char* const kCodes[] = {"DIODE", "DBM DCV", "DBM ACV", "DBM",
                                         "DBV",   "DB ACV",  "DB ACA"};
    for (const char* c : kCodes) {
        if (code == QLatin1String(c)) {
            return true;
        }
    }
    return false;
}

// The range value in an answer, read from just after the function answer's
// space position (1-based; 0 reads the whole text).
float rangeValueAfter(const QString& answer, qsizetype spacePosition)
{
    return toSingle(ParseLeadingNumber(QStringView(answer).mid(spacePosition)));
}

struct Answer
{
    QString code;
    float rangeValue = 0.0F;
};

// DM5010: "FUNCT?" answers with the code and the range value together,
// e.g. "DCV 2"; the dBm calculation is a separate setting.
Answer readDm5010(MeterContext& context)
{
    std::int16_t& device = context.form.state.DeviceHandle;
    const QString reply = context.gpib.GpibQuery(device, QStringLiteral("FUNCT?"));
    const qsizetype space = reply.indexOf(QLatin1Char(' '));
    const qsizetype s = space >= 0 ? space + 1 : reply.size();

    Answer answer;
    if (s <= 0) {
        // No answer: an empty code, which no table knows.
        return answer;
    }
    answer.code = reply.left(s - 1);
    answer.rangeValue = rangeValueAfter(reply, s);
    if (!answer.code.isEmpty() && QStringLiteral("DCVACV").contains(answer.code)) {
        const QString calc = context.gpib.GpibQuery(device, QStringLiteral("CALC?"));
        if (calc.contains(QLatin1String("DBM"))) {
            answer.code = QStringLiteral("DBM ") + answer.code;
        }
    }
    return answer;
}

// DM5110/DM5120: "FUNCT?" names the function, "RANGE?" the range number.
Answer readDm5110Dm5120(MeterContext& context)
{
    std::int16_t& device = context.form.state.DeviceHandle;
    const QString reply = context.gpib.GpibQuery(device, QStringLiteral("FUNCT?"));
    const qsizetype s = reply.indexOf(QLatin1Char(' ')) + 1; // 0 when none
    QString function = reply.mid(s);
    if (context.form.state.ModelCode == kDm5120 && function.contains(QLatin1String("DB"))) {
        function = QStringLiteral("DB ") + function.left(3) + QLatin1Char(';');
    }

    Answer answer;
    // Drop the closing character; an empty function part stays empty.
    answer.code = function.left(function.size() - 1);
    const QString range = context.gpib.GpibQuery(device, QStringLiteral("RANGE?"));
    // The same position as in the function answer, whatever this one looks like.
    answer.rangeValue = rangeValueAfter(range, s);
    return answer;
}

QString rangeCaption(std::int16_t rangeNumber)
{
    return QStringLiteral("Range") + QString::number(rangeNumber);
}

} // namespace

void FillRangeList(Form1& form, std::int16_t count)
{
    form.Combo_Range.clear();
    form.Combo_Range.addItem(QStringLiteral("Auto"));
    if (count != 0) {
        form.Label_Range.visible = true;
        for (int i = 1; i <= count; ++i) {
            form.Combo_Range.addItem(QStringLiteral("Range") + QString::number(i));
        }
    } else {
        form.Label_Range.visible = false;
    }
}

QString ReadSettings(MeterContext& context, bool runReading)
{
    Form1& form = context.form;
    PanelState& state = form.state;
    const bool dm5010 = state.ModelCode == kDm5010;
    const Answer answer = dm5010 ? readDm5010(context) : readDm5110Dm5120(context);
    const QString& code = answer.code;

    // A run's own reading only re-selects the voltage and resistance lists.
    // Whether Run is enabled does not tell: a mismatch leaves it disabled
    // while the panel is idle, and a Stop ends the run at once.
    const bool idle = !runReading || state.StopRequested != kFalse;
    if (isVoltageCode(code)) {
        state.RangeNumber =
            dm5010 ? dm5010VoltageRangeNumber(answer.rangeValue) : nearestInt16(answer.rangeValue);
        if (idle) {
            FillRangeList(form, state.ModelCode == kDm5120 ? 4 : 5);
        }
    } else if (code == QLatin1String("OHMS")) {
        state.RangeNumber =
            dm5010 ? dm5010OhmsRangeNumber(answer.rangeValue) : nearestInt16(answer.rangeValue);
        if (idle) {
            FillRangeList(form, state.ModelCode == kDm5120 ? 7 : 6);
        }
    } else if (code == QLatin1String("DCA") || code == QLatin1String("ACA")) {
        state.RangeNumber = nearestInt16(answer.rangeValue);
        FillRangeList(form, 5);
    } else if (hasNoRanges(code)) {
        state.RangeNumber = 0;
        FillRangeList(form, 0);
    }

    if (state.RangeNumber >= 1) {
        // A range beyond the list is cut to the highest entry; a list never
        // filled has none, and the cut stops at 0.
        if (state.RangeNumber >= form.Combo_Range.listCount()) {
            state.RangeNumber =
                static_cast<std::int16_t>(std::max(form.Combo_Range.listCount() - 1, 0));
        }
        form.Label_Range.caption = rangeCaption(state.RangeNumber);
        form.Combo_Range.setListIndex(state.RangeNumber);
    } else {
        form.Label_Range.caption = QStringLiteral("Auto");
        form.Combo_Range.setListIndex(0);
    }
    return code;
}

void UpdateFunction(MeterContext& context)
{
    Form1& form = context.form;
    const QString code = ReadSettings(context);
    form.state.FunctionCode = code;

    if (const FunctionRow* row = findFunction(code)) {
        form.Label_Func.caption = QString::fromUtf8(row->description);
        form.Label_Prefix.caption = QString::fromUtf8(row->unitLabel);
        // Runs Combo_Mode_Click, which may enable Apply; disabled again below.
        form.Combo_Mode.setListIndex(row->listIndex);
    }
    form.state.AppliedFunctionIndex = static_cast<std::int16_t>(form.Combo_Mode.listIndex());

    form.Menu_Apply.enabled = false;
    form.Button_Apply.enabled = false;
    form.Button_Run.enabled = true;
}

} // namespace lumodm
