#pragma once

#include "log/log_file.h"
#include "meter/reading.h"
#include "platform/platform_services.h"

#include <QString>
#include <memory>

namespace lumodm {

// The reading log (--log=FILE): one CSV row per displayed reading. A file
// that cannot be opened or written is told to the user once, in a "Log
// Error" box naming the file and the reason; from then on readings are
// simply not logged and nothing else changes (isLogging() tells).
class ReadingLog : public ReadingObserver
{
  public:
    ReadingLog(const QString& path, PlatformServices& platform);

    // Opens the file; false (after the message) when it cannot be.
    bool open();
    bool isLogging() const { return file_.isOpen(); }
    const QString& path() const { return path_; }

    // The model column; known only once the meter is identified.
    void setModel(const QString& model) { model_ = model; }

    // The box's last line: what happens now that the log has failed.
    void setFailureNote(const QString& note) { failureNote_ = note; }

    void readingTaken(const Reading& record) override;

  private:
    void tellFailure(const char* what);

    QString path_;
    QString model_;
    PlatformServices& platform_;
    LogFile file_;
    QString failureNote_ = QStringLiteral("Readings are not logged from here on.");
    bool told_ = false;
};

// One call for the programs: the log for `path`, already opened (a failure
// has been told and the log stays silent). Never null; register it with
// FrontPanel::addReadingObserver.
std::unique_ptr<ReadingLog> openReadingLog(const QString& path, const QString& model,
                                           PlatformServices& platform);

} // namespace lumodm
