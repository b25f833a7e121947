#include "log/log_reader.h"

#include "log/csv_scan.h"
#include "platform/checked_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumodm {

namespace {

// More fields than any log has; the rest of a longer row is not looked at.
constexpr int kMaxFields = 32;

} // namespace

LogReader::LogReader(std::size_t blockBytes, std::size_t longestRow)
    : blockBytes_(std::max<std::size_t>(blockBytes, 1)), longestRow_(longestRow)
{
}

LogReader::~LogReader()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool LogReader::open(const QString& path)
{
    path_ = path;
    fd_ = openCheckedFile(path, file_limits::kReadingLog, &error_);
    if (fd_ < 0) {
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(fd_, &info) == 0) {
        fileSize_ = info.st_size;
    }
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    buffer_.resize(longestRow_ + 2 * blockBytes_);

    const QString name = clippedForMessage(path);
    const char* rowEnd = nextRow();
    if (rowEnd == nullptr) {
        if (error_.isEmpty()) {
            error_ =
                (fileSize_ == 0 ? QStringLiteral("%1 is empty: it holds no reading log")
                                : QStringLiteral("%1 is not a reading log: it has no header row"))
                    .arg(name);
        }
        return false;
    }
    char* row = buffer_.data() + begin_;
    // A byte order mark, as some spreadsheets write, is no part of a name.
    if (rowEnd - row >= 3 && std::memcmp(row, "\xEF\xBB\xBF", 3) == 0) {
        row += 3;
    }
    std::array<std::string_view, kMaxFields> fields;
    bool wellFormed = true;
    const int count = splitCsvRow(row, buffer_.data() + (rowEnd - buffer_.data()), fields.data(),
                                  kMaxFields, wellFormed);
    begin_ = static_cast<std::size_t>(rowEnd - buffer_.data());
    if (!decoder_.takeHeader(fields.data(), std::min(count, kMaxFields))) {
        error_ = QStringLiteral("%1 is not a reading log: its first row names no time and no "
                                "value column")
                     .arg(name);
        return false;
    }
    return true;
}

// Reads one more block after the unread bytes; false at the end of the
// file or on a read error.
bool LogReader::fill()
{
    if (atEnd_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t room = std::min(blockBytes_, buffer_.size() - end_);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, room);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error_ = QStringLiteral("cannot read %1: %2")
                         .arg(clippedForMessage(path_), errnoText(errno));
        }
        if (got <= 0) {
            atEnd_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(got);
        bytesRead_ += got;
        return true;
    }
}

// The end of the next whole row, which starts at begin_; nullptr at the end
// of the log. A row longer than any the log writes is skipped up to the
// next line feed (a stray quote in it would swallow the rows after it);
// one without its line end at the end of the file was cut.
const char* LogReader::nextRow()
{
    bool skipping = false;
    for (;;) {
        const char* data = buffer_.data();
        if (skipping) {
            const void* lineEnd = std::memchr(data + begin_, '\n', end_ - begin_);
            if (lineEnd != nullptr) {
                begin_ = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - data) + 1;
                skipping = false;
                ++skipped_;
                continue;
            }
            begin_ = end_;
        } else if (const char* rowEnd = csvRowEnd(data + begin_, data + end_)) {
            return rowEnd;
        } else if (end_ - begin_ > longestRow_) {
            skipping = true;
            continue;
        }
        if (!fill()) {
            if (skipping || end_ > begin_) {
                ++skipped_;
            }
            begin_ = end_;
            return nullptr;
        }
    }
}

bool LogReader::read(std::vector<Reading>& out, std::size_t maxRows)
{
    std::array<std::string_view, kMaxFields> fields;
    for (std::size_t rows = 0; rows < maxRows; ++rows) {
        const char* rowEnd = nextRow();
        if (rowEnd == nullptr) {
            return false;
        }
        char* row = buffer_.data() + begin_;
        char* end = buffer_.data() + (rowEnd - buffer_.data());
        begin_ = static_cast<std::size_t>(end - buffer_.data());
        // A blank line (a spreadsheet's last) is no row.
        if (end - row <= 2 && (row[0] == '\n' || row[0] == '\r')) {
            continue;
        }
        bool wellFormed = true;
        const int count = splitCsvRow(row, end, fields.data(), kMaxFields, wellFormed);
        Reading& reading = out.emplace_back();
        if (wellFormed && decoder_.decode(fields.data(), std::min(count, kMaxFields), reading)) {
            ++readings_;
        } else {
            out.pop_back();
            ++skipped_;
        }
    }
    return true;
}

} // namespace lumodm
