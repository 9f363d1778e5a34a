// Any text as a certificate template: a template or a fault with its line, never a
// crash, a hang or undefined behaviour; a template read is written and read back alike.
#include "print/VmUrkunde.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vm::TUrkVorlage v;
    vm::TUrkFehler error;
    if (!vm::ParseUrkVorlage(text, v, error)) return 0;
    vm::TUrkVorlage back;
    if (!vm::ParseUrkVorlage(vm::FormatUrkVorlage(v), back, error)) std::abort();
    return 0;
}
