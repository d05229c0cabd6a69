#!/usr/bin/env bash
# tarvix-probe as a user runs it: the table, valid JSON with every call, the help text, and a
# clear message with its own exit status for a DLL that cannot be loaded or lacks natives.
#   probe-cli.sh BITS PROBE.exe Tarvix.dll
set -uo pipefail
bits=$1 probe=$2 dll=$3
# Carriage returns are the C runtime's text mode; the checks read lines.
run() { bash "$(dirname "$0")/../../scripts/wine-run" "$bits" "$probe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
failed=0
check() {  # check "what" command...
  local what=$1; shift
  if "$@"; then echo "PASS $what"; else echo "FAIL $what"; failed=1; fi
}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run "$dll" >"$out/table" 2>"$out/table.err"; status=$?
check "table: exit status 0" test "$status" -eq 0
for native in getVersion Init getMBManufacturer getMBProduct getMBVersion getMBSerialNumber getBIOSLanguage \
              getBIOSVersion getSMBIOSVersion getCSManufacturer getCSModel getHadrwareId Uninit; do
  check "table: a row for $native" grep -q "^$native " "$out/table"
done
check "table: getVersion's answer" grep -Eq '^getVersion +[0-9.]+  "Ver: 2009\.12\.25"$' "$out/table"
check "table: getJreVersionInfo for the usual names" \
  test "$(grep -Ec '^getJreVersionInfo\("(JavaHome|RuntimeLib|MicroVersion)"\)' "$out/table")" -eq 3
check "table: no createRootFile unless asked" bash -c "! grep -q createRootFile '$out/table'"

run --json "$dll" >"$out/json" 2>"$out/json.err"; status=$?
check "json: exit status 0" test "$status" -eq 0
check "json: valid, with every call as the table has it" python3 - "$out/json" "$bits" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
calls = report["calls"]
names = [c["native"] for c in calls]
assert report["bits"] == int(sys.argv[2]), report["bits"]
assert names[:2] == ["getVersion", "Init"] and names[-1] == "Uninit" and len(names) == 16, names
assert calls[0]["answer"] == "Ver: 2009.12.25"
assert all(isinstance(c["milliseconds"], float) and c["milliseconds"] >= 0 for c in calls)
assert all(isinstance(c["stdout"], list) for c in calls)
inventory = next(c for c in calls if c["native"] == "getHadrwareId")
assert inventory["answer"] is None or isinstance(inventory["answer"], list)
assert "answer" not in calls[-1]
PY

run --help >"$out/help"; status=$?
check "help: exit status 0" test "$status" -eq 0
check "help: names the options" grep -q -- '--json' "$out/help"

run --no-such-option "$dll" >/dev/null 2>"$out/err"; status=$?
check "a wrong option: exit status 1 and the reason" test "$status" -eq 1 -a -s "$out/err"

run 'C:\no\such\Tarvix.dll' >"$out/missing" 2>"$out/err"; status=$?
check "a DLL that cannot be loaded: exit status 2" test "$status" -eq 2
check "a DLL that cannot be loaded: says so" grep -q 'cannot load C:\\no\\such\\Tarvix.dll' "$out/err"
check "a DLL that cannot be loaded: nothing on stdout" test ! -s "$out/missing"

run 'C:\windows\system32\kernel32.dll' >/dev/null 2>"$out/err"; status=$?
check "a DLL without the natives: exit status 3" test "$status" -eq 3
check "a DLL without the natives: names what it lacks" grep -q 'lacks getVersion, Init' "$out/err"

exit "$failed"
