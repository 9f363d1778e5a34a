// Any formula text (and any variable values) through the evaluator: a result or an
// error code, never a crash, a hang or undefined behaviour.
#include "model/BvMath.h"
#include "model/VmBasis.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    long double v[5] = {2700, 100, 0, 0, 0};
    long double t = 3456, sp = 0;
    if (size >= 4) {
        std::int32_t raw = 0;
        std::memcpy(&raw, data, 4);
        t = raw;
        data += 4;
        size -= 4;
    }
    bool valid = false;
    vm::EvaluateFormula(std::string(reinterpret_cast<const char*>(data), size), t, sp, v, valid);
    return 0;
}
