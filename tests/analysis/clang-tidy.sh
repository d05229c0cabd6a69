#!/usr/bin/env bash
# clang-tidy over the library's sources with the committed .clang-tidy, in one build's
# compile commands; any finding fails. For a mingw-w64 build, give its target triplet: clang
# then parses the sources as that Windows target with the mingw-w64 headers.
#   clang-tidy.sh SOURCE_DIR BUILD_DIR [TRIPLET]
set -uo pipefail
source_dir=$1 build_dir=$2 triplet=${3:-}
cd "$source_dir" || exit 1
extra=()
files=$(git ls-files 'src/*.cpp' 2>/dev/null || find src -name '*.cpp')
if [ -n "$triplet" ]; then
  cxx_include=$(ls -d /usr/lib/gcc/"$triplet"/*-posix/include/c++ | head -1)
  extra=(--extra-arg=--target="$triplet" --extra-arg=-isystem"$cxx_include" --extra-arg=-isystem"$cxx_include/$triplet")
else
  # The Windows-only files are not in a host build's compile commands.
  files=$(grep -v -e '/windows/' -e 'dll_entry.cpp' <<<"$files")
fi
# shellcheck disable=SC2086
output=$(clang-tidy -p "$build_dir" --quiet "${extra[@]}" $files 2>&1)
status=$?
findings=$(grep -E '(warning|error): ' <<<"$output")
if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
  echo "$output"
  exit 1
fi
echo "clang-tidy: no findings in $(wc -w <<<"$files") files"
