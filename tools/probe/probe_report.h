// What tarvix-probe learned from one run: each native called, with its answer, what the
// library wrote to standard output meanwhile, and how long the call took.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace probe {

enum class AnswerKind { String, Boolean, StringArray, Nothing };

struct NativeCall {
  std::string native;                                  // the Java method's name
  std::optional<std::u16string> argument;              // the Java argument, for getJreVersionInfo
  AnswerKind kind = AnswerKind::Nothing;
  std::optional<std::u16string> text;                  // String: null when absent
  bool boolean = false;                                // Boolean
  std::optional<std::vector<std::u16string>> entries;  // StringArray: null when absent
  std::string printed;                                 // bytes written to stdout during the call
  double milliseconds = 0;
};

struct Report {
  std::u16string library;  // the DLL's path
  int bits = 0;
  std::vector<NativeCall> calls;
};

}  // namespace probe
