#!/usr/bin/env bash
# The release archive holds exactly the files users are promised, and its DLLs pass the same
# static checks as the built ones.
#   check-archive.sh ARCHIVE CHECK_DLL X86_EXPORTS X64_EXPORTS
set -uo pipefail
archive=$(realpath "$1") check_dll=$2 x86_exports=$3 x64_exports=$4
failed=0
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

expected='README.md
com/velk/utils/MiscUtils.java
com/velk/utils/Tarvix.java
x64/Tarvix.dll
x64/tarvix-probe.exe
x86/Tarvix.dll
x86/tarvix-probe.exe'
listed=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' "$archive") \
  || { echo "FAIL: $archive is not a readable zip"; exit 1; }
if [ "$listed" = "$expected" ]; then echo "PASS archive holds exactly the promised files"; else
  echo "FAIL archive holds:"; echo "$listed"; failed=1; fi

(cd "$unpacked" && python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall()' "$archive")
for build in "x86 32 i686 $x86_exports" "x64 64 x86_64 $x64_exports"; do
  read -r arch bits triplet exports <<<"$build"
  if bash "$check_dll" "$triplet-w64-mingw32-objdump" "$unpacked/$arch/Tarvix.dll" "$bits" "$exports"; then
    echo "PASS $arch/Tarvix.dll passes the DLL checks"
  else
    echo "FAIL $arch/Tarvix.dll fails the DLL checks"; failed=1
  fi
  if "$triplet-w64-mingw32-objdump" -f "$unpacked/$arch/tarvix-probe.exe" | grep -q "file format pei-$([ "$bits" = 32 ] && echo i386 || echo x86-64)"; then
    echo "PASS $arch/tarvix-probe.exe is a $bits-bit Windows program"
  else
    echo "FAIL $arch/tarvix-probe.exe is not a $bits-bit Windows program"; failed=1
  fi
done
exit "$failed"
