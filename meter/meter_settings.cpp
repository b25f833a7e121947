#include "meter/meter_settings.h"

#include "meter/dm5010_ranges.h"
#include "meter/parse_number.h"
#include "meter/single_precision.h"

namespace lumodm {

namespace {

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
Answer readDm5010(Vbib32Rv& bus, std::int16_t& device)
{
    const QString reply = bus.GpibQuery(device, QStringLiteral("FUNCT?"));
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
        const QString calc = bus.GpibQuery(device, QStringLiteral("CALC?"));
        if (calc.contains(QLatin1String("DBM"))) {
            answer.code = QStringLiteral("DBM ") + answer.code;
        }
    }
    return answer;
}

// DM5110/DM5120: "FUNCT?" names the function, "RANGE?" the range number.
Answer readDm5110Dm5120(Vbib32Rv& bus, std::int16_t& device, MeterModel model)
{
    const QString reply = bus.GpibQuery(device, QStringLiteral("FUNCT?"));
    const qsizetype s = reply.indexOf(QLatin1Char(' ')) + 1; // 0 when none
    QString function = reply.mid(s);
    if (model == MeterModel::DM5120 && function.contains(QLatin1String("DB"))) {
        function = QStringLiteral("DB ") + function.left(3) + QLatin1Char(';');
    }

    Answer answer;
    // Drop the closing character; an empty function part stays empty.
    answer.code = function.left(function.size() - 1);
    const QString range = bus.GpibQuery(device, QStringLiteral("RANGE?"));
    // The same position as in the function answer, whatever this one looks like.
    answer.rangeValue = rangeValueAfter(range, s);
    return answer;
}

} // namespace

MeterSettings readSettings(Vbib32Rv& bus, std::int16_t& device, MeterModel model)
{
    const bool byValue = rangesAsValues(model);
    const Answer answer = byValue ? readDm5010(bus, device) : readDm5110Dm5120(bus, device, model);

    MeterSettings settings;
    settings.functionCode = answer.code;
    settings.group = unitGroupOf(answer.code);
    switch (settings.group) {
    case UnitGroup::Voltage:
        settings.rangeNumber =
            byValue ? dm5010VoltageRangeNumber(answer.rangeValue) : nearestInt16(answer.rangeValue);
        break;
    case UnitGroup::Resistance:
        settings.rangeNumber =
            byValue ? dm5010OhmsRangeNumber(answer.rangeValue) : nearestInt16(answer.rangeValue);
        break;
    case UnitGroup::Current:
        settings.rangeNumber = nearestInt16(answer.rangeValue);
        break;
    case UnitGroup::Diode:
    case UnitGroup::Decibel:
    case UnitGroup::Other:
        break;
    }
    // The list offers exactly the rows of the model's range table.
    if (const RangeTable* table = rangeTableFor(settings.group, model)) {
        settings.rangeCount = static_cast<std::int16_t>(table->rowCount);
    }
    return settings;
}

} // namespace lumodm
