#include "app/command_line.h"

#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/sim/sim_bus_factory.h"

#ifndef LUMODM_VERSION
#define LUMODM_VERSION "1.1.0"
#endif

namespace lumodm {

namespace {

// The parse in progress: one argument at a time, the first error kept.
class Parser
{
  public:
    Parser(const QStringList& arguments, const ExtraOptionHandler& extra)
        : arguments_(arguments), extra_(extra)
    {
    }

    CommandLineParse run()
    {
        for (index_ = 0; index_ < arguments_.size(); ++index_) {
            take(arguments_[index_]);
        }
        if (result_.options.driver.kind != DriverSpec::Kind::Library &&
            !result_.options.driver.library.isEmpty()) {
            refuse(QStringLiteral("--gpib-library names the library driver; it does not go with %1")
                       .arg(driverOption_));
        }
        if (result_.options.help || result_.options.version) {
            result_.error.clear();
        }
        return result_;
    }

  private:
    void refuse(const QString& error)
    {
        if (result_.error.isEmpty()) {
            result_.error = error;
        }
    }

    // "--name=value" or "--name value"; false (and an error) when absent.
    bool value(const QString& argument, const QString& name, const QString& what, QString* out)
    {
        if (argument == name) {
            if (index_ + 1 >= arguments_.size()) {
                refuse(QStringLiteral("%1 needs %2").arg(name, what));
                return false;
            }
            *out = arguments_[++index_];
        } else {
            *out = argument.mid(name.size() + 1);
        }
        if (out->trimmed().isEmpty()) {
            refuse(QStringLiteral("%1 needs %2").arg(name, what));
            return false;
        }
        return true;
    }

    static bool is(const QString& argument, const char* name)
    {
        const QLatin1String n(name);
        return argument == n || (argument.startsWith(n) && argument.size() > n.size() &&
                                 argument.at(n.size()) == QLatin1Char('='));
    }

    bool chooseDriver(DriverSpec::Kind kind, const QString& option)
    {
        if (!driverOption_.isEmpty()) {
            refuse(driverOption_ == option ? QStringLiteral("%1 is given twice").arg(option)
                                           : QStringLiteral("%1 and %2 name two buses; choose one")
                                                 .arg(driverOption_, option));
            return false;
        }
        driverOption_ = option;
        result_.options.driver.kind = kind;
        return true;
    }

    void takeAdapter(const QString& argument, DriverSpec::Kind kind, const QString& option)
    {
        QString target;
        if (!chooseDriver(kind, option) ||
            !value(argument, option, QStringLiteral("HOST[:PORT] or a serial device"), &target)) {
            return;
        }
        QString error;
        if (!parseAdapterTarget(target, &error)) {
            refuse(option + QStringLiteral(": ") + error);
            return;
        }
        result_.options.driver.adapter = target.trimmed();
    }

    void take(const QString& argument)
    {
        CommandLine& o = result_.options;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            o.help = true;
        } else if (argument == QLatin1String("--version")) {
            o.version = true;
        } else if (argument == QLatin1String("--trace")) {
            o.driver.trace = true;
        } else if (is(argument, "--sim")) {
            if (!chooseDriver(DriverSpec::Kind::Simulated, QStringLiteral("--sim"))) {
                return;
            }
            const QString spec = argument.mid(6);
            QString error;
            if (!createSimulatedBus(spec, &error)) {
                refuse(QStringLiteral("--sim: ") + error);
                return;
            }
            o.driver.simulation = spec.trimmed();
        } else if (is(argument, "--prologix")) {
            takeAdapter(argument, DriverSpec::Kind::Prologix, QStringLiteral("--prologix"));
        } else if (is(argument, "--ar488")) {
            takeAdapter(argument, DriverSpec::Kind::Ar488, QStringLiteral("--ar488"));
        } else if (is(argument, "--gpib-library")) {
            if (!o.driver.library.isEmpty()) {
                refuse(QStringLiteral("--gpib-library is given twice"));
                return;
            }
            value(argument, QStringLiteral("--gpib-library"),
                  QStringLiteral("the path of a library"), &o.driver.library);
        } else if (is(argument, "--log")) {
            if (!o.logFile.isEmpty()) {
                refuse(QStringLiteral("--log is given twice"));
                return;
            }
            value(argument, QStringLiteral("--log"), QStringLiteral("a file name"), &o.logFile);
        } else {
            takeOther(argument);
        }
    }

