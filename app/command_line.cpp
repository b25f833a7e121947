#include "app/command_line.h"

#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "platform/checked_file.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHash>
#include <cmath>

#ifndef LUMODM_VERSION
#define LUMODM_VERSION "1.1.0"
#endif

namespace lumodm {

namespace {

// The parse in progress: the options so far, the bus option that chose the
// driver, and the first error (the one the program reports).
struct Line
{
    CommandLine options;
    QString driverOption;
    QString error;

    void refuse(const QString& text)
    {
        if (error.isEmpty()) {
            error = text;
        }
    }
};

using Take = void (*)(Line& line, const QString& option, const QString& value);

enum Offer : unsigned { ToPanel = 1, ToReader = 2, ToBoth = 3, Hidden = 4 };

// One row per option. `value` names a value (nullptr: a switch); `syntax`
// and `help` are its lines in --help, side by side, after `heading` when it
// opens a group.
struct Option
{
    const char* names; // comma-separated, the long name last
    const char* value;
    unsigned offer;
    const char* heading;
    const char* syntax;
    const char* help;
    Take take;
};

constexpr double kMaxInterval = 7 * 24 * 3600.0;
// An error that quotes the value inside it is cut whole to this length.
constexpr int kLongestError = 400;
constexpr int kMaxRange = 99;
// The help's paragraphs, as wide as its table of drivers.
constexpr qsizetype kHelpWidth = 77;

bool nonBlank(Line& line, const QString& option, const QString& value, const char* what)
{
    if (value.trimmed().isEmpty()) {
        line.refuse(QStringLiteral("%1 needs %2").arg(option, QLatin1String(what)));
        return false;
    }
    return true;
}

bool chooseDriver(Line& line, DriverSpec::Kind kind, const QString& option)
{
    if (!line.driverOption.isEmpty()) {
        line.refuse(line.driverOption == option
                        ? QStringLiteral("%1 is given twice").arg(option)
                        : QStringLiteral("%1 and %2 name two buses; choose one")
                              .arg(line.driverOption, option));
        return false;
    }
    line.driverOption = option;
    line.options.driver.kind = kind;
    return true;
}

void takeAdapter(Line& line, DriverSpec::Kind kind, const QString& option, const QString& value)
{
    if (!chooseDriver(line, kind, option) ||
        !nonBlank(line, option, value, "HOST[:PORT] or a serial device")) {
        return;
    }
    QString error;
    if (!parseAdapterTarget(value, &error)) {
        line.refuse(option + QStringLiteral(": ") + error);
        return;
    }
    line.options.driver.adapter = value.trimmed();
}

// A value given once at most, not blank.
void takeOnce(Line& line, const QString& option, const QString& value, const char* what,
              QString& into)
{
    if (!into.isEmpty()) {
        line.refuse(QStringLiteral("%1 is given twice").arg(option));
    } else if (nonBlank(line, option, value, what)) {
        into = value;
    }
}

void takeExtraPath(Line& line, const QString& option, const QString& value, QString& into)
{
    if (nonBlank(line, option, value, "a file or folder name")) {
        into = value;
    }
}

// The first line of the file: a password never stands on the command line.
// Like a private key, a file others may read is refused.
void takePasswordFile(Line& line, const QString& option, const QString& value)
{
    QString file;
    takeOnce(line, option, value, "a file name", file);
    if (file.isEmpty()) {
        return;
    }
    QString reason;
    const std::optional<QByteArray> bytes =
        readCheckedFile(file, file_limits::kPasswordFile, &reason);
    if (!bytes) {
        line.refuse(option + QStringLiteral(": ") + reason);
        return;
    }
    constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther;
    if ((QFile::permissions(file) & kOthers) != 0) {
        line.refuse(
            QStringLiteral("%1: %2 is open to other users; make it private with chmod 600 %2")
                .arg(option, clippedForMessage(file)));
        return;
    }
    const qsizetype end = bytes->indexOf('\n');
    QByteArray first = end < 0 ? *bytes : bytes->left(end);
    while (first.endsWith('\r')) {
        first.chop(1);
    }
    line.options.publish.password = QString::fromUtf8(first);
}

void takeLogFile(Line& line, const QString& option, const QString& value)
{
    takeOnce(line, option, value, "a file name", line.options.logFile);
}

// `text` in lines of at most `width` columns, broken between words.
QString wrapped(const QString& text, qsizetype width)
{
    QString lines;
    qsizetype lineLength = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            lines += QLatin1Char('\n');
            lineLength = 0;
        } else if (lineLength > 0) {
            lines += QLatin1Char(' ');
            ++lineLength;
        }
        lines += word;
        lineLength += word.size();
    }
    return lines + QLatin1Char('\n');
}

