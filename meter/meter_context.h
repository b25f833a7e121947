#pragma once

#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/reading_record.h"
#include "platform/platform_services.h"

#include <functional>

namespace lumodm {

// What the command model works on: the window model with its state, the
// bus helper module, and the platform.
struct MeterContext
{
    Form1& form;
    Vbib32Rv& gpib;
    PlatformServices& platform;

    // The one call back up into the panel: a reading that finds the meter
    // on another function stops the run (Button_Stop_Click).
    std::function<void()> stopRun;

    // Optional: told of every displayed reading.
    ReadingObserver* readingObserver = nullptr;
};

} // namespace lumodm
