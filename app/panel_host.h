#pragma once

#include "app/command_line.h"
#include "bus/shared_bus.h"
#include "meter/identify_meter.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace lumodm {

class ConnectSession;
class MainWindow;
class QtPlatform;
class ReadingLog;
class ReadingPublisher;
class ReadingsToggle;
class SessionPlatform;
class SessionThread;
class ThreadedPanel;

// The windowed program's meters on one shared bus: for each, a front panel
// on a thread of its own with its window, readings window and publisher.
// One meter starts as ever (the panel finds the first that identifies);
// several are identified together first, each then gets its panel. The
// window's thread only draws and forwards: it never calls the bus. When
// the last panel ends, so does the program.
class PanelHost : public QObject
{
    Q_OBJECT

  public:
    struct Options
    {
        const CommandLine* line = nullptr;
        MeterSelection meters;   // the bus's: the command line's or the connection's
        bool hiddenMode = false; // --screenshot, --quit-when-up: no file written
        QString scratch;         // where the hidden modes keep their settings copy
    };

    PanelHost(QtPlatform& platform, GpibDriver& driver, ConnectSession& connection,
              Options options);
    ~PanelHost() override;

    void start();
    // What the program's end closes: the readings windows' places, the
    // log, the publishers (each says "offline"), the bus.
    void shutDown();

    // The first panel's windows, for --screenshot.
    MainWindow* firstWindow() const;
    QWidget* firstReadingsWindow() const;

  signals:
    // Every panel's activation has run: the program is up.
    void allUp();

  private:
    struct Served;
    class CrossFeed;

    void toWindow(std::function<void()> job);
    bool several() const;
    void identifyAll();
    void serve(const std::vector<MeterIdentity>& meters);
    Served& addPanel();
    void loaded(Served& served);
    void ended(Served& served, int status);
    void retitle();

    QtPlatform& platform_;
    GpibDriver& driver_;
    ConnectSession& connection_;
    Options options_;
    SharedBus bus_;
    std::unique_ptr<ReadingLog> log_;
    std::vector<std::unique_ptr<Served>> panels_;
    std::unique_ptr<SessionThread> startup_;
    std::unique_ptr<SessionPlatform> startupPlatform_;
    int worstStatus_ = 0;
    int up_ = 0;
    std::atomic<bool> lost_{false};
    bool closing_ = false; // the program's end has begun
};

} // namespace lumodm
