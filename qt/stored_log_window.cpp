#include "qt/stored_log_window.h"

#include "panel/panel_link.h"
#include "platform/checked_file.h"
#include "qt/readings_window.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QTimer>
#include <memory>

namespace lumodm {

namespace {

// Reading per turn of the event loop: short enough for the window to
// answer the user at once in between.
constexpr qint64 kTurnMs = 25;

// A stored log's window has no panel behind it.
class NoPanel final : public PanelLink
{
  public:
    void copyModel(Form1&) const override {}
    void run(Handler, std::function<void()>) override {}
    void addReadingObserver(ReadingObserver*) override {}
    void removeReadingObserver(ReadingObserver*) override {}
};

NoPanel& noPanel()
{
    static NoPanel link;
    return link;
}

// Hands a log's readings to its window, turn by turn; it goes with the
// window.
class StoredLogFeed : public QObject
{
  public:
    StoredLogFeed(ReadingsWindow& window, std::unique_ptr<StoredLog> reader, QLabel& line,
                  const QString& name, std::function<void(const StoredLogCount&)> loaded)
        : QObject(&window), window_(window), reader_(std::move(reader)), line_(line), name_(name),
          loaded_(std::move(loaded))
    {
        QTimer::singleShot(0, this, &StoredLogFeed::step);
    }

  private:
    void step()
    {
        QElapsedTimer turn;
        turn.start();
        bool more = true;
        while (more && turn.elapsed() < kTurnMs) {
            more = reader_->readBatch(batch_);
            window_.takeStoredReadings(batch_);
        }
        if (more) {
            line_.setText(
                QStringLiteral("Reading %1: %2 %").arg(name_).arg(reader_->percentRead()));
            QTimer::singleShot(0, this, &StoredLogFeed::step);
            return;
        }
        const StoredLogCount count = reader_->count();
        QString text = QStringLiteral("%1: %2").arg(name_, storedLogCountText(count));
        if (!count.error.isEmpty()) {
            text += QStringLiteral("; ") + count.error;
        }
        line_.setText(text);
        batch_ = {};
        reader_.reset();
        window_.redrawChart();
        if (loaded_) {
            loaded_(count);
        }
    }

    ReadingsWindow& window_;
    std::unique_ptr<StoredLog> reader_;
    QLabel& line_;
    QString name_;
    std::function<void(const StoredLogCount&)> loaded_;
    std::vector<Reading> batch_;
};

} // namespace

QWidget* openStoredLog(PlatformServices& platform, const QString& path, QString* error,
                       std::function<void(const StoredLogCount&)> loaded)
{
    auto reader = std::make_unique<StoredLog>();
    if (!reader->open(path)) {
        if (error != nullptr) {
            *error = reader->errorText();
        }
        return nullptr;
    }
    const QString name = clippedForMessage(QFileInfo(path).fileName());
    auto* window = new ReadingsWindow(noPanel(), platform);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Readings - ") + name);
    auto* line = new QLabel;
    line->setObjectName(QStringLiteral("StoredLog"));
    line->setTextFormat(Qt::PlainText);
    window->layout()->addWidget(line);
    new StoredLogFeed(*window, std::move(reader), *line, name, std::move(loaded));
    window->show();
    return window;
}

} // namespace lumodm
