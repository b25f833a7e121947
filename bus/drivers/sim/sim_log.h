#pragma once

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <deque>

namespace lumodm {

// What one simulated device received and answered, oldest first. Bounded,
// so a demo that runs for hours does not grow without end.
class SimLog
{
  public:
    enum class Kind { Received, Sent };
    struct Entry
    {
        Kind kind;
        QByteArray text;
    };

    static constexpr std::size_t Capacity = 2000;

    void add(Kind kind, const QByteArray& text)
    {
        if (entries_.size() >= Capacity) {
            entries_.pop_front();
        }
        entries_.push_back(Entry{kind, text});
    }
    void clear() { entries_.clear(); }
    const std::deque<Entry>& entries() const { return entries_; }

    QList<QByteArray> received() const { return of(Kind::Received); }
    QList<QByteArray> sent() const { return of(Kind::Sent); }

  private:
    QList<QByteArray> of(Kind kind) const
    {
        QList<QByteArray> texts;
        for (const Entry& entry : entries_) {
            if (entry.kind == kind) {
                texts.append(entry.text);
            }
        }
        return texts;
    }

    std::deque<Entry> entries_;
};

} // namespace lumodm
