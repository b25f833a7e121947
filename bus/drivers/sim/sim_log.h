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
        if (messages_.size() >= Capacity) {
            messages_.pop_front();
        }
        messages_.push_back(message);
    }
    void clear() { messages_.clear(); }
    QList<QByteArray> received() const
    {
        return QList<QByteArray>(messages_.begin(), messages_.end());
    }

  private:
    std::deque<QByteArray> messages_;
};

} // namespace lumodm
