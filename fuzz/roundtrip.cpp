// Load, save, load again: whatever a file held, once it loads, saving it and loading
// the saved bytes must give the same competition, and saving that gives the same bytes.
#include "file/VmErg.h"
#include "io/VmImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool installed = [] {
        vm::InstallImporters();
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)installed;
    vm::TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    vm::TWettkampf first;
    if (!vm::ReadResultStream(in, first)) return 0;
    vm::TMemoryStream saved;
    vm::WriteNative(saved, first);
    vm::TMemoryStream again(saved.Data());
    vm::TWettkampf second;
    if (!vm::ReadResultStream(again, second)) std::abort();
    vm::TMemoryStream resaved;
    vm::WriteNative(resaved, second);
    if (resaved.Data() != saved.Data()) std::abort();
    return 0;
}
