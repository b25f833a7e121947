#pragma once

#include "app/command_line.h"

#include <QString>

namespace lumodm {

// Options of lumodm that are not for users, so --help leaves them out:
// they make the README screenshot, regenerate the icon files and time the
// start-up.
struct ProgramExtras
{
    QString screenshotFile;  // --screenshot=FILE: run, capture the window, end
    QString iconFolder;      // --write-icons=DIR: write the icon files and end
    bool quitWhenUp = false; // --quit-when-up: end (status 0) once activation is done
};

ExtraOptionResult takeProgramExtra(const QString& argument, ProgramExtras& extras, QString& error);

} // namespace lumodm
