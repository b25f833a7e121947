#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace lumodm {

class MainWindow;
class PanelLink;
class PlatformServices;
class ReadingsWindow;

// Ctrl+T on the panel: the readings window is built the first time it
// opens (a panel without it costs nothing more) and shown or hidden after.
// Whether it was open and where are kept in a settings file of its own, so
// the panel's stored settings stay exactly as they were.
class ReadingsToggle : public QObject
{
    Q_OBJECT

  public:
    // An empty `settingsFile`, or one that is no small regular file,
    // remembers nothing.
    ReadingsToggle(MainWindow& panelWindow, PanelLink& panel, PlatformServices& platform,
                   QString settingsFile);
    ~ReadingsToggle() override;

    void toggle();
    void open();
    // The window was open when the program last ended.
    bool rememberedOpen() const;
    void remember() const;

    ReadingsWindow* window() const { return window_.get(); }
    // Said after the meter's name in the readings window's title.
    void setTitleSuffix(const QString& suffix);

  private:
    MainWindow& panelWindow_;
    PanelLink& panel_;
    PlatformServices& platform_;
    QString settingsFile_;
    std::unique_ptr<ReadingsWindow> window_;
    QString titleSuffix_;
};

} // namespace lumodm
