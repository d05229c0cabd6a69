#include "probe_output.h"

#include <cstdio>

#include "utf8_append.h"

namespace probe {
namespace {

using text::appendUtf8;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::string hexEscape(char16_t unit) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
  return escape;
}

// Java text as UTF-8 on one line. Control characters are escaped; an unpaired surrogate
// has no UTF-8 form, so JSON keeps it as an escape and the table shows U+FFFD.
std::string escaped(const std::u16string& text, bool json) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      if (json) {
        out += hexEscape(unit);
      } else {
        appendUtf8(out, 0xFFFD);
      }
    } else if (unit == u'"' || unit == u'\\') {
      out += json ? "\\" : "";
      out += static_cast<char>(unit);
    } else if (unit < 0x20 || unit == 0x7F) {
      out += hexEscape(unit);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

std::string quoted(const std::u16string& text, bool json) { return "\"" + escaped(text, json) + "\""; }

// The library's stdout bytes as text: UTF-8 read leniently, each bad byte as U+FFFD.
std::u16string decodeUtf8(const std::string& bytes) {
  std::u16string text;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    char32_t point = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length != 0 && i + length <= bytes.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      valid = (next & 0xC0) == 0x80;
      point = (point << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && point >= smallest[length] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
    if (!valid) {
      text += u'\uFFFD';
      ++i;
      continue;
    }
    if (point >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(point);
    }
    i += length;
  }
  return text;
}

// The lines the library printed; carriage returns belong to the stream's text mode.
std::vector<std::u16string> printedLines(const std::string& printed) {
  std::vector<std::u16string> lines;
  std::string line;
  for (char byte : printed) {
    if (byte == '\n') {
      lines.push_back(decodeUtf8(line));
      line.clear();
    } else if (byte != '\r') {
      line += byte;
    }
  }
  if (!line.empty()) lines.push_back(decodeUtf8(line));
  return lines;
}

std::string label(const NativeCall& call) {
  return call.argument ? call.native + "(" + quoted(*call.argument, false) + ")" : call.native;
}

std::string milliseconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

std::string padded(const std::string& text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string room(width - text.size(), ' ');
  return right ? room + text : text + room;
}

std::string jsonStringList(const std::vector<std::u16string>& items, const std::string& indent) {
  if (items.empty()) return "[]";
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += (i == 0 ? "\n" : ",\n") + indent + "  " + quoted(items[i], true);
  }
  return out + "\n" + indent + "]";
}

}  // namespace

std::string renderTable(const Report& report) {
  std::string out = "Tarvix.dll, " + std::to_string(report.bits) + "-bit: " + escaped(report.library, false) + "\n\n";
  const std::size_t nameWidth = 34;
  out += padded("native", nameWidth, false) + padded("ms", 10, true) + "  answer\n";
  for (const auto& call : report.calls) {
    out += padded(label(call), nameWidth, false) + padded(milliseconds(call.milliseconds), 10, true) + "  ";
    switch (call.kind) {
      case AnswerKind::String:
        out += call.text ? quoted(*call.text, false) : "null";
        break;
      case AnswerKind::Boolean:
        out += call.boolean ? "true" : "false";
        break;
      case AnswerKind::StringArray:
        out += call.entries ? std::to_string(call.entries->size()) + " entries" : "null";
        break;
      case AnswerKind::Nothing:
        out += "(no answer)";
        break;
    }
    out += "\n";
    const std::string indent(nameWidth + 12, ' ');
    if (call.entries) {
      for (std::size_t i = 0; i < call.entries->size(); ++i) {
        out += indent + "[" + std::to_string(i) + "] " + quoted((*call.entries)[i], false) + "\n";
      }
    }
    for (const auto& line : printedLines(call.printed)) {
      out += indent + "stdout: " + quoted(line, false) + "\n";
    }
  }
  return out;
}

std::string renderJson(const Report& report) {
  std::string out = "{\n  \"library\": " + quoted(report.library, true) + ",\n  \"bits\": " +
                    std::to_string(report.bits) + ",\n  \"calls\": [";
  for (std::size_t i = 0; i < report.calls.size(); ++i) {
    const auto& call = report.calls[i];
    out += (i == 0 ? "\n" : ",\n");
    out += "    {\n      \"native\": " + quoted(std::u16string(call.native.begin(), call.native.end()), true) + ",\n";
    if (call.argument) out += "      \"argument\": " + quoted(*call.argument, true) + ",\n";
    switch (call.kind) {
      case AnswerKind::String:
        out += "      \"answer\": " + (call.text ? quoted(*call.text, true) : "null") + ",\n";
        break;
      case AnswerKind::Boolean:
        out += std::string("      \"answer\": ") + (call.boolean ? "true" : "false") + ",\n";
        break;
      case AnswerKind::StringArray:
        out += "      \"answer\": " + (call.entries ? jsonStringList(*call.entries, "      ") : "null") + ",\n";
        break;
      case AnswerKind::Nothing:
        break;
    }
    out += "      \"stdout\": " + jsonStringList(printedLines(call.printed), "      ") + ",\n";
    out += "      \"milliseconds\": " + milliseconds(call.milliseconds) + "\n    }";
  }
  out += report.calls.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

}  // namespace probe
