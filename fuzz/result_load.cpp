// Any byte sequence handed to the result-file loader: it must end in success or in
// the load messages, never in a crash, a hang or an out-of-bounds access.
#include "file/VmErg.h"
#include "io/VmImport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool installed = [] {
        vm::InstallImporters();
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)installed;
    vm::TMemoryStream s(std::string(reinterpret_cast<const char*>(data), size));
    vm::TWettkampf c;
    vm::ReadResultStream(s, c);
    return 0;
}
