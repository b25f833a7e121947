#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace lumodm {

class FrontPanel;
class MainWindow;
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
    ReadingsToggle(MainWindow& panelWindow, FrontPanel& panel, PlatformServices& platform,
                   QString settingsFile);
    ~ReadingsToggle() override;

    void toggle();
    void open();
    // The window was open when the program last ended.
    bool rememberedOpen() const;
    void remember() const;

    ReadingsWindow* window() const { return window_.get(); }

  private:
    MainWindow& panelWindow_;
    FrontPanel& panel_;
    PlatformServices& platform_;
    QString settingsFile_;
    std::unique_ptr<ReadingsWindow> window_;
};

} // namespace lumodm
