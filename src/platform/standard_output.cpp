#include "platform/standard_output.h"

#include <string>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

bool printLine(const WCHAR* text) {
  std::string line;
  for (const WCHAR* unit = text; *unit != 0; ++unit) {
    char32_t code = static_cast<char16_t>(*unit);
    if (isHighSurrogate(code) && isLowSurrogate(static_cast<char16_t>(unit[1]))) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char16_t>(unit[1]) - 0xDC00u);
      ++unit;
    } else if (isHighSurrogate(code) || isLowSurrogate(code)) {
      code = kReplacement;
    }
    appendUtf8(line, code);
  }
  line += '\n';
  return writeStandardOutput(line.data(), line.size());
}
