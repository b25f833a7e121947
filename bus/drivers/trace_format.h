#pragma once

#include "bus/gpib_driver.h"

#include <cstdint>
#include <string>

namespace lumodm::trace {

// Bytes as a quoted C-style string: printable ASCII as is; backslash
// escapes (\r, \n, \t, \", \\, \xHH) for the rest, so that line ends,
// NULs and stray bytes show.
// At most `limit` bytes are shown; the rest is counted.
std::string quoted(const char* data, long count, long limit = 4096);

// "ibsta 0xc100 (ERR TIMO CMPL), iberr 6 (EABO), ibcntl 0": iberr only
// when ERR is set, as it means nothing otherwise.
std::string statusText(const GpibStatus& status);

// An address list up to NOADDR, runs of consecutive addresses shortened:
// "[0..30]", "[0 12 16]". At most `limit` entries are read.
std::string addressList(const std::uint16_t* addresses, int limit = 1024);
std::string foundList(const std::int16_t* results, std::int64_t count);

} // namespace lumodm::trace
