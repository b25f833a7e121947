#pragma once

#include "meter/reading.h"
#include "platform/platform_services.h"

#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace lumodm {

class ReadingLog;

// The readings window's files: a recording to a log the user chose, and
// every reading since the window opened kept as the log's rows for an
// export. Those rows wait on disk, so a long run costs no memory.
class ReadingRecorder : public ReadingObserver
{
  public:
    explicit ReadingRecorder(PlatformServices& platform);
    ~ReadingRecorder() override;

    void readingTaken(const Reading& reading) override;

    // Records to the log at `path`, appending to one that is there; false,
    // after the log has told the user why, when it cannot be opened.
    bool startRecording(const QString& path);
    void stopRecording();
    bool recording() const { return log_ != nullptr; }

    // A CSV file at `path` of every reading so far, under the log's header.
    bool exportReadings(const QString& path);

  private:
    PlatformServices& platform_;
    std::unique_ptr<ReadingLog> log_;
    QTemporaryFile rows_;
};

} // namespace lumodm
