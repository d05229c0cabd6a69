#!/usr/bin/env bash
# cppcheck over the library's sources, every preprocessor configuration; any finding fails.
# A finding judged wrong is suppressed at its line (cppcheck-suppress) with the reason.
#   cppcheck.sh SOURCE_DIR JNI_INCLUDE_DIRS...
set -uo pipefail
source_dir=$1; shift
includes=()
for dir in "$@"; do includes+=(-I "$dir"); done
cd "$source_dir" || exit 1
cppcheck --quiet --enable=warning,style,performance,portability --std=c++17 --language=c++ --inline-suppr \
  --error-exitcode=1 -I src "${includes[@]}" --suppress=missingIncludeSystem --suppress=unmatchedSuppression \
  src/boundary src/inventory src/misc src/wmi src/platform/standard_output.cpp src/platform/windows
status=$?
[ "$status" -eq 0 ] && echo "cppcheck: no findings"
exit "$status"
