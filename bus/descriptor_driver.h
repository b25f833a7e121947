#pragma once

#include "bus/gpib_driver.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumodm {

// What a driver that keeps its own device descriptors shares: the table
// that ibdev fills and ibpad, ibtmo and ibask read and change, and the
// status bookkeeping every call ends with. The driver does the transfers.
class DescriptorDriver : public GpibDriver
{
  public:
    static constexpr int MaxDescriptors = 256;
    static constexpr int MaxTimeoutCode = 17;

    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override;
    int ibpad(int ud, int primary) override;
    int ibwait(int ud, int mask) override;
    int ibtmo(int ud, int timeoutCode) override;
    int ibask(int ud, int option, int* value) override;

  protected:
    struct Descriptor
    {
        int primary = 0;
        int secondary = 0;
        int timeoutCode = 0;
        bool eoiOnLast = true;
        int endOfString = 0;
    };

    static bool validPrimary(int primary);
    static bool validSecondary(int secondary);

    // nullptr for a descriptor never handed out.
    Descriptor* descriptor(int ud);
    int descriptorCount() const { return static_cast<int>(descriptors_.size()); }
    // Forgets every descriptor; the next ibdev hands out 1 again.
    void clearDescriptors() { descriptors_.clear(); }

    // ibask options beyond address, timeout and EOI; false for an option
    // the driver does not know.
    virtual bool askMore(const Descriptor& d, int option, int* value) const;

    int done(int bits, std::int64_t count = 0);
    int fail(int iberr, int bits = 0, std::int64_t count = 0);

  private:
    // Held by pointer so a Descriptor* stays valid while ibdev adds more.
    std::vector<std::unique_ptr<Descriptor>> descriptors_;
};

} // namespace lumodm
