#include "session/meter_session.h"

#include "meter/range_command.h"

#include <algorithm>
#include <chrono>

namespace lumodm {

MeterSession::MeterSession(Vbib32Rv& helper, PlatformServices& platform)
    : helper_(helper), platform_(platform)
{
}

void MeterSession::adopt(const MeterIdentity& identity)
{
    identity_ = identity;
}

MeterSettings MeterSession::askSettings()
{
    return readSettings(helper_, identity_.device, identity_.model);
}

MeterSession::ReadBack MeterSession::settle(const MeterSettings& settings, bool keepsLists,
                                            bool showsFunction)
{
    ReadBack result;
    result.functionCode = settings.functionCode;
    lastCode_ = settings.functionCode;
    if (settings.known()) {
        rangeNumber_ = settings.rangeNumber;
        const bool keeps = keepsLists && (settings.group == UnitGroup::Voltage ||
                                          settings.group == UnitGroup::Resistance);
        if (!keeps) {
            result.listRebuilt = true;
            result.rangeCount = settings.rangeCount;
            listEntries_ = 1 + settings.rangeCount;
        }
    }
    // A range beyond the list is cut to the highest entry; a list never
    // filled has none, and the cut stops at 0, which is automatic.
    if (rangeNumber_ >= 1 && rangeNumber_ >= listEntries_) {
        rangeNumber_ = static_cast<std::int16_t>(std::max(listEntries_ - 1, 0));
    }
    result.rangeNumber = rangeNumber_;
    result.row = findFunction(settings.functionCode);

    if (showsFunction) {
        shownFunction_ = settings.functionCode;
        if (result.row != nullptr) {
            unitShown_ = QString::fromUtf8(result.row->unitLabel);
            const QStringList list = functionListForModel(identity_.model);
            if (result.row->listIndex < list.size()) {
                checkedFunction_ = list.at(result.row->listIndex);
            }
        }
    }
    return result;
}

Reading MeterSession::takeReading()
{
    const QString answer = helper_.GpibQuery(identity_.device, QStringLiteral("SEND"));
    // Unit and digits follow the function just confirmed, not an older
    // read-back.
    Reading reading = interpretReading(answer, lastCode_, identity_.model, rangeNumber_);
    reading.time = std::chrono::system_clock::now();
    reading.meterModel = identity_.modelName;
    reading.meterAddress = identity_.address;
    if (reading.kind == Reading::Kind::Value) {
        rangeNumber_ = reading.rangeNumber;
    }
    // Diode and dB readings, and an answer without a number, stand with
    // the unit shown before.
    if (reading.kind != Reading::Kind::NoNumber && !reading.keepsUnitLabel) {
        unitShown_ = reading.unit;
    }
    reading.unit = unitShown_;
    return reading;
}

void MeterSession::sendFunction(const QString& code)
{
    const QString command = functionCommand(code);
    helper_.GpibWrite(identity_.device, command);
    if (needsCalcOff(command, identity_.model)) {
        helper_.GpibWrite(identity_.device, QStringLiteral("CALC OFF"));
    }
    platform_.processEvents(platform_.now());
}

float MeterSession::askPresentRange()
{
    const QString answer = helper_.GpibQuery(identity_.device, rangeQuestion(identity_.model));
    return presentRangeNumber(identity_.model, shownFunction_, answer);
}

bool MeterSession::sendRange(std::int16_t rangeNumber, float present)
{
    if (rangeNumber < 0 || present == static_cast<float>(rangeNumber)) {
        return false;
    }
    helper_.GpibWrite(identity_.device,
                      rangeCommand(identity_.model, shownFunction_, rangeNumber, present));
    return true;
}

void MeterSession::sendInitialize()
{
    helper_.GpibWrite(identity_.device, QStringLiteral("INIT"));
}

} // namespace lumodm