    void takeOther(const QString& argument)
    {
        if (extra_) {
            QString error;
            switch (extra_(argument, error)) {
            case ExtraOptionResult::Taken:
                return;
            case ExtraOptionResult::Bad:
                refuse(error);
                return;
            case ExtraOptionResult::NotMine:
                break;
            }
        }
        for (const char* flag : {"--help", "--version", "--trace"}) {
            if (argument.startsWith(QLatin1String(flag) + QLatin1Char('='))) {
                refuse(QStringLiteral("%1 takes no value").arg(QLatin1String(flag)));
                return;
            }
        }
        refuse(argument.startsWith(QLatin1Char('-'))
                   ? QStringLiteral("unknown option '%1'").arg(argument)
                   : QStringLiteral("unexpected argument '%1'").arg(argument));
    }

    const QStringList& arguments_;
    const ExtraOptionHandler& extra_;
    qsizetype index_ = 0;
    QString driverOption_;
    CommandLineParse result_;
};

} // namespace

CommandLineParse parseCommandLine(const QStringList& arguments, const ExtraOptionHandler& extra)
{
    return Parser(arguments, extra).run();
}

QString versionText(const QString& program)
{
    return program + QStringLiteral(" ") + QStringLiteral(LUMODM_VERSION);
}

QString commandLineErrorText(const QString& program, const QString& error)
{
    return QStringLiteral("%1: %2\nTry '%1 --help' for more information.").arg(program, error);
}

QString commandLineHelp(const QString& program, const QString& extraHelp, const QString& headline)
{
    QString text = QStringLiteral("Usage: %1 [OPTION]...\n").arg(program);
    text += headline.isEmpty()
                ? QStringLiteral("Front panel for DM5010, DM5110 and DM5120 multimeters on a "
                                 "GPIB bus.\n")
                : headline + QLatin1Char('\n');
    text += QStringLiteral(
        "\n"
        "The bus (at most one of these; without one, the GPIB library):\n"
        "  --sim[=MODEL[@ADDR],...]  the built-in simulated bus with the meters named:\n"
        "                            MODEL is DM5010, DM5110 or DM5120, ADDR a primary\n"
        "                            address from 1 to 30 (16 when left out); --sim\n"
        "                            alone is one DM5010 at address 16\n"
        "  --prologix=HOST[:PORT]    a Prologix GPIB-ETHERNET adapter (port 1234)\n"
        "  --prologix=/dev/ttyUSB0   a Prologix GPIB-USB adapter on a serial device\n"
        "  --ar488=/dev/ttyACM0      an AR488 adapter on a serial device (115200 baud),\n"
        "                            or --ar488=HOST[:PORT] for one on the network\n"
        "  --gpib-library=PATH       load this GPIB library instead of the usual ones\n"
        "\n"
        "Other options:\n"
        "  --trace                   write every bus call with its data and status to\n"
        "                            standard error: how to see why a meter is silent\n"
        "  --log=FILE                append every reading displayed to FILE as CSV\n");
    text += extraHelp;
    text += QStringLiteral(
        "  --help                    show this help and exit\n"
        "  --version                 show the version and exit\n"
        "\n"
        "Drivers:\n"
        "  GPIB library   The default: a GPIB interface board (board 0) through the\n"
        "                 Linux GPIB library (libgpib.so.0), else NI-488.2 for Linux\n"
        "                 (libni4882.so, then libgpibapi.so), loaded when the program\n"
        "                 starts. When none loads, the program says what it tried and\n"
        "                 ends with status 1.\n"
        "  Simulated bus  Meters in memory that answer like the real ones, for trying\n"
        "                 the program without an instrument.\n"
        "  \"++\" adapter   A Prologix or AR488 USB/Ethernet adapter as the bus\n"
        "                 controller. AR488 boards that restart when their port\n"
        "                 opens are waited for (up to 5 s). Finding the meters polls\n"
        "                 each address unless the adapter can list its listeners.\n"
        "\n"
        "Exit status: 0 after a normal end, 1 when the bus cannot be opened or the\n"
        "program ends on a bus failure, 2 after a bad command line.\n");
    return text;
}

} // namespace lumodm
