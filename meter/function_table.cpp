#include "meter/function_table.h"

#include <iterator>

namespace lumodm {

namespace {

const FunctionRow kFunctions[] = {
    {"DCV", 0, "Voltage DC", "V"},           {"ACV", 1, "Voltage AC", "V"},
    {"OHMS", 2, "Resistance", "Ohm"},        {"DIODE", 3, "Diode", ""},
    {"ACDC", 4, "Voltage AC+DC", "V"},       {"DBM DCV", 5, "Voltage DC dBm", "dBm"},
    {"DBM ACV", 6, "Voltage AC dBm", "dBm"}, {"DCA", 3, "Current DC", "A"},
    {"ACA", 4, "Current AC", "A"},           {"DBM", 5, "Voltage AC dBm", "dBm"},
    {"DBV", 6, "Voltage AC dBv", "dBv"},     {"DB ACV", 5, "Voltage AC dB", "dB"},
    {"DB ACA", 6, "Current AC dB", "dB"},
};

const char* const kCommonList[] = {"DCV", "ACV", "OHMS"};
const char* const kDm5010List[] = {"DIODE", "ACDC", "DBM DCV", "DBM ACV"};
const char* const kDm5110List[] = {"DCA", "ACA", "DBM", "DBV"};
const char* const kDm5120List[] = {"DCA", "ACA", "DB ACV", "DB ACA"};
constexpr int kModelEntries = 4;
static_assert(std::size(kDm5010List) == kModelEntries && std::size(kDm5110List) == kModelEntries &&
              std::size(kDm5120List) == kModelEntries);

// The codes whose selecting command is not the code itself.
struct CommandAlias
{
    const char* code;
    const char* command;
};
const CommandAlias kCommandAliases[] = {
    {"DBM DCV", "DCV;CALC DBM"},
    {"DBM ACV", "ACV;CALC DBM"},
    {"DB ACV", "ACVDB"},
    {"DB ACA", "ACADB"},
};

} // namespace

const FunctionRow* findFunction(const QString& code)
{
    for (const FunctionRow& row : kFunctions) {
        if (code == QLatin1String(row.code)) {
            return &row;
        }
    }
    return nullptr;
}

QStringList functionListForModel(MeterModel model)
{
    QStringList list;
    for (const char* code : kCommonList) {
        list.append(QString::fromLatin1(code));
    }
    const char* const* extra = nullptr;
    switch (model) {
    case MeterModel::DM5010:
        extra = kDm5010List;
        break;
    case MeterModel::DM5110:
        extra = kDm5110List;
        break;
    case MeterModel::DM5120:
        extra = kDm5120List;
        break;
    case MeterModel::None:
        break;
    }
    if (extra == nullptr) {
        return list;
    }
    for (int i = 0; i < kModelEntries; ++i) {
        list.append(QString::fromLatin1(extra[i]));
    }
    return list;
}

QString functionCommand(const QString& code)
{
    for (const CommandAlias& alias : kCommandAliases) {
        if (code == QLatin1String(alias.code)) {
            return QString::fromLatin1(alias.command);
        }
    }
    return code;
}

bool needsCalcOff(const QString& command, MeterModel model)
{
    return model == MeterModel::DM5010 && !command.contains(QLatin1String("DB"), Qt::CaseSensitive);
}

} // namespace lumodm
