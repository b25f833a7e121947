#include "qt/readings_toggle.h"

#include "platform/platform_services.h"
#include "platform/settings_file.h"
#include "qt/main_window.h"
#include "qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace lumodm {

namespace {

const QString kOpenKey = QStringLiteral("Readings/open");
const QString kGeometryKey = QStringLiteral("Readings/geometry");

} // namespace

ReadingsToggle::ReadingsToggle(MainWindow& panelWindow, PanelLink& panel,
                               PlatformServices& platform, QString settingsFile,
                               ReadingsWindowKitSource kits)
    : panelWindow_(panelWindow), panel_(panel), platform_(platform),
      settingsFile_(std::move(settingsFile)), kits_(kits)
{
    // A file that may not be read is not written either: nothing is kept.
    if (!settingsFile_.isEmpty() && !settingsFileUsable(settingsFile_)) {
        settingsFile_.clear();
    }
    connect(&panelWindow_, &MainWindow::readingsToggleRequested, this, &ReadingsToggle::toggle);
    connect(&panelWindow_, &MainWindow::synced, this, [this] {
        if (window_) {
            kit_->setMeterName(*window_, panelWindow_.model().state.ModelName, titleSuffix_);
            kit_->setOtherMeters(*window_, otherMeters_);
        }
    });
}

ReadingsToggle::~ReadingsToggle() = default;

void ReadingsToggle::toggle()
{
    if (widget_ && widget_->isVisible()) {
        widget_->hide();
        remember();
        return;
    }
    open();
}

void ReadingsToggle::open()
{
    if (!window_) {
        QString reason;
        kit_ = kits_(&reason);
        if (kit_ == nullptr) {
            platform_.messageBox(
                QStringLiteral("The readings window cannot be opened: %1").arg(reason),
                QStringLiteral("Readings"), MessageButtons::Ok, MessageIcon::Exclamation);
            return;
        }
        window_ = kit_->make(panel_, platform_);
        widget_.reset(kit_->widget(*window_));
        kit_->onToggleRequested(*window_, this, [this] { toggle(); });
        kit_->setMeterName(*window_, panelWindow_.model().state.ModelName, titleSuffix_);
        kit_->setOtherMeters(*window_, otherMeters_);
        const QByteArray geometry =
            settingsFile_.isEmpty()
                ? QByteArray()
                : QSettings(settingsFile_, QSettings::IniFormat).value(kGeometryKey).toByteArray();
        std::optional<QRect> stored;
        if (!geometry.isEmpty() && widget_->restoreGeometry(geometry)) {
            stored = QRect(widget_->pos(), widget_->size());
        }
        place(stored);
    }
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
    remember();
}

// Beside the panel and on the screen, never over the panel where that can
// be helped. The window has no frame yet: the panel's stands in for it.
void ReadingsToggle::place(std::optional<QRect> stored)
{
    const QSize frame = panelWindow_.frameGeometry().size() - panelWindow_.size();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    if (stored) {
        stored->setSize(stored->size() + frame);
    }
    const QRect place =
        placeBesidePanel(panelWindow_.frameGeometry(), widget_->size() + frame, screens, stored);
    widget_->resize(place.size() - frame);
    widget_->move(place.topLeft());
}

void ReadingsToggle::setTitleSuffix(const QString& suffix)
{
    titleSuffix_ = suffix;
    if (window_) {
        kit_->setMeterName(*window_, panelWindow_.model().state.ModelName, titleSuffix_);
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
    const bool open = widget_ != nullptr && widget_->isVisible();
    if (open != settings.value(kOpenKey, false).toBool()) {
        settings.setValue(kOpenKey, open);
    }
    if (widget_) {
        const QByteArray geometry = widget_->saveGeometry();
        if (geometry != settings.value(kGeometryKey).toByteArray()) {
            settings.setValue(kGeometryKey, geometry);
        }
    }
}

void ReadingsToggle::setOtherMeters(const QList<QPair<int, QString>>& meters)
{
    otherMeters_ = meters;
    if (window_) {
        kit_->setOtherMeters(*window_, otherMeters_);
    }
}

void ReadingsToggle::otherReading(const Reading& reading)
{
    if (window_) {
        kit_->otherReading(*window_, reading);
    }
}

} // namespace lumodm
