// Catches what the C runtime's stdout receives while it lives: the library's lines go to the
// process's buffered stdout stream, which it never flushes; this flushes it and reads them.
#pragma once

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>

class CapturedStdout {
 public:
  explicit CapturedStdout(const wchar_t* file) : file_(file) {
    std::fflush(stdout);
    int target = _wopen(file, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    if (target < 0) return;  // nothing caught: the lines stay on stdout
    saved_ = _dup(1);
    _dup2(target, 1);
    _close(target);
  }
  ~CapturedStdout() { restore(); }
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;

  bool capturing() const { return saved_ >= 0; }

  // Everything written since. Whether the stream is in text mode (each "\n" written as
  // "\r\n") is the runtime's affair, so carriage returns are dropped.
  std::string text() {
    if (!capturing()) return {};
    restore();
    std::string bytes;
    if (FILE* in = _wfopen(file_.c_str(), L"rb")) {
      char chunk[4096];
      std::size_t count = 0;
      while ((count = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, count);
      std::fclose(in);
    }
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
    return bytes;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stdout);
    _dup2(saved_, 1);
    _close(saved_);
    saved_ = -1;
  }
  std::wstring file_;
  int saved_ = -1;
};
