#include "base/VmAssert.h"

#include <cstdio>
#include <cstdlib>

namespace vm {

void AssertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: Annahme verletzt: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

} // namespace vm
