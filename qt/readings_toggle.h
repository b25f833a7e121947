#pragma once

#include "qt/readings_window_kit.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

namespace lumodm {

class MainWindow;
class PanelLink;
class PlatformServices;
class ReadingsWindow;
struct Reading;

// Ctrl+T on the panel: the readings window is built the first time it
// opens (a panel without it costs nothing more, Qt Charts is not even
// loaded) and shown or hidden after.
// Whether it was open and where are kept in a settings file of its own, so
// the panel's stored settings stay exactly as they were.
class ReadingsToggle : public QObject
{
    Q_OBJECT

  public:
    // An empty `settingsFile` remembers nothing. The window comes from
    // `kits`: the module's unless the window is linked in.
    ReadingsToggle(MainWindow& panelWindow, PanelLink& panel, PlatformServices& platform,
                   QString settingsFile, ReadingsWindowKitSource kits = &readingsWindowKit);
    ~ReadingsToggle() override;

    void toggle();
    void open();
    // The window was open when the program last ended.
    bool rememberedOpen() const;
    void remember() const;

    ReadingsWindow* window() const { return window_; }
    // Said after the meter's name in the readings window's title.
    void setTitleSuffix(const QString& suffix);
    // The other meters on the bus, and each of their readings: the window
    // compares its meter's with one of them (kept until the window opens).
    void setOtherMeters(const QList<QPair<int, QString>>& meters);
    void otherReading(const Reading& reading);

  private:
    void place(std::optional<QRect> stored);

    MainWindow& panelWindow_;
    PanelLink& panel_;
    PlatformServices& platform_;
    QString settingsFile_;
    ReadingsWindowKitSource kits_;
    const ReadingsWindowKit* kit_ = nullptr;
    ReadingsWindow* window_ = nullptr;
    std::unique_ptr<QWidget> widget_; // the window, owned
    QString titleSuffix_;
    QList<QPair<int, QString>> otherMeters_;
};

} // namespace lumodm