const Option kOptions[] = {
    {"sim", "MODEL[@ADDR],...", ToBoth,
     "The bus (at most one of these; without one, the remembered bus,\n"
     "else the GPIB library):",
     "--sim[=MODEL[@ADDR],...]",
     "the built-in simulated bus with the meters named:\n"
     "MODEL is DM5010, DM5110 or DM5120, ADDR a primary\n"
     "address from 1 to 30 (16 when left out); --sim\n"
     "alone is one DM5010 at address 16; fault=NAME\n"
     "after a meter makes it misbehave (see README)",
     [](Line& line, const QString& option, const QString& value) {
         if (!chooseDriver(line, DriverSpec::Kind::Simulated, option)) {
             return;
         }
         QString error;
         if (!createSimulatedBus(value, &error)) {
             line.refuse(option + QStringLiteral(": ") + error);
             return;
         }
         line.options.driver.simulation = value.trimmed();
     }},
    {"prologix", "HOST[:PORT]", ToBoth, nullptr, "--prologix=HOST[:PORT]\n--prologix=/dev/ttyUSB0",
     "a Prologix GPIB-ETHERNET adapter (port 1234)\n"
     "a Prologix GPIB-USB adapter on a serial device",
     [](Line& line, const QString& option, const QString& value) {
         takeAdapter(line, DriverSpec::Kind::Prologix, option, value);
     }},
    {"ar488", "DEVICE", ToBoth, nullptr, "--ar488=/dev/ttyACM0",
     "an AR488 adapter on a serial device (115200 baud),\n"
     "or --ar488=HOST[:PORT] for one on the network",
     [](Line& line, const QString& option, const QString& value) {
         takeAdapter(line, DriverSpec::Kind::Ar488, option, value);
     }},
    {"gpib-library", "PATH", ToBoth, nullptr, "--gpib-library=PATH",
     "load this GPIB library instead of the usual ones",
     [](Line& line, const QString& option, const QString& value) {
         takeOnce(line, option, value, "the path of a library", line.options.driver.library);
     }},
    {"choose", nullptr, ToPanel, nullptr, "--choose",
     "choose the bus in a window, even when one is\n"
     "remembered or the GPIB library loads",
     [](Line& line, const QString&, const QString&) { line.options.choose = true; }},
    {"trace", nullptr, ToBoth, "Other options:", "--trace",
     "write every bus call with its data and status to\n"
     "standard error: how to see why a meter is silent",
     [](Line& line, const QString&, const QString&) { line.options.driver.trace = true; }},
    {"address", "N[,M...]", ToBoth, nullptr, "--address=N[,M...]",
     "look for meters at these GPIB addresses (1 to 30)\n"
     "only: saves a \"++\" adapter polling the others;\n"
     "with several, each meter is served at once",
     [](Line& line, const QString& option, const QString& value) {
         QList<int> addresses;
         if (!line.options.driver.meters.addresses.isEmpty()) {
             line.refuse(QStringLiteral("%1 is given twice").arg(option));
         } else if (!MeterSelection::parseAddresses(value, &addresses)) {
             line.refuse(QStringLiteral("--address takes GPIB addresses from 1 to 30, not '%1'")
                             .arg(clippedForMessage(value)));
         } else {
             line.options.driver.meters.addresses = addresses;
         }
     }},
    {"all", nullptr, ToBoth, nullptr, "--all",
     "serve every supported meter found on the bus at\n"
     "once (among the --address ones, if given)",
     [](Line& line, const QString&, const QString&) { line.options.driver.meters.every = true; }},
    // The panel logs what its readout shows; the reader every reading.
    {"log", "FILE", ToPanel, nullptr, "--log=FILE", "append every reading displayed to FILE as CSV",
     takeLogFile},
    {"log", "FILE", ToReader, nullptr, "--log=FILE", "append every reading taken to FILE as CSV",
     takeLogFile},
    {"readings", nullptr, ToPanel, nullptr, "--readings",
     "open the readings window at start: a big readout,\n"
     "a trend chart and statistics (Ctrl+T opens and\n"
     "closes it)",
     [](Line& line, const QString&, const QString&) { line.options.readings = true; }},
    {"open", "FILE", ToPanel, nullptr, "--open=FILE",
     "show a stored log (CSV) in a readings window:\n"
     "its chart and statistics, with no bus and no meter",
     [](Line& line, const QString& option, const QString& value) {
         takeOnce(line, option, value, "a file name", line.options.openFile);
     }},
    {"publish", "URL", ToBoth, nullptr, "--publish=URL",
     "publish every reading as JSON to an MQTT broker:\n"
     "URL is mqtt://[USER@]HOST[:PORT]/TOPIC, or\n"
     "mqtts:// for TLS; readings go to TOPIC/<model>",
     [](Line& line, const QString& option, const QString& value) {
         takeOnce(line, option, value, "an mqtt:// address", line.options.publish.url);
         QString error;
         const auto target = parsePublishUrl(line.options.publish.url, &error);
         if (!target) {
             line.refuse(option + QStringLiteral(": ") + clippedForMessage(error, kLongestError));
             return;
         }
         if (target->host.size() > kMaxHostName) {
             line.refuse(QStringLiteral("%1: a host name has at most %2 characters")
                             .arg(option, QString::number(kMaxHostName)));
             return;
         }
         line.options.publish.target = *target;
     }},
    {"publish-password-file", "FILE", ToBoth, nullptr, "--publish-password-file=FILE",
     "\nthe broker password for USER: the first line of\n"
     "FILE, else LUMODM_MQTT_PASSWORD from the environment",
     takePasswordFile},
    {"publish-ca", "FILE", ToBoth, nullptr, "--publish-ca=FILE",
     "trust the certificates in FILE for mqtts://\n(default: the system's)",
     [](Line& line, const QString& option, const QString& value) {
         takeOnce(line, option, value, "a file name", line.options.publish.caFile);
     }},
    {"function", "CODE", ToReader, nullptr, "--function=CODE",
     "set this function first (DCV, ACV, OHMS, ...)",
     [](Line& line, const QString& option, const QString& value) {
         // Codes are upper case; "dcv" is taken to mean DCV. Whether the
         // code is one is told once the meter is known, with its codes.
         if (nonBlank(line, option, value, "a function code")) {
             line.options.reader.function = value.trimmed().toUpper();
         }
     }},
    {"range", "N", ToReader, nullptr, "--range=N|auto",
     "then this range (N as in the panel's range list)",
     [](Line& line, const QString&, const QString& value) {
         if (value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
             line.options.reader.range = 0;
             return;
         }
         bool ok = false;
         const int n = value.toInt(&ok);
         if (!ok || n < 1 || n > kMaxRange) {
             line.refuse(QStringLiteral("--range takes auto or a range number from 1, not '%1'")
                             .arg(clippedForMessage(value)));
             return;
         }
         line.options.reader.range = static_cast<std::int16_t>(n);
     }},
    {"count", "N", ToReader, nullptr, "--count=N", "take N readings (default 1; 0: until Ctrl-C)",
     [](Line& line, const QString&, const QString& value) {
         bool ok = false;
         const long long n = value.toLongLong(&ok);
         if (!ok || n < 0) {
             line.refuse(QStringLiteral("--count takes a whole number, 0 for no end, not '%1'")
                             .arg(clippedForMessage(value)));
             return;
         }
         line.options.reader.count = n;
     }},
    {"interval", "SECONDS", ToReader, nullptr, "--interval=SECONDS",
     "from the start of one reading to the next\n(default 1; 0: no pause between readings)",
     [](Line& line, const QString&, const QString& value) {
         bool ok = false;
         const double seconds = value.toDouble(&ok); // "." whatever the locale
         if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kMaxInterval) {
             line.refuse(QStringLiteral("--interval takes seconds from 0 to 604800, not '%1'")
                             .arg(clippedForMessage(value)));
             return;
         }
         line.options.reader.interval = seconds;
     }},
    {"csv", nullptr, ToReader, nullptr, "--csv",
     "print each reading as a row of the log's CSV\ncolumns, after a header row",
     [](Line& line, const QString&, const QString&) { line.options.reader.csv = true; }},
    {"stats", nullptr, ToReader, nullptr, "--stats",
     "at the end, count, mean, deviation, minimum and\n"
     "maximum of the readings on standard error",
     [](Line& line, const QString&, const QString&) { line.options.reader.stats = true; }},
    {"screenshot", "FILE", ToPanel | Hidden, nullptr, nullptr, nullptr,
     [](Line& line, const QString& option, const QString& value) {
         takeExtraPath(line, option, value, line.options.extras.screenshotFile);
     }},
    {"screenshot-after", "SECONDS", ToPanel | Hidden, nullptr, nullptr, nullptr,
     [](Line& line, const QString&, const QString& value) {
         bool ok = false;
         const double seconds = value.toDouble(&ok);
         if (!ok || !(seconds >= 0.0 && seconds <= 600.0)) {
             line.refuse(QStringLiteral("--screenshot-after takes seconds from 0 to 600, not '%1'")
                             .arg(clippedForMessage(value)));
             return;
         }
         line.options.extras.screenshotDelayMs = static_cast<int>(seconds * 1000.0);
     }},
    {"screenshot-tab", "NAME", ToPanel | Hidden, nullptr, nullptr, nullptr,
     [](Line& line, const QString&, const QString& value) {
         line.options.extras.screenshotTab = value.left(40);
     }},
    {"write-icons", "DIR", ToPanel | Hidden, nullptr, nullptr, nullptr,
     [](Line& line, const QString& option, const QString& value) {
         takeExtraPath(line, option, value, line.options.extras.iconFolder);
     }},
    {"quit-when-up", nullptr, ToPanel | Hidden, nullptr, nullptr, nullptr,
     [](Line& line, const QString&, const QString&) { line.options.extras.quitWhenUp = true; }},
    {"h,help", nullptr, ToBoth, nullptr, "--help", "show this help and exit",
     [](Line& line, const QString&, const QString&) { line.options.help = true; }},
    {"version", nullptr, ToBoth, nullptr, "--version", "show the version and exit",
     [](Line& line, const QString&, const QString&) { line.options.version = true; }},
};

