#include "platform/qt_core_platform.h"

#include "platform/settings_file.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace lumodm {

namespace {

// QTimer takes an int of milliseconds; a longer wait is simply taken in
// several passes by the caller's loop.
constexpr double MaxTimerMs = 24.0 * 3600.0 * 1000.0;

// The file given, else the user's file of the application.
QString settingsPath(const QString& file, const QString& application)
{
    return file.isEmpty() ? userSettingsFile(application, application) : file;
}

} // namespace

QtCorePlatform::QtCorePlatform(const QString& settingsFile) : settingsFile_(settingsFile)
{
    clock_.start();
}

double QtCorePlatform::now()
{
    return static_cast<double>(clock_.nsecsElapsed()) / 1e9;
}

void QtCorePlatform::processEvents(double deadline)
{
    const double remaining = deadline - now();
    if (!QCoreApplication::instance()) {
        // No event loop to serve: the wait is only a wait.
        if (remaining > 0) {
            std::this_thread::sleep_for(std::chrono::duration<double>(remaining));
        }
        return;
    }
    if (!(remaining > 0)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A timer at the deadline bounds the blocking pass: the dispatcher
    // processes what is pending and otherwise sleeps until an event or this
    // timer wakes it, so the caller's loop never spins. Whole milliseconds,
    // rounded up unless the excess is below a microsecond: a float wait of
    // 0.1 s must not cost an extra millisecond.
    const double ms = std::min(remaining * 1000.0, MaxTimerMs);
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    deadlineTimer.setTimerType(Qt::PreciseTimer);
    deadlineTimer.start(static_cast<int>(std::max(0.0, std::ceil(ms - 1e-3))));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

QString QtCorePlatform::readSetting(const QString& application, const QString& section,
                                    const QString& key, const QString& defaultValue)
{
    const QString path = settingsPath(settingsFile_, application);
    if (!settingsFileUsable(path)) {
        return defaultValue;
    }
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(section);
    const QVariant value = settings.value(key, defaultValue);
    // A value written by hand with a comma ("3, 1") comes back as a list,
    // whose text is empty: join it back as it stood, less the blanks around
    // the commas, so that its leading number counts.
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

void QtCorePlatform::writeSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& value)
{
    const QString path = settingsPath(settingsFile_, application);
    if (!settingsFileUsable(path)) {
        return;
    }
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    // Written now, so that an immediate end of the program has nothing
    // pending that it could write or lose.
    settings.sync();
}

void QtCorePlatform::endProgram(int exitStatus)
{
    // Take the hook first so that an end requested from inside it cannot
    // run it again.
    std::function<void()> hook = std::move(shutdownHook_);
    shutdownHook_ = nullptr;
    if (hook) {
        try {
            hook();
        } catch (...) {
            // Ending regardless: a failing close must not keep the program.
        }
    }
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

} // namespace lumodm
