#pragma once

#include "platform/forwarding_platform.h"

namespace lumodm {

// Passes everything to the platform underneath, except that a fatal end
// of the program leaves with the status the reader has set for the stage
// it is in: a meter that could not be found or set up is told apart from
// a reading that failed.
class FatalStatusPlatform : public ForwardingPlatform
{
  public:
    explicit FatalStatusPlatform(PlatformServices& inner) : ForwardingPlatform(inner) {}

    void setFatalStatus(int status) { fatalStatus_ = status; }
    int fatalStatus() const { return fatalStatus_; }

    [[noreturn]] void endProgram(int exitStatus) override;

  private:
    int fatalStatus_ = 1;
};

} // namespace lumodm