bool offers(const Option& row, Program program)
{
    return (row.offer & (program == Program::Panel ? ToPanel : ToReader)) != 0;
}

QStringList namesOf(const Option& row)
{
    return QString::fromLatin1(row.names).split(QLatin1Char(','));
}

// "--name" of "--name=value" or "-name".
QString nameOf(const QString& argument)
{
    const qsizetype dashes = argument.startsWith(QLatin1String("--")) ? 2 : 1;
    return argument.mid(dashes).section(QLatin1Char('='), 0, 0);
}

const Option* optionNamed(Program program, const QString& name)
{
    for (const Option& row : kOptions) {
        if (offers(row, program) && namesOf(row).contains(name)) {
            return &row;
        }
    }
    return nullptr;
}

// What the parser refused, in this program's words and naming the argument
// as it was written.
QString refusal(Program program, const QCommandLineParser& parser, const QStringList& arguments)
{
    const auto written = [&](const QString& name) {
        for (const QString& argument : arguments) {
            if (argument.startsWith(QLatin1Char('-')) && nameOf(argument) == name) {
                return argument;
            }
        }
        return QStringLiteral("--") + name;
    };
    // Qt's parser takes "--" as the end of options; these programs have no
    // arguments to follow it.
    if (arguments.contains(QLatin1String("--"))) {
        return QStringLiteral("unknown option '--'");
    }
    if (!parser.unknownOptionNames().isEmpty()) {
        return QStringLiteral("unknown option '%1'")
            .arg(clippedForMessage(written(parser.unknownOptionNames().constFirst())));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return QStringLiteral("unexpected argument '%1'")
            .arg(clippedForMessage(parser.positionalArguments().constFirst()));
    }
    for (const QString& argument : arguments) {
        const Option* row = optionNamed(program, nameOf(argument));
        if (argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('=')) &&
            row != nullptr && row->value == nullptr) {
            return QStringLiteral("--%1 takes no value").arg(namesOf(*row).constLast());
        }
    }
    return {}; // a value left out: the option itself says what it needs
}

} // namespace

