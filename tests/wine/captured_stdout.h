// Catches what the C runtime's stdout receives while it lives: the library's lines go to the
// process's buffered stdout stream, which it never flushes; this flushes it and reads them.
#pragma once

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

class CapturedStdout {
 public:
  explicit CapturedStdout(const char* file) : file_(file) {
    std::fflush(stdout);
    saved_ = _dup(1);
    int target = _open(file, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    _dup2(target, 1);
    _close(target);
  }
  ~CapturedStdout() { restore(); }
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;

  // Everything written since. Whether the stream is in text mode (each "\n" written as
  // "\r\n") is the runtime's affair, so carriage returns are dropped.
  std::string text() {
    restore();
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    std::string bytes = content.str();
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
  std::string file_;
  int saved_ = -1;
};
