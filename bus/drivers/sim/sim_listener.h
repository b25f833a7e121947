#pragma once

#include "bus/drivers/sim/sim_device.h"

#include <QByteArray>
#include <utility>

namespace lumodm {

// Some other instrument on the bus: it listens, and answers "ID?" (in any
// letter case) with a fixed text, or never answers when that text is
// empty. Everything else it takes in silently.
class SimulatedListener : public SimDevice
{
  public:
    explicit SimulatedListener(QByteArray idAnswer = {}) : idAnswer_(std::move(idAnswer)) {}

    const QByteArray& idAnswer() const { return idAnswer_; }

  protected:
    void handleMessage(const QByteArray& message) override;

  private:
    QByteArray idAnswer_;
};

} // namespace lumodm
