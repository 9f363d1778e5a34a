// The notice for the board at the venue: one A4 page with the competition,
// "Live-Ergebnisse", the address of the results in large type and its QR code.
#pragma once

#include "model/VmWettk.h"
#include "print/BvPrint.h"

#include <memory>
#include <string>

namespace vm {

inline constexpr std::int32_t PosterWidth = 2100;  // A4 portrait, tenths of a millimetre
inline constexpr std::int32_t PosterHeight = 2970;

// The page for `url` (UTF-8). Nullptr when the address is empty or too long for a QR
// code (the caller says so).
std::unique_ptr<TBvDocument> BuildPoster(const TWettkampf& c, const std::string& url);

} // namespace vm
