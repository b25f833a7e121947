#pragma once

#include "bus/drivers/driver_choice.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace lumodm {

// What the command line asks of the program.
struct CommandLine
{
    DriverSpec driver;
    QString logFile; // --log=FILE: every displayed reading appended as CSV
    bool help = false;
    bool version = false;
};

// A program's own options beyond the common ones (the headless reader's
// --count= and the like): each argument the common parser does not know is
// offered to the handler, which takes it, leaves it, or refuses it with a
// reason.
enum class ExtraOptionResult { NotMine, Taken, Bad };
using ExtraOptionHandler =
    std::function<ExtraOptionResult(const QString& argument, QString& error)>;

struct CommandLineParse
{
    CommandLine options;
    QString error; // set: a bad command line; the program says so and exits 2

    bool ok() const { return error.isEmpty(); }
};

// Parses the arguments after the program name. --help and --version win
// over any error elsewhere on the line.
CommandLineParse parseCommandLine(const QStringList& arguments,
                                  const ExtraOptionHandler& extra = {});

// The text of --help: every option and every driver. `extraHelp` holds the
// program's own option lines, already indented like the others; `headline`
// says what the program is (the front panel's line when empty).
QString commandLineHelp(const QString& program, const QString& extraHelp = {},
                        const QString& headline = {});

// "lumodm 1.1.0"
QString versionText(const QString& program);

// "lumodm: <error>" and where to find help, for standard error.
QString commandLineErrorText(const QString& program, const QString& error);

// The exit status after a bad command line.
constexpr int BadCommandLineStatus = 2;

} // namespace lumodm
