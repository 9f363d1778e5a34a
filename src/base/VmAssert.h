// VM_ASSERT(condition): checks an invariant the code relies on ("cannot happen").
// Active in Debug builds and in every sanitizer or fuzzing build, where a broken
// invariant stops the program at once with the condition and its place; in a
// release build the condition is compiled but never evaluated.
#pragma once

namespace vm {
[[noreturn]] void AssertionFailed(const char* condition, const char* file, int line);
} // namespace vm

#if defined(VELMORA_ASSERTS)
#define VM_ASSERT(condition)                                                                       \
    ((condition) ? static_cast<void>(0) : ::vm::AssertionFailed(#condition, __FILE__, __LINE__))
#else
#define VM_ASSERT(condition) static_cast<void>(sizeof((condition) ? 1 : 0))
#endif
