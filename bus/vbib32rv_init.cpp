#include "bus/vbib32rv.h"
#include "bus/vbib32rv_text.h"

#include <algorithm>

namespace lumodm {

namespace {

constexpr int MaxListeners = 14;
constexpr int DiscoveryLimit = 15;
// The interface's own address word: primary 0, no secondary address.
constexpr std::int16_t BoardAddress = 0;

} // namespace

void Vbib32Rv::InitGpibBus(std::int16_t& mode)
{
    ListenerTable.fill(0);
    UnclaimedListeners.fill(0);

    // Addresses 0 to 30, then the terminator; the last entry is never read.
    std::array<std::uint16_t, 33> addresses{};
    for (std::uint16_t a = 0; a <= 30; ++a) {
        addresses[a] = a;
    }
    addresses[31] = gpib::NOADDR;

    gpib_.SendIFC(0);
    gpib_.ibsre(0, 1);

    // Discovery fills a list of its own: the interface usually answers at
    // address 0, but not every driver reports it, so the listeners are
    // picked out by address instead of by position.
    std::array<std::int16_t, DiscoveryLimit> found{};
    gpib_.FindLstn(0, addresses.data(), found.data(), DiscoveryLimit);

    int error = gpib_.iberr;
    bool failed = (gpib_.ibsta & gpib::ERR) != 0;
    if (!failed) {
        const int reported = std::clamp<int>(gpib_.ibcnt, 0, DiscoveryLimit);
        int kept = 0;
        for (int i = 0; i < reported; ++i) {
            if (found[i] == BoardAddress) {
                continue;
            }
            if (kept == MaxListeners) {
                // Fifteen instruments: the tables cannot hold them.
                failed = true;
                error = gpib::ETAB;
                break;
            }
            ListenerTable[++kept] = found[i];
        }
        if (!failed) {
            ListenerTable[0] = static_cast<std::int16_t>(kept);
            UnclaimedListeners = ListenerTable;
            return;
        }
        ListenerTable.fill(0);
    }

    QString text;
    if (error == gpib::EBUS) {
        if (mode == -1) {
            return;
        }
        text = QStringLiteral("No listeners found.");
    } else if (error == gpib::ETAB) {
        text = QStringLiteral("Too many listeners found.\nMax 14 listeners allowed.");
    }
    if (mode == 1 || error != gpib::EBUS) {
        text += QStringLiteral("\n\nCorrect problem and restart.");
    }
    if (!text.isEmpty()) {
        platform_.messageBox(text,
                             QStringLiteral("Initialization Error") + vbib32rv::numberText(error),
                             MessageButtons::Ok, MessageIcon::Stop);
    }
    if (mode == 1) {
        platform_.endProgram(1);
    }
}

} // namespace lumodm
