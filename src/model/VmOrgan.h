// The organisation list: 361-byte entries that are stored with the file and copied
// with the competition; the program does not interpret them.
#pragma once

#include "base/BvBase.h"

#include <array>
#include <cstdint>

namespace vm {

struct TOrganEntry {
    static constexpr std::size_t Size = 361;
    std::array<std::uint8_t, Size> bytes{};
};

class TOrganList : public TCollection<TOrganEntry> {
public:
    TOrganList() : TCollection<TOrganEntry>(10, 10) {}
    std::uint8_t Flag = 0; // the byte stored after the entries, kept as read
};

} // namespace vm
