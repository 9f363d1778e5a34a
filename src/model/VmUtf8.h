// Appends one code point of the basic multilingual plane, where every character of
// the program's code pages lies, as UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

void AppendUtf8(std::string& out, std::uint32_t cp);

} // namespace vm
