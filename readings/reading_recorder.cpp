#include "readings/reading_recorder.h"

#include "log/log_timestamp.h"
#include "log/reading_log.h"
#include "log/reading_row.h"

#include <QFile>
#include <algorithm>

namespace lumodm {

namespace {

constexpr qint64 kCopyChunk = 64 * 1024;

} // namespace

ReadingRecorder::ReadingRecorder(PlatformServices& platform) : platform_(platform)
{
    rows_.open();
}

ReadingRecorder::~ReadingRecorder() = default;

void ReadingRecorder::readingTaken(const Reading& reading)
{
    if (rows_.isOpen()) {
        rows_.write(readingCsvRow(isoTimestamp(reading.time), reading));
    }
    if (log_) {
        log_->readingTaken(reading);
    }
}

bool ReadingRecorder::startRecording(const QString& path)
{
    stopRecording();
    std::unique_ptr<ReadingLog> log = openReadingLog(path, platform_);
    if (!log->isLogging()) {
        return false;
    }
    log_ = std::move(log);
    return true;
}

void ReadingRecorder::stopRecording()
{
    log_.reset();
}

bool ReadingRecorder::exportReadings(const QString& path)
{
    QFile out(path);
    if (!rows_.isOpen() || !rows_.flush() ||
        !out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(readingCsvHeader()) < 0) {
        return false;
    }
    const qint64 end = rows_.pos();
    bool ok = rows_.seek(0);
    while (ok && rows_.pos() < end) {
        const QByteArray chunk = rows_.read(std::min(kCopyChunk, end - rows_.pos()));
        ok = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    rows_.seek(end);
    return ok && out.flush();
}

} // namespace lumodm
