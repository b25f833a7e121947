#include "qt/program_extras.h"

namespace lumodm {

namespace {

// "--name=VALUE": true and the value when `argument` is that option.
bool valueOf(const QString& argument, const QLatin1String& name, QString* value)
{
    if (!argument.startsWith(name) || argument.size() <= name.size() ||
        argument.at(name.size()) != QLatin1Char('=')) {
        return false;
    }
    *value = argument.mid(name.size() + 1);
    return true;
}

} // namespace

ExtraOptionResult takeProgramExtra(const QString& argument, ProgramExtras& extras, QString& error)
{
    QString value;
    if (argument == QLatin1String("--quit-when-up")) {
        extras.quitWhenUp = true;
        return ExtraOptionResult::Taken;
    }
    QString* target = nullptr;
    if (valueOf(argument, QLatin1String("--screenshot"), &value)) {
        target = &extras.screenshotFile;
    } else if (valueOf(argument, QLatin1String("--write-icons"), &value)) {
        target = &extras.iconFolder;
    } else {
        return ExtraOptionResult::NotMine;
    }
    if (value.trimmed().isEmpty()) {
        error = argument.left(argument.indexOf(QLatin1Char('='))) +
                QStringLiteral(" needs a file or folder name");
        return ExtraOptionResult::Bad;
    }
    *target = value;
    return ExtraOptionResult::Taken;
}

} // namespace lumodm
