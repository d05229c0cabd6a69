#!/usr/bin/env bash
# Static checks of a built Tarvix.dll: what a JVM on a user's machine relies on before it
# runs a single native.
#   check-dll.sh OBJDUMP DLL BITS EXPORTS_FILE
# EXPORTS_FILE lists one export a line: its name and, on 32-bit, the bytes its stdcall
# return must pop.
set -uo pipefail
objdump=$1 dll=$2 bits=$3 exports_file=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$("$objdump" -p "$dll") || { echo "FAIL: cannot read $dll"; exit 1; }

# Machine type: a 32-bit JVM loads only an i386 image, a 64-bit one only x86-64.
case $bits in
  32) want_format=pei-i386 want_machine=014c ;;
  64) want_format=pei-x86-64 want_machine=8664 ;;
  *) echo "bits must be 32 or 64"; exit 2 ;;
esac
grep -q "file format $want_format" <<<"$headers" || fail "not a $want_format image"
"$objdump" -f "$dll" | grep -qi "architecture: i386" || fail "not an x86 architecture"
# The COFF machine field itself, read from the file.
pe_offset=$(od -An -tu4 -j 60 -N 4 "$dll" | tr -d ' ')
machine=$(od -An -tx2 -j $((pe_offset + 4)) -N 2 "$dll" | tr -d ' ')
[ "$machine" = "$want_machine" ] || fail "machine field is 0x$machine, expected 0x$want_machine"
grep -q "^Characteristics.*" <<<"$headers" && grep -q "DLL" <<<"$headers" || fail "image is not marked as a DLL"

# Exports: exactly the natives built, nothing else.
actual=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
expected=$(cut -d' ' -f1 "$exports_file" | sort)
if [ "$actual" != "$expected" ]; then
  fail "exports differ from the natives built"
  diff <(echo "$expected") <(echo "$actual") | sed 's/^/  /'
fi

# Imports: only DLLs that every Windows has; the compiler's runtime is linked in.
system_dlls='^(kernel32|user32|advapi32|ole32|oleaut32|setupapi|msvcrt|ntdll)\.dll$|^api-ms-win-'
while read -r name; do
  lower=$(tr 'A-Z' 'a-z' <<<"$name")
  grep -Eq "$system_dlls" <<<"$lower" || fail "imports $name, which is not a Windows system DLL"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

# 32-bit: every native is stdcall, so every return pops its own arguments (ret $0x8, or
# $0xc with one Java argument). A plain ret would unbalance the JVM's stack.
if [ "$bits" = 32 ]; then
  nm=${objdump%objdump}nm
  symbols=$("$nm" -n "$dll")
  while read -r symbol bytes; do
    # The function and its compiler-split cold part, each up to the next symbol.
    body=""
    for part in "$symbol" "$symbol.cold"; do
      range=$(awk -v s="$part" '$3 == s { start = $1; next } start != "" { print start, $1; exit }' <<<"$symbols")
      [ -n "$range" ] || continue
      read -r start stop <<<"$range"
      body+=$("$objdump" -d --no-show-raw-insn --start-address=0x$start --stop-address=0x$stop "$dll" \
              | grep -E '^[[:space:]]*[0-9a-f]+:\s')$'\n'
    done
    [ -n "${body//$'\n'/}" ] || { fail "$symbol: no code found"; continue; }
    rets=$(grep -E $'\tret' <<<"$body")
    want=$(printf 'ret +\\$0x%x$' "$bytes")
    [ -n "$rets" ] || fail "$symbol: no return instruction"
    bad=$(grep -Ev "$want" <<<"$rets" || true)
    [ -z "$bad" ] || fail "$symbol: returns without popping $bytes bytes: $(echo $bad)"
  done <"$exports_file"
fi

if [ "$failures" -eq 0 ]; then
  echo "$(basename "$dll") ($bits-bit): machine, $(wc -l <"$exports_file") exports, imports and calling convention as required"
  exit 0
fi
exit 1
