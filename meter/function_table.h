#pragma once

#include "meter/meter_model.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace lumodm {

// One measurement function: its code (also the entry of the function
// list), where it stands in the model's list, and what the panel shows
// and sends for it.
struct FunctionRow
{
    const char* code;
    std::int16_t listIndex;
    const char* description; // caption of Label_Func
    const char* unitLabel;   // caption of Label_Prefix
};

// The row for a code (exact, case-sensitive match); nullptr when none.
const FunctionRow* findFunction(const QString& code);

// The function list for a model, in list order (indexes 0..2 only for an
// unknown model).
QStringList functionListForModel(MeterModel model);

// The first command Apply writes for a code: the code itself, except the
// four dB codes ("DBM DCV" -> "DCV;CALC DBM", ...).
QString functionCommand(const QString& code);

// Whether "CALC OFF" follows the first command: on the DM5010, when the
// command does not contain "DB".
bool needsCalcOff(const QString& command, MeterModel model);

} // namespace lumodm
