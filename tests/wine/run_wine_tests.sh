#!/usr/bin/env bash
# vyrparser.dll under Wine, in a private prefix inside the Windows build folder: registration by
# regsvr32 checked key by key, a VBScript client (late binding), the C++ client (early binding), and
# unregistration. Usage: run_wine_tests.sh BUILD_WINDOWS_DIR EXAMPLE_MISSION
set -euo pipefail

build=$(cd "$1" && pwd)
mission=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd)
dll="$build/bin/vyrparser.dll"
client="$build/bin/vyr_wine_client.exe"
work="$build/wine-test"

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no display needed.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
log="$build/wine.log"
: >"$log"

fail() {
  echo "FAIL: $*"
  echo "--- Wine's own messages ($log):"
  tail -n 20 "$log"
  exit 1
}

# Linux path to the Windows name Wine gives it through its Z: drive.
win() { printf 'Z:%s' "${1//\//\\}"; }

wine_run() { wine "$@" 2>>"$log" | tr -d '\r'; }

[ -f "$dll" ] || fail "$dll is missing: build the windows preset first"
if [ ! -f "$WINEPREFIX/.vyr-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >>"$log" 2>&1 || fail "wineboot could not create $WINEPREFIX"
  wineserver -w
  touch "$WINEPREFIX/.vyr-ready"
fi
rm -rf "$work"
mkdir -p "$work"
# Whatever an earlier run left registered goes first.
wine regsvr32 /u /s "$(win "$dll")" >>"$log" 2>&1 || true

wine regsvr32 /s "$(win "$dll")" >>"$log" 2>&1 || fail "regsvr32 vyrparser.dll failed"

clsid='{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}'
libid='{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}'
# The default value of a key under HKEY_CLASSES_ROOT, or nothing when the key is missing.
default_of() {
  wine_run reg query "HKCR\\$1" /ve | sed -n 's/^ *(Default) *REG_SZ *//p'
}
expect_default() {
  local got
  got=$(default_of "$1")
  [ "$got" == "$2" ] || fail "HKCR\\$1 holds [$got], expected [$2]"
}
expect_key() { wine reg query "HKCR\\$1" >>"$log" 2>&1 || fail "HKCR\\$1 is missing"; }
expect_no_key() { ! wine reg query "HKCR\\$1" >>"$log" 2>&1 || fail "HKCR\\$1 is still there"; }

expect_default 'Vyrmission.VYRMission.1' 'VYRMission Class'
expect_default 'Vyrmission.VYRMission.1\CLSID' "$clsid"
expect_default 'Vyrmission.VYRMission' 'VYRMission Class'
expect_default 'Vyrmission.VYRMission\CLSID' "$clsid"
expect_default 'Vyrmission.VYRMission\CurVer' 'Vyrmission.VYRMission.1'
expect_default "CLSID\\$clsid" 'VYRMission Class'
expect_default "CLSID\\$clsid\\ProgID" 'Vyrmission.VYRMission.1'
expect_default "CLSID\\$clsid\\VersionIndependentProgID" 'Vyrmission.VYRMission'
expect_key "CLSID\\$clsid\\Programmable"
expect_default "CLSID\\$clsid\\InprocServer32" "$(win "$dll")"
expect_default "CLSID\\$clsid\\TypeLib" "$libid"
! wine reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel >>"$log" 2>&1 ||
  fail "InprocServer32 has a ThreadingModel value"
expect_default "TypeLib\\$libid\\1.0" 'vyrmission 1.0 Type Library'
expect_default "TypeLib\\$libid\\1.0\\409\\win64" "$(win "$dll")"
echo "registration: the keys are in place"

out=$(wine_run cscript //nologo "$(win "$here/client.vbs")" "$(win "$mission")" "$(win "$work/generated.vbs.vyr")")
echo "$out" | sed 's/^/vbscript: /'
[ "$(echo "$out" | tail -n 1)" == "ALL OK" ] || fail "the VBScript client failed"

out=$(wine_run "$client" "$(win "$mission")" "$(win "$work/generated.cpp.vyr")") || true
echo "$out" | sed 's/^/c++ client: /'
[ "$(echo "$out" | tail -n 1)" == "ALL OK" ] || fail "the C++ client failed"

wine regsvr32 /u /s "$(win "$dll")" >>"$log" 2>&1 || fail "regsvr32 /u vyrparser.dll failed"
expect_no_key "CLSID\\$clsid"
expect_no_key 'Vyrmission.VYRMission.1'
expect_no_key 'Vyrmission.VYRMission'
expect_no_key "TypeLib\\$libid\\1.0"
expect_key 'CLSID'
out=$(wine_run cscript //nologo "$(win "$here/create_fails.vbs")")
[ "$(echo "$out" | tail -n 1)" == "ALL OK" ] || fail "after unregistration: $out"
echo "unregistration: the keys are gone and CreateObject fails"
wineserver -k >/dev/null 2>&1 || true
