// One line per check, and the closing count that CTest's output shows.
#pragma once

#include <cstdio>
#include <string>

class CheckReport {
 public:
  bool expect(bool holds, const std::string& what) {
    std::printf("%s %s\n", holds ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    (holds ? passed_ : failed_) += 1;
    return holds;
  }
  int finish() const {
    std::printf("%d passed, %d failed\n", passed_, failed_);
    return failed_ == 0 ? 0 : 1;
  }

 private:
  int passed_ = 0;
  int failed_ = 0;
};