CommandLineParse parseCommandLine(Program program, const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& row : kOptions) {
        if (offers(row, program)) {
            parser.addOption(QCommandLineOption(namesOf(row), QString(),
                                                row.value ? QLatin1String(row.value) : QString()));
        }
    }
    // --sim alone is the default bus; Qt's parser knows no optional values.
    QStringList line{programName(program)};
    for (const QString& argument : arguments) {
        line << (argument == QLatin1String("--sim") ? QStringLiteral("--sim=") : argument);
    }
    Line state;
    const bool parsed = parser.parse(line);
    if (!parsed || !parser.positionalArguments().isEmpty() ||
        arguments.contains(QLatin1String("--"))) {
        state.refuse(refusal(program, parser, arguments));
    }

    QHash<const Option*, qsizetype> used;
    for (const QString& name : parser.optionNames()) {
        const Option* row = optionNamed(program, name);
        QString value;
        if (row->value != nullptr) {
            const QStringList values = parser.values(name);
            const qsizetype n = used[row]++;
            value = n < values.size() ? values.at(n) : QString();
        }
        row->take(state, QStringLiteral("--") + namesOf(*row).constLast(), value);
    }
    CommandLine& o = state.options;
    if (o.driver.kind != DriverSpec::Kind::Library && !o.driver.library.isEmpty()) {
        state.refuse(
            QStringLiteral("--gpib-library names the library driver; it does not go with %1")
                .arg(state.driverOption));
    }
    // A stored log needs no meter: what acts on one has nothing to act on.
    for (const char* meterOption : {"sim", "prologix", "ar488", "gpib-library", "choose", "address",
                                    "all", "trace", "log", "publish"}) {
        if (!o.openFile.isEmpty() && parser.isSet(QLatin1String(meterOption))) {
            state.refuse(QStringLiteral("--open shows a stored log, with no bus; it does not go "
                                        "with --%1")
                             .arg(QLatin1String(meterOption)));
        }
    }
    const PublishOptions& publish = o.publish;
    if (publish.url.isEmpty() &&
        (parser.isSet(QStringLiteral("publish-password-file")) || !publish.caFile.isEmpty())) {
        state.refuse(QStringLiteral("%1 goes with --publish")
                         .arg(publish.caFile.isEmpty() ? QLatin1String("--publish-password-file")
                                                       : QLatin1String("--publish-ca")));
    } else if (!publish.caFile.isEmpty() && !publish.target.tls) {
        state.refuse(QStringLiteral("--publish-ca goes with an mqtts:// address"));
    }
    // Read once here, so that a bad file is told now and not by the TLS
    // library on the link's thread.
    if (QString reason; !publish.caFile.isEmpty() &&
                        !readCheckedFile(publish.caFile, file_limits::kCertificateFile, &reason)) {
        state.refuse(QStringLiteral("--publish-ca: ") + reason);
    }
    if (!parsed) {
        state.refuse(clippedForMessage(parser.errorText(), kLongestError));
    }
    if (o.help || o.version) {
        state.error.clear();
    }
    return {o, state.error};
}

