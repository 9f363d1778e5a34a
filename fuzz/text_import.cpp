// Any bytes as a text participant file, imported into an individual and into a team
// competition built from the presets: entries are filed or reported, nothing else.
#include "base/BvBase.h"
#include "io/VmImport.h"
#include "model/VmVorg.h"
#include "model/VmWettk.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (int preset : {1001, 1002}) {
        auto c = vm::NewCompetition();
        vm::ApplyPreset(*c, preset, 2004);
        vm::TMemoryStream s(bytes);
        vm::ImportText(s, *c);
    }
    return 0;
}
