// Text helpers of the simulated machine: Windows names compare without regard to case.
#pragma once

#include <string>

#include "platform/windows_api.h"

namespace sim {

// The text of a NUL-terminated UTF-16 argument (empty for a null pointer).
std::u16string textOf(const WCHAR* text);
// ASCII letters folded to lower case, as Windows compares key, value and file names.
std::u16string foldCase(const std::u16string& text);
// Bytes of a UTF-16 text, as the registry stores it.
std::string bytesOf(const std::u16string& text);

}  // namespace sim
