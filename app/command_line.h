#pragma once

#include "bus/drivers/driver_choice.h"
#include "publish/publish_target.h"
#include "reader/reader_options.h"

#include <QString>
#include <QStringList>

namespace lumodm {

// The two programs share one table of options; each option says which of
// them offers it.
enum class Program { Panel, Reader };

// Options of lumodm that are not for users, so --help leaves them out:
// they make the README screenshot, regenerate the icon files and time the
// start-up.
struct ProgramExtras
{
    QString screenshotFile;       // --screenshot=FILE: run, capture the window, end
    int screenshotDelayMs = 2500; // --screenshot-after=SECONDS of the run before it
    QString screenshotTab;        // --screenshot-tab=NAME: the readings window's tab shown
    QString iconFolder;           // --write-icons=DIR: write the icon files and end
    bool quitWhenUp = false;      // --quit-when-up: end (status 0) once activation is done
};

// What the command line asks of the program.
struct CommandLine
{
    DriverSpec driver;
    QString logFile;        // --log=FILE: every displayed reading appended as CSV
    bool readings = false;  // --readings: the readings window opens at start
    QString openFile;       // --open=FILE: a stored log in a readings window, no bus
    bool choose = false;    // --choose: the connection chooser, whatever is remembered
    PublishOptions publish; // --publish=URL and its companions
    bool help = false;
    bool version = false;
    ReaderOptions reader; // lumodm-read's own
    ProgramExtras extras; // lumodm's own
};

struct CommandLineParse
{
    CommandLine options;
    QString error; // set: a bad command line; the program says so and exits 2

    bool ok() const { return error.isEmpty(); }
};

// Whether the line names the bus (one of the bus options, or --gpib-library).
inline bool namesBus(const DriverSpec& driver)
{
    return driver.kind != DriverSpec::Kind::Library || !driver.library.isEmpty();
}

// Parses the arguments after the program name. --help and --version win
// over any error elsewhere on the line.
CommandLineParse parseCommandLine(Program program, const QStringList& arguments);

// The text of --help: what the program is, every option it offers and every
// driver.
QString commandLineHelp(Program program);

// "lumodm" or "lumodm-read"
QString programName(Program program);

// "lumodm 1.1.0"
QString versionText(Program program);

// "lumodm: <error>" and where to find help, for standard error.
QString commandLineErrorText(Program program, const QString& error);

// The exit status after a bad command line.
constexpr int BadCommandLineStatus = 2;

} // namespace lumodm
