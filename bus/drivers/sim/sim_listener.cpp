#include "bus/drivers/sim/sim_listener.h"

namespace lumodm {

void SimulatedListener::handleMessage(const QByteArray& message)
{
    if (!idAnswer_.isEmpty() && message.trimmed().toUpper() == "ID?") {
        sendAnswer(idAnswer_);
    }
}

} // namespace lumodm
