#include "connect/connect_session.h"

#include "bus/drivers/ni488/ni488_driver.h"
#include "platform/settings_file.h"

#include <QSettings>
#include <iterator>

namespace lumodm {

namespace {

const QString kGroup = QStringLiteral("Connection");
// Far more connection attempts than anyone makes in one dialog.
constexpr int kMaxAttempts = 1000;
// Long enough for an adapter that is ready; one restarting as its port
// opens is recognised by its ids and waited for in full.
constexpr int kBriefProbeMs = 1000;

const char* const kKinds[] = {"library", "sim", "prologix", "ar488"};

QString key(const char* name)
{
    return kGroup + QLatin1Char('/') + QLatin1String(name);
}

// The one text that names a bus of each kind.
QString& targetOf(DriverSpec& d)
{
    switch (d.kind) {
    case DriverSpec::Kind::Library:
        return d.library;
    case DriverSpec::Kind::Simulated:
        return d.simulation;
    case DriverSpec::Kind::Prologix:
    case DriverSpec::Kind::Ar488:
        break;
    }
    return d.adapter;
}

// Whether a library loads, and why each did not, told without using it.
LibraryReport reportOf(const DriverSpec& line)
{
    LibraryReport report;
    report.names =
        line.library.isEmpty() ? Ni488Driver::defaultLibraryNames() : QStringList{line.library};
    QString error;
    const auto driver = Ni488Driver::load(report.names, &error);
    report.loaded = driver != nullptr;
    report.detail = driver ? driver->libraryName() : error;
    return report;
}

} // namespace

QString connectionFile()
{
    return userSettingsFile(QStringLiteral("LumoDM"), QStringLiteral("Connection"));
}

std::optional<Connection> loadConnection(const QString& file)
{
    if (!settingsFileUsable(file)) {
        return std::nullopt;
    }
    const QSettings s(file, QSettings::IniFormat);
    const QString kind = s.value(key("Bus")).toString();
    Connection c;
    int k = 0;
    constexpr int kinds = static_cast<int>(std::size(kKinds));
    while (k < kinds && kind != QLatin1String(kKinds[k])) {
        ++k;
    }
    if (k == kinds) {
        return std::nullopt;
    }
    c.driver.kind = static_cast<DriverSpec::Kind>(k);
    targetOf(c.driver) = s.value(key("Target")).toString();
    c.driver.meters = MeterSelection::fromText(s.value(key("Address")).toString());
    return c;
}

void saveConnection(const QString& file, const Connection& c)
{
    if (!settingsFileUsable(file)) {
        return;
    }
    QSettings s(file, QSettings::IniFormat);
    DriverSpec d = c.driver;
    s.setValue(key("Bus"), QLatin1String(kKinds[static_cast<int>(d.kind)]));
    s.setValue(key("Target"), targetOf(d));
    s.setValue(key("Address"), d.meters.text());
}

ConnectSession::ConnectSession(QString file, QString program, std::ostream& traceOut)
    : file_(std::move(file)), program_(std::move(program)), traceOut_(traceOut),
      ports_(availableSerialPorts)
{
}

DriverCreation ConnectSession::create(const DriverSpec& line, const Connection& connection,
                                      DriverAdvice advice)
{
    DriverSpec spec = connection.driver;
    spec.trace = line.trace;
    spec.meters = line.meters.any() ? line.meters : connection.driver.meters;
    PlusPlusTimings timings;
    if (connection.briefProbe) {
        timings.startupMs = kBriefProbeMs;
    }
    return createDriver(spec, program_, traceOut_, timings, advice);
}

DriverCreation ConnectSession::open(const DriverSpec& line, bool busGiven, bool choose,
                                    const Chooser& chooser, bool* cancelled)
{
    *cancelled = false;
    if (busGiven && !choose) {
        return createDriver(line, program_, traceOut_);
    }
    const std::optional<Connection> remembered = loadConnection(file_);
    // A failure the chooser shows speaks of what its window offers.
    const DriverAdvice advice = chooser ? DriverAdvice::Chooser : DriverAdvice::CommandLine;
    DriverCreation attempt;
    if (!choose) {
        if (remembered) {
            attempt = create(line, *remembered, advice);
            if (attempt.ok()) {
                return attempt;
            }
        }
        DriverCreation library = createDriver(line, program_, traceOut_);
        if (library.ok()) {
            return library;
        }
        // What failed first says most: the remembered bus, if any.
        if (!remembered) {
            attempt = std::move(library);
        }
        if (!chooser) {
            return attempt;
        }
    }
    ConnectModel model(reportOf(line), ports_(), remembered);
    if (!choose && remembered) {
        model.problem = attempt.errorText;
    }
    for (int i = 0; i < kMaxAttempts; ++i) {
        const std::optional<Connection> choice = chooser(model);
        if (!choice) {
            *cancelled = true;
            return {};
        }
        attempt = create(line, *choice, DriverAdvice::Chooser);
        if (attempt.ok()) {
            chosen_ = choice;
            return attempt;
        }
        model.problem = attempt.errorText;
    }
    *cancelled = true;
    return {};
}

void ConnectSession::remember(const MeterSelection& served)
{
    if (chosen_) {
        chosen_->driver.meters = served;
        saveConnection(file_, *chosen_);
        chosen_.reset();
    }
}

} // namespace lumodm
