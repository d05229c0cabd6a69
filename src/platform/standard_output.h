// The library's lines on the process's standard output.
#pragma once

#include <cstddef>

#include "platform/windows_api.h"

// Writes `text` (up to its first NUL) and a line break to the process's buffered standard
// output, encoded as UTF-8. A unit UTF-8 cannot carry (an unpaired surrogate) is written as
// U+FFFD, so no line is ever cut short. The stream is not flushed: lines reach their
// destination when the C runtime flushes it. False when the stream refused the bytes.
bool printLine(const WCHAR* text);

// The platform's half: hands bytes to the C runtime's stdout stream on Windows; the simulated
// machine captures them on the host.
bool writeStandardOutput(const char* bytes, std::size_t count);
