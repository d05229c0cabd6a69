#include "sim_text.h"

#include <cstring>

namespace sim {

std::u16string textOf(const WCHAR* text) {
  std::u16string out;
  if (text == nullptr) return out;
  for (; *text != 0; ++text) out.push_back(static_cast<char16_t>(*text));
  return out;
}

std::u16string foldCase(const std::u16string& text) {
  std::u16string out = text;
  for (char16_t& unit : out) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  }
  return out;
}

std::string bytesOf(const std::u16string& text) {
  std::string out(text.size() * 2, '\0');
  if (!text.empty()) std::memcpy(out.data(), text.data(), out.size());
  return out;
}

}  // namespace sim
