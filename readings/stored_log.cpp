#include "readings/stored_log.h"

#include "log/log_reader.h"

#include <algorithm>

namespace lumodm {

QString storedLogCountText(const StoredLogCount& count)
{
    return QStringLiteral("%1 %2, %3 %4 skipped")
        .arg(count.readings)
        .arg(count.readings == 1 ? QLatin1String("reading") : QLatin1String("readings"))
        .arg(count.skipped)
        .arg(count.skipped == 1 ? QLatin1String("row") : QLatin1String("rows"));
}

StoredLog::StoredLog() : reader_(std::make_unique<LogReader>()) {}

StoredLog::~StoredLog() = default;

bool StoredLog::open(const QString& path)
{
    return reader_->open(path);
}

QString StoredLog::errorText() const
{
    return reader_->errorText();
}

bool StoredLog::readBatch(std::vector<Reading>& batch)
{
    batch.clear();
    return reader_->read(batch, kBatchRows);
}

int StoredLog::percentRead() const
{
    const std::int64_t size = std::max<std::int64_t>(reader_->fileSize(), 1);
    return static_cast<int>(std::clamp<std::int64_t>(100 * reader_->bytesRead() / size, 0, 99));
}

StoredLogCount StoredLog::count() const
{
    return {reader_->readings(), reader_->skippedRows(), reader_->errorText()};
}

} // namespace lumodm
