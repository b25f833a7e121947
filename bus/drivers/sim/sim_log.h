#pragma once

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <deque>

namespace lumodm {

// The messages one simulated device received, oldest first. Bounded, so a
// demo that runs for hours does not grow without end.
class SimLog
{
  public:
    static constexpr std::size_t Capacity = 2000;

    void add(const QByteArray& message)
    {
        if (capacity_ == 0) {
            return;
        }
        if (messages_.size() >= capacity_) {
            messages_.pop_front();
        }
        messages_.push_back(message);
    }
    // 0 keeps nothing: only tests read the log, and a program need not
    // carry it.
    void setCapacity(std::size_t capacity)
    {
        capacity_ = capacity;
        while (messages_.size() > capacity_) {
            messages_.pop_front();
        }
    }
    void clear() { messages_.clear(); }
    QList<QByteArray> received() const
    {
        return QList<QByteArray>(messages_.begin(), messages_.end());
    }

  private:
    std::size_t capacity_ = Capacity;
    std::deque<QByteArray> messages_;
};

} // namespace lumodm
