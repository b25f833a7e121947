#include "meter/take_reading.h"

#include "meter/leading_number_check.h"
#include "meter/number_format.h"
#include "meter/parse_number.h"
#include "meter/reading_ranges.h"
#include "meter/settings_readback.h"
#include "meter/single_precision.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace lumodm {

namespace {

constexpr double kOverflowLimit = 9e9;
constexpr std::int16_t kDm5120 = 3;

QString noReadingText()
{
    return QStringLiteral("-------");
}

QString mismatchMessage(const QString& modelName)
{
    const QChar lf(10);
    return QStringLiteral("A mismatch between the program setting and the actual setting of the ") +
           modelName + QStringLiteral(" has been detected.") + lf + lf +
           QStringLiteral("Select Apply to reset the ") + modelName +
           QStringLiteral(" to the program setting") + lf + QString(40, QLatin1Char(' ')) +
           QStringLiteral("or") + lf + QStringLiteral("Refresh to import the ") + modelName +
           QStringLiteral(" setting to the program");
}

// The meter is on another function than the panel shows: stop the run and
// leave the user Apply or Refresh to settle it.
void reportMismatch(MeterContext& context)
{
    Form1& form = context.form;
    context.platform.messageBox(mismatchMessage(form.state.ModelName),
                                QStringLiteral("Settings Error"), MessageButtons::Ok,
                                MessageIcon::Stop);
    form.Menu_Apply.enabled = true;
    form.Button_Apply.enabled = true;
    if (context.stopRun) {
        context.stopRun();
    }
    form.Button_Run.enabled = false;
}

// A Stop or an open range list during the query keeps the reading off the
// display.
bool displayBlocked(const Form1& form)
{
    return form.state.StopRequested != kFalse || form.Combo_Range.visible;
}

void notify(MeterContext& context, ReadingRecord::Kind kind, double value, const QString& raw)
{
    if (!context.readingObserver) {
        return;
    }
    const Form1& form = context.form;
    ReadingRecord record;
    record.kind = kind;
    record.time = std::chrono::system_clock::now();
    record.functionCode = form.state.FunctionCode;
    // The range as the panel shows it, the same on every model: the range
    // list's selection ("Auto" 0), not RangeNumber, which automatic range
    // makes negative on a DM5010 and the chosen row on the others.
    if (form.Label_Range.visible) {
        record.rangeNumber =
            static_cast<std::int16_t>(std::clamp(form.Combo_Range.listIndex(), 0, 32767));
    }
    record.value = value;
    record.unit = form.Label_Prefix.caption;
    record.readoutText = form.Label_ReadOut.caption;
    record.rawAnswer = raw;
    context.readingObserver->readingTaken(record);
}

} // namespace

void TakeReading(MeterContext& context)
{
    Form1& form = context.form;
    PanelState& state = form.state;

    // The user is choosing a range: skip this cycle altogether.
    if (form.Combo_Range.visible) {
        return;
    }
    // The unit and digits follow this confirmed function: FunctionCode may
    // still hold what an earlier, failed read-back left ("").
    const QString function = ReadSettings(context, true);
    if (function != form.Combo_Mode.text()) {
        reportMismatch(context);
        return;
    }

    const QString answer = context.gpib.GpibQuery(state.DeviceHandle, QStringLiteral("SEND"));

    // A failed exchange or an answer without a number is no reading of 0.
    if (!beginsWithNumber(answer)) {
        if (displayBlocked(form)) {
            return;
        }
        form.Label_ReadOut.caption = noReadingText();
        notify(context, ReadingRecord::Kind::NoReading, 0.0, answer);
        return;
    }

    double value = ParseLeadingNumber(answer);
    const bool overflow = std::fabs(value) > kOverflowLimit;
    if (overflow) {
        // After a Stop the readout keeps its hyphens and the unit label
        // stays, an overflow no less than any other answer.
        if (state.StopRequested != kFalse) {
            return;
        }
        form.Label_ReadOut.caption = QStringLiteral("OVERFLO");
    }

    const UnitGroup group = unitGroupOf(function);
    QString unit;
    float digitFormat = 0.0F;
    bool keepUnit = false;

    switch (group) {
    case UnitGroup::Voltage:
    case UnitGroup::Resistance:
    case UnitGroup::Current: {
        if (overflow) {
            form.Label_Prefix.caption = baseUnitOf(group);
            notify(context, ReadingRecord::Kind::Overflow, value, answer);
            return;
        }
        unit = baseUnitOf(group);
        if (usesMilliampPrescale(group, state.ModelCode)) {
            value *= 1000.0;
            unit = QStringLiteral("mA");
        }
        const RangeTable* table = rangeTableFor(group, state.ModelCode);
        const ScaledReading scaled = selectRange(*table, value, unit, state.RangeNumber);
        value = scaled.value;
        unit = scaled.unit;
        digitFormat = scaled.digitFormat;
        if (group == UnitGroup::Voltage && state.ModelCode == kDm5120 &&
            function == QLatin1String("ACV")) {
            digitFormat = lowerDigitFormatForAcv(digitFormat);
        }
        break;
    }
    case UnitGroup::Diode:
    case UnitGroup::Decibel:
        if (overflow) {
            notify(context, ReadingRecord::Kind::Overflow, value, answer);
            return;
        }
        digitFormat = group == UnitGroup::Diode ? 1.4F : 1.2F;
        keepUnit = true;
        break;
    case UnitGroup::Other:
        break;
    }

    if (displayBlocked(form)) {
        if (overflow) {
            notify(context, ReadingRecord::Kind::Overflow, value, answer);
        }
        return;
    }
    if (!keepUnit) {
        form.Label_Prefix.caption = unit;
    }
    // The negated format truncates: digits beyond the shown ones are dropped.
    form.Label_ReadOut.caption = NrToStr(toSingle(value), -digitFormat);
    notify(context, ReadingRecord::Kind::Value, value, answer);
}

} // namespace lumodm
