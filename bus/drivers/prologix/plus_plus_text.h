#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace lumodm::plusplus {

// Data for the instrument as one adapter line: CR, LF, ESC and "+" get an
// ESC in front, so that the adapter passes them on instead of taking them
// as the end of the line or the start of a "++" command.
QByteArray escaped(const char* data, long count);

// An adapter's answer to a serial poll: a decimal number 0 to 255.
std::optional<int> statusByte(const QByteArray& answer);

// The primary addresses (0 to 30) named in an answer listing listeners.
std::vector<int> addressesIn(const QByteArray& answer);

} // namespace lumodm::plusplus
