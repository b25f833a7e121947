#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumodm {

// A CSV file opened for appending rows that survive a crash or a full
// disk: each row goes to the operating system in one write, and a row the
// disk had no room for is cut off again, so every row a reader sees is
// whole. The data is also synced to the disk every few seconds, bounding
// what a pulled plug can lose; a sync per row would cost more processor
// time than a reading may spend on its log. Only a regular file is taken:
// a FIFO or a device could block the window thread for good. An existing
// file is only appended to; a last row cut short by an earlier crash is
// ended first.
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
    // The first line of the file as it was opened, line end included;
    // `header` when the file was new or empty.
    const QByteArray& firstLine() const { return firstLine_; }
    bool isOpen() const { return fd_ >= 0; }

    // Writes one whole row; false with the reason in errorText() when the
    // row could not be written (the file then ends after the last whole row).
    bool append(const QByteArray& row);

    void close();
    QString errorText() const { return error_; }

  private:
    bool writeRow(const QByteArray& bytes);
    bool syncIfDue();
    bool endPartialRow(long long size);
    bool readFirstLine();
    void fail(int errorNumber);
    void fail(const QString& reason);

    int fd_ = -1;
    double lastSync_ = 0.0;
    QString error_;
    QByteArray firstLine_;
};

// How much of an existing log's end is read to repair a cut row: more than
// the longest row (an answer of 64 KiB, each byte at most three in UTF-8).
constexpr long long kRepairTailBytes = 512 * 1024;

// What to append to a log whose last bytes are `tail` (all of the file
// when `wholeFile`) so that the next row starts a row of its own: nothing,
// the missing line end, or a closing quote and a line end when the file
// was cut inside a quoted field.
QByteArray cutRowRepair(QByteArrayView tail, bool wholeFile);

} // namespace lumodm
