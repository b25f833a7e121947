#include "app/panel_host.h"

#include "bus/bus_connection.h"
#include "connect/connect_session.h"
#include "log/reading_log.h"
#include "meter/meter_messages.h"
#include "panel/threaded_panel.h"
#include "platform/settings_file.h"
#include "publish/reading_publisher.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "qt/readings_toggle.h"
#include "qt/readings_window.h"
#include "qt/window_capture.h"
#include "session/session_platform.h"
#include "session/session_thread.h"

#include <QPointer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>

namespace lumodm {

namespace {

// How long a closing panel's readings may take to reach the broker.
constexpr std::chrono::milliseconds kPublishFlush(1000);

const QString kApplication = QStringLiteral("LumoDM");

} // namespace

// One meter's panel and what belongs to it; it lives as long as the
// program, as its panel's thread may still hand the window's thread work.
// Hands each reading of one meter to the other meters' readings windows,
// on the window's thread, for their comparisons.
class PanelHost::CrossFeed : public ReadingObserver
{
  public:
    CrossFeed(PanelHost& host, const Served& from) : host_(host), from_(from) {}
    void readingTaken(const Reading& reading) override;

  private:
    PanelHost& host_;
    const Served& from_;
};

struct PanelHost::Served
{
    std::unique_ptr<ThreadedPanel> panel;
    std::unique_ptr<CrossFeed> crossFeed;
    QPointer<MainWindow> windowGuard; // read when a box needs an owner
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<ReadingsToggle> readings;
    std::unique_ptr<ReadingPublisher> publisher;
    MeterIdentity identity; // written by the panel's Form_Load, read once it is done
    bool open = true;
};

void PanelHost::CrossFeed::readingTaken(const Reading& reading)
{
    host_.toWindow([host = &host_, from = &from_, reading] {
        for (const auto& other : host->panels_) {
            if (other.get() != from && other->readings) {
                other->readings->otherReading(reading);
            }
        }
    });
}

PanelHost::PanelHost(QtPlatform& platform, GpibDriver& driver, ConnectSession& connection,
                     Options options)
    : platform_(platform), driver_(driver), connection_(connection), options_(std::move(options)),
      bus_(driver)
{
}

PanelHost::~PanelHost() = default;

void PanelHost::toWindow(std::function<void()> job)
{
    // Dropped with the host: nothing runs after the program's end began.
    QMetaObject::invokeMethod(this, std::move(job), Qt::QueuedConnection);
}

bool PanelHost::several() const
{
    return options_.meters.several();
}

void PanelHost::start()
{
    // The hidden modes show the user's settings but never write them.
    if (options_.hiddenMode) {
        platform_.setSettingsFile(
            copySettingsFile(userSettingsFile(kApplication, kApplication), options_.scratch));
    }
    if (!several()) {
        Served& served = addPanel();
        Served* s = &served;
        served.panel->run(
            [s](FrontPanel& panel) {
                panel.Form_Load();
                s->identity = panel.session().identity();
            },
            [this, s] { loaded(*s); });
        return;
    }
    // A lost adapter ends every panel with one message.
    bus_.setLostHandler([this] {
        if (!lost_.exchange(true)) {
            toWindow([this] {
                platform_.messageBox(busLostText(), QStringLiteral("Bus Error"), MessageButtons::Ok,
                                     MessageIcon::Stop);
                platform_.endProgram(1);
            });
        }
        throw SessionEnded(1);
    });
    identifyAll();
}

void PanelHost::identifyAll()
{
    startup_ = std::make_unique<SessionThread>();
    startupPlatform_ = std::make_unique<SessionPlatform>(
        *startup_, platform_,
        [this](const QString& text, const QString& title, MessageButtons buttons,
               MessageIcon icon) { return platform_.ask({}, false, text, title, buttons, icon); });
    startup_->start([this](int status) {
        // The bus did not start: its message has been told.
        if (status != 0) {
            toWindow([this, status] { platform_.endProgram(status); });
        }
    });
    startup_->post([this] {
        BusConnection connection(bus_.view(), *startupPlatform_);
        const std::vector<MeterIdentity> meters =
            identifyMeters(connection.gpib(), connection.helper());
        toWindow([this, meters] { serve(meters); });
    });
}

void PanelHost::serve(const std::vector<MeterIdentity>& meters)
{
    const MeterSelection& asked = options_.meters;
    const ServedMeters sorted = sortOutMeters(meters, asked.addresses);
    const std::vector<MeterIdentity>& supported = sorted.supported;
    const QList<int>& missing = sorted.missing;
    if (supported.empty()) {
        platform_.messageBox(noSupportedMeterText(), QStringLiteral("Error"), MessageButtons::Ok,
                             MessageIcon::Stop);
        platform_.endProgram(1);
    }
    if (!options_.line->logFile.isEmpty()) {
        log_ = openReadingLog(options_.line->logFile, platform_, static_cast<int>(supported.size()),
                              LogNaming::ByTime);
    }
    for (const MeterIdentity& meter : supported) {
        Served& served = addPanel();
        Served* s = &served;
        served.identity = meter;
        served.panel->run([meter](FrontPanel& panel) { panel.Form_Load(meter); },
                          [this, s] { loaded(*s); });
    }
    if (!options_.hiddenMode && connection_.holdsAChoice()) {
        MeterSelection served = asked;
        if (!asked.every) {
            served.addresses.clear();
            for (const MeterIdentity& meter : supported) {
                served.addresses << meter.address;
            }
        }
        connection_.remember(served);
    }
    // Once the panels are on their way: each missing meter is told once.
    toWindow([this, missing] {
        for (const int address : missing) {
            platform_.messageBox(noSupportedMeterAtText(address), QStringLiteral("Error"),
                                 MessageButtons::Ok, MessageIcon::Stop);
        }
    });
}

PanelHost::Served& PanelHost::addPanel()
{
    auto served = std::make_unique<Served>();
    Served* s = served.get();
    const bool windowModal = several();
    s->panel = std::make_unique<ThreadedPanel>(
        bus_.view(), platform_,
        [this, s, windowModal](const QString& text, const QString& title, MessageButtons buttons,
                               MessageIcon icon) {
            return platform_.ask([s]() -> QWidget* { return s->windowGuard.data(); }, windowModal,
                                 text, title, buttons, icon);
        },
        [this](std::function<void()> job) { toWindow(std::move(job)); });
    s->panel->setModelChanged([s] {
        if (s->window) {
            s->window->syncFromModel();
        }
    });
    s->panel->setEnded([this, s](int status) { ended(*s, status); });
    s->panel->start();
    panels_.push_back(std::move(served));
    return *s;
}

void PanelHost::loaded(Served& s)
{
    const CommandLine& line = *options_.line;
    const bool found = s.identity.model != MeterModel::None;
    if (!several()) {
        // The chooser's bus is kept once a meter answered on it.
        if (found && !options_.hiddenMode && connection_.holdsAChoice()) {
            connection_.remember({{s.identity.address}, false});
        }
        if (!line.logFile.isEmpty()) {
            log_ = openReadingLog(line.logFile, platform_, 1, LogNaming::ByTime);
        }
    }
    if (log_) {
        ReadingLog* log = log_.get();
        s.panel->run([log](FrontPanel& panel) { panel.addReadingObserver(log); });
    }
    if (found && !line.publish.url.isEmpty()) {
        s.publisher = makeReadingPublisher(line.publish, [this](const QString& text) {
            const auto show = [this, text] {
                platform_.messageBox(text, QStringLiteral("Publish Error"), MessageButtons::Ok,
                                     MessageIcon::Exclamation);
            };
            // Told on the link's thread, the box opens on the window's; told
            // as the program closes, when no event loop runs any more, at once.
            if (closing_ && QThread::currentThread() == thread()) {
                show();
            } else {
                toWindow(show);
            }
        });
        s.publisher->start({s.identity.modelName, s.identity.address, several()});
        ReadingPublisher* publisher = s.publisher.get();
        s.panel->run([publisher](FrontPanel& panel) { panel.addReadingObserver(publisher); });
    }

    s.window = std::make_unique<MainWindow>(*s.panel);
    s.windowGuard = s.window.get();
    connect(s.window.get(), &MainWindow::formActivateDone, this, [this] {
        if (++up_ == static_cast<int>(panels_.size())) {
            emit allUp();
        }
    });
    // The readings window keeps its own settings file, beside the panel's.
    const QString readingsFile = options_.hiddenMode || several()
                                     ? QString()
                                     : userSettingsFile(kApplication, QStringLiteral("Readings"));
    s.readings = std::make_unique<ReadingsToggle>(*s.window, *s.panel, platform_, readingsFile);
    if (several() && found) {
        QList<QPair<int, QString>> others;
        for (const auto& other : panels_) {
            if (other.get() != &s && other->identity.model != MeterModel::None) {
                others.append({other->identity.address, QStringLiteral("%1 at %2")
                                                            .arg(other->identity.modelName)
                                                            .arg(other->identity.address)});
            }
        }
        s.readings->setOtherMeters(others);
        s.crossFeed = std::make_unique<CrossFeed>(*this, s);
        CrossFeed* feed = s.crossFeed.get();
        s.panel->run([feed](FrontPanel& panel) { panel.addReadingObserver(feed); });
    }
    if (panels_.size() == 1) {
        platform_.setDialogParent(s.window.get());
    }
    retitle();
    s.window->show();
    s.window->raise();
    s.window->activateWindow();
    if (line.readings || s.readings->rememberedOpen()) {
        s.readings->open();
        s.window->activateWindow(); // the keyboard stays with the panel
    }
}

void PanelHost::ended(Served& s, int status)
{
    worstStatus_ = std::max(worstStatus_, status);
    s.open = false;
    const bool anyOpen =
        std::any_of(panels_.cbegin(), panels_.cend(), [](const auto& p) { return p->open; });
    // One meter ends the program as it always did; with several, a lost
    // bus ends it once its message is read.
    if (!several() || (!anyOpen && !lost_)) {
        platform_.endProgram(several() ? worstStatus_ : status);
    }
    if (lost_) {
        return;
    }
    // The others go on; this meter's windows go.
    if (s.readings) {
        s.readings->remember();
        if (QWidget* readings = s.readings->window()) {
            readings->hide();
        }
    }
    if (s.window) {
        s.window->hide();
    }
    s.publisher.reset(); // "offline" for this meter alone
    retitle();
}

void PanelHost::retitle()
{
    const auto open = std::count_if(panels_.cbegin(), panels_.cend(),
                                    [](const auto& p) { return p->open && p->window; });
    for (const auto& p : panels_) {
        if (!p->window) {
            continue;
        }
        const QString suffix =
            open > 1 ? QStringLiteral(" - address %1").arg(p->identity.address) : QString();
        p->window->setTitleSuffix(suffix);
        p->readings->setTitleSuffix(suffix);
    }
}

// Panels may still be running on their threads: the log and publishers
// are closed, never destroyed, under them; the program ends right after.
void PanelHost::shutDown()
{
    closing_ = true;
    for (const auto& p : panels_) {
        if (p->readings) {
            p->readings->remember();
        }
    }
    if (log_) {
        log_->close();
    }
    for (const auto& p : panels_) {
        if (p->publisher) {
            p->publisher->finish(kPublishFlush); // sends what it can, then "offline"
        }
    }
    bus_.close();
}

MainWindow* PanelHost::firstWindow() const
{
    return panels_.empty() ? nullptr : panels_.front()->window.get();
}

QWidget* PanelHost::firstReadingsWindow() const
{
    return panels_.empty() || !panels_.front()->readings ? nullptr
                                                         : panels_.front()->readings->window();
}

} // namespace lumodm
