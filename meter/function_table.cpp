#include "meter/function_table.h"

#include <iterator>

namespace lumodm {

namespace {

// Fixed-range counts are per ModelCode: 0 (unknown), 1 DM5010, 2 DM5110, 3 DM5120.
const FunctionRow kFunctions[] = {
    {"DCV", 0, "Voltage DC", "V", {0, 5, 5, 4}},
    {"ACV", 1, "Voltage AC", "V", {0, 5, 5, 4}},
    {"OHMS", 2, "Resistance", "Ohm", {0, 6, 6, 7}},
    {"DIODE", 3, "Diode", "", {0, 0, 0, 0}},
    {"ACDC", 4, "Voltage AC+DC", "V", {0, 5, 0, 0}},
    {"DBM DCV", 5, "Voltage DC dBm", "dBm", {0, 0, 0, 0}},
    {"DBM ACV", 6, "Voltage AC dBm", "dBm", {0, 0, 0, 0}},
    {"DCA", 3, "Current DC", "A", {0, 0, 5, 5}},
    {"ACA", 4, "Current AC", "A", {0, 0, 5, 5}},
    {"DBM", 5, "Voltage AC dBm", "dBm", {0, 0, 0, 0}},
    {"DBV", 6, "Voltage AC dBv", "dBv", {0, 0, 0, 0}},
    {"DB ACV", 5, "Voltage AC dB", "dB", {0, 0, 0, 0}},
    {"DB ACA", 6, "Current AC dB", "dB", {0, 0, 0, 0}},
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

constexpr std::int16_t kDm5010 = 1;
constexpr std::int16_t kDm5110 = 2;
constexpr std::int16_t kDm5120 = 3;

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

QStringList functionListForModel(std::int16_t modelCode)
{
    QStringList list;
    for (const char* code : kCommonList) {
        list.append(QString::fromLatin1(code));
    }
    const char* const* extra = nullptr;
    switch (modelCode) {
    case kDm5010:
        extra = kDm5010List;
        break;
    case kDm5110:
        extra = kDm5110List;
        break;
    case kDm5120:
        extra = kDm5120List;
        break;
    default:
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

bool needsCalcOff(const QString& command, std::int16_t modelCode)
{
    return modelCode == kDm5010 && !command.contains(QLatin1String("DB"), Qt::CaseSensitive);
}

} // namespace lumodm
