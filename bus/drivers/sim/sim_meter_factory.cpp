#include "bus/drivers/sim/sim_meter_factory.h"

#include "bus/drivers/sim/sim_dm5010.h"
#include "bus/drivers/sim/sim_dm51x0.h"

namespace lumodm {

std::unique_ptr<SimulatedMeter> createSimulatedMeter(const QString& model)
{
    const SimModel* found = findSimModel(model);
    if (found == nullptr) {
        return nullptr;
    }
    if (found == &simDm5010Model()) {
        return std::make_unique<Dm5010Meter>();
    }
    return std::make_unique<Dm51x0Meter>(*found);
}

} // namespace lumodm
