#include "bus/shared_bus.h"

#include "bus/forwarding_driver.h"

namespace lumodm {

class SharedBus::View : public ForwardingDriver
{
  public:
    explicit View(SharedBus& bus) : ForwardingDriver(bus.driver_), bus_(bus) {}

  protected:
    int pass(const DriverCall& call) override
    {
        bool lost = false;
        int result = 0;
        {
            const std::lock_guard<std::mutex> lock(bus_.mutex_);
            if (bus_.closed_) {
                // The program is ending: no call reaches a closed driver.
                status_ = GpibStatus{gpib::ERR, gpib::ENEB, 0};
                return status_.ibsta;
            }
            result = ForwardingDriver::pass(call);
            lost = bus_.lost_ && bus_.driver_.connectionLost();
        }
        // Outside the lock: the handler ends sessions, which may call in.
        if (lost) {
            bus_.lost_();
        }
        return result;
    }

  private:
    SharedBus& bus_;
};

SharedBus::SharedBus(GpibDriver& driver) : driver_(driver) {}

std::unique_ptr<GpibDriver> SharedBus::view()
{
    return std::make_unique<View>(*this);
}

void SharedBus::close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_) {
        closed_ = true;
        driver_.close();
    }
}

} // namespace lumodm
