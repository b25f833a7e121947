#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm {

// A CSV file opened for appending rows that survive a crash: each row goes
// to the operating system in one write before the next, so a crash of the
// program loses at most the row being written. The data is also synced to
// the disk every few seconds, bounding what a pulled plug can lose; a sync
// per row would cost more processor time than a reading may spend on its
// log. An existing file is never truncated; a last row cut short by an
// earlier crash is ended first.
class LogFile
{
  public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Opens (creating) `path`; writes `header` when the file is new or
    // empty. On failure returns false with the reason in errorText().
    bool open(const QString& path, const QByteArray& header);
    bool isOpen() const { return fd_ >= 0; }

    // Writes one whole row; false with the reason in errorText() when the
    // row could not be written completely.
    bool append(const QByteArray& row);

    void close();
    QString errorText() const { return error_; }

    // The most seconds between two syncs to the disk (0: after every row).
    void setSyncPeriod(double seconds) { syncPeriod_ = seconds; }

  private:
    bool writeAll(const QByteArray& bytes);
    bool syncIfDue();
    bool endPartialRow(long long size);
    void fail(int errorNumber);

    int fd_ = -1;
    bool regularFile_ = false;
    double syncPeriod_ = 10.0;
    double lastSync_ = 0.0;
    QString error_;
};

} // namespace lumodm
