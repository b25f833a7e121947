#include "bus/drivers/prologix/plus_plus_link.h"

#include <algorithm>

namespace lumodm {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

void PlusPlusLink::queue(const QByteArray& line)
{
    out_ += line;
    out_ += '\n';
}

bool PlusPlusLink::flush()
{
    if (out_.isEmpty()) {
        return !lost_;
    }
    if (!lost_ && !transport_.send(out_)) {
        lost_ = true;
    }
    out_.clear();
    return !lost_;
}

bool PlusPlusLink::fill(qint64 deadline)
{
    if (lost_) {
        return false;
    }
    const qint64 wait = std::max<qint64>(0, deadline - transport_.nowMs());
    bool gone = false;
    QByteArray bytes = transport_.receive(static_cast<int>(std::min<qint64>(wait, 1 << 30)), &gone);
    if (gone) {
        lost_ = true;
    }
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    if (bytes.isEmpty()) {
        return false;
    }
    // Bounded: an adapter that streams without end cannot fill the memory.
    const qsizetype room = std::max<qsizetype>(0, MaxData + MaxLine - in_.size());
    in_ += bytes.left(room);
    return true;
}

void PlusPlusLink::discardArrived()
{
    in_.clear();
    bool gone = false;
    while (!lost_) {
        const QByteArray bytes = transport_.receive(0, &gone);
        if (gone) {
            lost_ = true;
        }
        if (bytes.isEmpty()) {
            break;
        }
    }
}

std::optional<QByteArray> PlusPlusLink::readLine(qint64 deadline)
{
    for (;;) {
        // Skip line ends left from earlier lines (CR LF, LF CR, blank lines).
        qsizetype start = 0;
        while (start < in_.size() && isLineEnd(in_[start])) {
            ++start;
        }
        in_.remove(0, start);
        const auto end = std::find_if(in_.begin(), in_.end(), isLineEnd);
        if (end != in_.end() || in_.size() >= MaxLine) {
            const qsizetype length = std::min<qsizetype>(end - in_.begin(), MaxLine);
            QByteArray line = in_.left(length);
            in_.remove(0, length);
            return line.trimmed();
        }
        if (!fill(deadline)) {
            if (transport_.nowMs() >= deadline || lost_) {
                return std::nullopt;
            }
        }
    }
}

PlusPlusLink::Data PlusPlusLink::readUntil(char marker, int idleMs, qint64 hardDeadline)
{
    Data data;
    qint64 deadline = std::min(transport_.nowMs() + idleMs, hardDeadline);
    for (;;) {
        const qsizetype at = in_.indexOf(marker);
        if (at >= 0) {
            data.bytes = in_.left(std::min(at, MaxData));
            in_.remove(0, at + 1);
            data.complete = true;
            return data;
        }
        if (in_.size() >= MaxData) {
            data.bytes = in_.left(MaxData);
            in_.clear();
            return data;
        }
        if (fill(deadline)) {
            deadline = std::min(transport_.nowMs() + idleMs, hardDeadline);
        } else if (transport_.nowMs() >= deadline || lost_) {
            data.bytes = in_;
            in_.clear();
            return data;
        }
    }
}

bool PlusPlusLink::sync(const QByteArray& version, qint64 deadline, QByteArray* before)
{
    queue("++ver");
    if (!flush()) {
        return false;
    }
    versionsOwed_ = std::min(versionsOwed_ + 1, MaxVersionsOwed);
    bool heard = false;
    for (;;) {
        if (in_.size() > MaxData) {
            // Keep the tail: the version line can only be at the end.
            in_.remove(0, in_.size() - MaxLine);
        }
        // The version line may follow read data that has no line end.
        qsizetype at = in_.indexOf(version);
        while (at >= 0) {
            const qsizetype after = at + version.size();
            if (after < in_.size() && isLineEnd(in_[after])) {
                if (before != nullptr) {
                    *before = in_.left(at);
                }
                qsizetype next = after;
                while (next < in_.size() && isLineEnd(in_[next]) && next < after + 2) {
                    ++next;
                }
                in_.remove(0, next);
                heard = true;
                if (--versionsOwed_ == 0) {
                    return true;
                }
                at = in_.indexOf(version);
            } else {
                at = in_.indexOf(version, at + 1);
            }
        }
        if (lost_) {
            return false;
        }
        if (transport_.nowMs() >= deadline) {
            // An adapter that answered and then stayed quiet has lost the
            // "++ver" still owed (while it restarted, say): it is in step.
            if (heard) {
                versionsOwed_ = 0;
                if (before != nullptr) {
                    *before = in_;
                }
                in_.clear();
            }
            return heard;
        }
        fill(deadline);
    }
}

void PlusPlusLink::drainUntilQuiet(int quietMs, qint64 deadline)
{
    in_.clear();
    while (!lost_ && transport_.nowMs() < deadline) {
        if (!fill(std::min(transport_.nowMs() + quietMs, deadline))) {
            break;
        }
        in_.clear();
    }
}

} // namespace lumodm
