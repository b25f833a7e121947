#include "qt/readings_toggle.h"

#include "platform/platform_services.h"
#include "qt/main_window.h"

#include <QSettings>

namespace lumodm {

namespace {

const QString kOpenKey = QStringLiteral("Readings/open");
const QString kGeometryKey = QStringLiteral("Readings/geometry");

} // namespace

ReadingsToggle::ReadingsToggle(MainWindow& panelWindow, FrontPanel& panel,
                               PlatformServices& platform, QString settingsFile,
                               ReadingsWindowKitSource kits)
    : panelWindow_(panelWindow), panel_(panel), platform_(platform),
      settingsFile_(std::move(settingsFile)), kits_(kits)
{
    connect(&panelWindow_, &MainWindow::readingsToggleRequested, this, &ReadingsToggle::toggle);
    connect(&panelWindow_, &MainWindow::synced, this, [this] {
        if (window_) {
            kit_->syncFromPanel(*window_);
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
        const QByteArray geometry =
            settingsFile_.isEmpty()
                ? QByteArray()
                : QSettings(settingsFile_, QSettings::IniFormat).value(kGeometryKey).toByteArray();
        if (geometry.isEmpty() || !widget_->restoreGeometry(geometry)) {
            // Beside the panel, not over it.
            widget_->move(panelWindow_.frameGeometry().topRight() + QPoint(8, 0));
        }
    }
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
    remember();
}

bool ReadingsToggle::rememberedOpen() const
{
    return !settingsFile_.isEmpty() &&
           QSettings(settingsFile_, QSettings::IniFormat).value(kOpenKey, false).toBool();
}

void ReadingsToggle::remember() const
{
    if (settingsFile_.isEmpty()) {
        return;
    }
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(kOpenKey, widget_ != nullptr && widget_->isVisible());
    if (widget_) {
        settings.setValue(kGeometryKey, widget_->saveGeometry());
    }
}

} // namespace lumodm
