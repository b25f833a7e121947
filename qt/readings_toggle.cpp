#include "qt/readings_toggle.h"

#include "platform/settings_file.h"
#include "qt/main_window.h"
#include "qt/readings_window.h"

#include <QSettings>

namespace lumodm {

namespace {

const QString kOpenKey = QStringLiteral("Readings/open");
const QString kGeometryKey = QStringLiteral("Readings/geometry");

} // namespace

ReadingsToggle::ReadingsToggle(MainWindow& panelWindow, PanelLink& panel,
                               PlatformServices& platform, QString settingsFile)
    : panelWindow_(panelWindow), panel_(panel), platform_(platform),
      settingsFile_(std::move(settingsFile))
{
    // A file that may not be read is not written either: nothing is kept.
    if (!settingsFile_.isEmpty() && !settingsFileUsable(settingsFile_)) {
        settingsFile_.clear();
    }
    connect(&panelWindow_, &MainWindow::readingsToggleRequested, this, &ReadingsToggle::toggle);
    connect(&panelWindow_, &MainWindow::synced, this, [this] {
        if (window_) {
            window_->setMeterName(panelWindow_.model().state.ModelName, titleSuffix_);
        }
    });
}

ReadingsToggle::~ReadingsToggle() = default;

void ReadingsToggle::toggle()
{
    if (window_ && window_->isVisible()) {
        window_->hide();
        remember();
        return;
    }
    open();
}

void ReadingsToggle::open()
{
    if (!window_) {
        window_ = std::make_unique<ReadingsWindow>(panel_, platform_);
        window_->setMeterName(panelWindow_.model().state.ModelName, titleSuffix_);
        connect(window_.get(), &ReadingsWindow::toggleRequested, this, &ReadingsToggle::toggle);
        const QByteArray geometry =
            settingsFile_.isEmpty()
                ? QByteArray()
                : QSettings(settingsFile_, QSettings::IniFormat).value(kGeometryKey).toByteArray();
        if (geometry.isEmpty() || !window_->restoreGeometry(geometry)) {
            // Beside the panel, not over it.
            window_->move(panelWindow_.frameGeometry().topRight() + QPoint(8, 0));
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    remember();
}

void ReadingsToggle::setTitleSuffix(const QString& suffix)
{
    titleSuffix_ = suffix;
    if (window_) {
        window_->setMeterName(panelWindow_.model().state.ModelName, titleSuffix_);
    }
}

bool ReadingsToggle::rememberedOpen() const
{
    return !settingsFile_.isEmpty() &&
           QSettings(settingsFile_, QSettings::IniFormat).value(kOpenKey, false).toBool();
}

void ReadingsToggle::remember() const
{
    // A start that failed, or a mode that leaves the user's files alone,
    // writes nothing.
    if (settingsFile_.isEmpty() || !panelWindow_.formActivated()) {
        return;
    }
    // Only what changed from what is stored: a plain exit with the window
    // never opened leaves the file as it was, or absent.
    QSettings settings(settingsFile_, QSettings::IniFormat);
    const bool open = window_ != nullptr && window_->isVisible();
    if (open != settings.value(kOpenKey, false).toBool()) {
        settings.setValue(kOpenKey, open);
    }
    if (window_) {
        const QByteArray geometry = window_->saveGeometry();
        if (geometry != settings.value(kGeometryKey).toByteArray()) {
            settings.setValue(kGeometryKey, geometry);
        }
    }
}

} // namespace lumodm