QString programName(Program program)
{
    return program == Program::Panel ? QStringLiteral("lumodm") : QStringLiteral("lumodm-read");
}

QString versionText(Program program)
{
    return programName(program) + QStringLiteral(" ") + QStringLiteral(LUMODM_VERSION);
}

QString commandLineErrorText(Program program, const QString& error)
{
    return QStringLiteral("%1: %2\nTry '%1 --help' for more information.")
        .arg(programName(program), error);
}

QString commandLineHelp(Program program)
{
    const bool panel = program == Program::Panel;
    QString text = QStringLiteral("Usage: %1 [OPTION]...\n").arg(programName(program));
    text += panel ? QStringLiteral("Front panel for DM5010, DM5110 and DM5120 multimeters on a "
                                   "GPIB bus.\n")
                  : QStringLiteral("lumodm-read takes readings from a DM5010, DM5110 or DM5120 "
                                   "without a window.\n");
    for (const Option& row : kOptions) {
        if (!offers(row, program) || (row.offer & Hidden) != 0) {
            continue;
        }
        if (row.heading != nullptr) {
            text += QStringLiteral("\n%1\n").arg(QLatin1String(row.heading));
        }
        const QStringList syntax = QString::fromLatin1(row.syntax).split(QLatin1Char('\n'));
        const QStringList help = QString::fromLatin1(row.help).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < help.size(); ++i) {
            const QString left = i < syntax.size() ? syntax.at(i) : QString();
            // A syntax too long for its column has its help on the lines below.
            text += help.at(i).isEmpty() ? QStringLiteral("  ") + left + QLatin1Char('\n')
                                         : (QStringLiteral("  ") + left).leftJustified(27) +
                                               QLatin1Char(' ') + help.at(i) + QLatin1Char('\n');
        }
    }
    text += QStringLiteral(
        "\n"
        "Drivers:\n"
        "  GPIB library   The default: a GPIB interface board (board 0) through the\n"
        "                 Linux GPIB library (libgpib.so.0), else NI-488.2 for Linux\n"
        "                 (libni4882.so, then libgpibapi.so), loaded when the program\n"
        "                 starts. When none loads, lumodm offers a choice of bus and\n"
        "                 remembers it; lumodm-read says what it tried and ends\n"
        "                 with status 1.\n"
        "  Simulated bus  Meters in memory that answer like the real ones, for trying\n"
        "                 the program without an instrument.\n"
        "  \"++\" adapter   A Prologix or AR488 USB/Ethernet adapter as the bus\n"
        "                 controller. AR488 boards that restart when their port\n"
        "                 opens are waited for (up to 5 s). Finding the meters polls\n"
        "                 each address unless the adapter can list its listeners\n"
        "                 or --address names the one to use.\n"
        "\n");
    QString status = QStringLiteral("Exit status: 0 after a normal end, 1 when the bus cannot be "
                                    "opened or the program ends on a bus failure, 2 after a bad "
                                    "command line.");
    if (panel) {
        status += QStringLiteral(" With --open it ends with status 1 when the log cannot be read.");
    } else {
        status += QStringLiteral(" lumodm-read ends with status 3 when a reading failed, the log "
                                 "(--log) could not be opened or written, or the broker "
                                 "(--publish) did not confirm every reading.");
    }
    return text + wrapped(status, kHelpWidth);
}

} // namespace lumodm
