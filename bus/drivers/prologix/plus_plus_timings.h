#pragma once

namespace lumodm {

// How long the "++" driver waits for what; every wait of the driver is one
// of these (or a device timeout plus the margin), so no call can hang.
struct PlusPlusTimings
{
    int connectMs = 3000; // TCP connection
    // An adapter may reset when its port opens (an Arduino board restarts
    // its boot loader) and answer only after this long.
    int startupMs = 5000;
    int probeMs = 300;          // between "++ver" probes while it starts
    int quietMs = 150;          // silence that ends the start-up chatter
    int marginMs = 300;         // beyond the adapter's own timeout, for the line
    int syncMs = 1500;          // for the adapter's answer to "++ver"
    int discoveryPollMs = 30;   // the adapter's timeout for a discovery poll
    int discoveryMarginMs = 40; // and the line's margin on it
};

} // namespace lumodm
