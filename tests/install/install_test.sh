#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR PROJECT.cme MODULEDIR SOURCE_DIR
# An install tree keeps working after it is moved: the moved `vyr` registers the library in MODULEDIR
# (relative to the prefix), not the build tree's copy, so do the moved editor and a client built against
# the moved headers; the desktop files, AppStream metadata, icon, manual pages and data land in their places.
set -euo pipefail
cmake_command=$1 build=$2 project=$3 moduledir=$4 source=$5

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

"$cmake_command" --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved

metainfo=share/metainfo/org.example.vyr_mission_editor.metainfo.xml
for file in bin/vyr bin/vyr-regsvr "$moduledir/libvyrparser.so" share/applications/vyr-mission-editor.desktop \
            share/mime/packages/vyr-mission-editor-vyr.xml share/mime/packages/vyr-mission-editor-cme.xml \
            share/icons/hicolor/scalable/apps/vyr-mission-editor.svg share/man/man1/vyr.1 \
            share/man/man1/vyr-regsvr.1 share/vyr-mission-editor/actionsnd.wav "$metainfo"; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
if [ -f "$build/bin/vyr-mission-editor" ]; then
  [ -x "$prefix/bin/vyr-mission-editor" ] || fail "bin/vyr-mission-editor is not installed"
  [ -f "$prefix/share/man/man1/vyr-mission-editor.1" ] || fail "the editor's manual page is not installed"
  [ -x "$prefix/bin/vyr-map" ] || fail "bin/vyr-map is not installed"
  [ -f "$prefix/share/man/man1/vyr-map.1" ] || fail "vyr-map's manual page is not installed"
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/vyr-map.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "vyr-map.1: $warnings"
  fi
  # The moved vyr finds the vyr-map beside it.
  "$prefix/bin/vyr" map "$project" "$scratch/map.svg" || fail "the moved vyr cannot draw a map"
fi
# The manual pages name the library's place relative to the programs; a stale one would send readers astray.
relative=$(realpath -m --relative-to="$prefix/bin" "$prefix/$moduledir")
for page in vyr vyr-regsvr; do
  grep -qF "$relative/libvyrparser.so" "$prefix/share/man/man1/$page.1" || fail "$page.1 does not name $relative"
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  fi
done
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic --strict "$prefix/$metainfo" >/dev/null ||
    fail "bad AppStream metadata: $(appstreamcli validate --no-net --pedantic "$prefix/$metainfo")"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/vyr-mission-editor.desktop" || fail "bad desktop entry"
fi
head -c 4 "$prefix/share/vyr-mission-editor/actionsnd.wav" | grep -q RIFF || fail "the sound is not a wave file"

export VYR_REGISTRY_FILE=$scratch/registry.reg XDG_DATA_HOME=$scratch/data
"$prefix/bin/vyr" build --check "$project" "$scratch/out.vyr" || fail "the moved vyr cannot build and check"
library=$(cd "$prefix/$moduledir" && pwd -P)/libvyrparser.so
grep -qF "$library" "$VYR_REGISTRY_FILE" || fail "the registry does not name $library: $(cat "$VYR_REGISTRY_FILE")"
if grep -qF "$build" "$VYR_REGISTRY_FILE"; then fail "the registry names the build tree"; fi
echo "install_test: the moved install registered $library"

# A C++ client builds against the moved install through its pkg-config file, registers the library the
# file names and parses the generated script.
pc_file=$(find "$prefix" -name vyrparser.pc -print -quit)
[ -n "$pc_file" ] || fail "vyrparser.pc is not installed"
"$prefix/bin/vyr-regsvr" -u "$library" >/dev/null || fail "vyr-regsvr -u failed"
PKG_CONFIG_PATH=$(dirname "$pc_file")
export PKG_CONFIG_PATH
module=$(realpath -m "$(pkg-config --variable=module vyrparser)")
[ "$module" = "$library" ] || fail "vyrparser.pc names $module, not $library"
# shellcheck disable=SC2046 # the flags are words
c++ -std=c++20 -o "$scratch/client_example" "$source/vyrparser/automation/client_example.cpp" \
    $(pkg-config --cflags --libs vyrparser) -DVYR_MODULE="\"$module\"" || fail "the client example does not build"
client_output=$("$scratch/client_example" "$scratch/out.vyr") || fail "the client example failed"
[[ "$client_output" == *": "[0-9]*" actors" ]] || fail "the client example printed \"$client_output\""
grep -qF "$library" "$VYR_REGISTRY_FILE" || fail "the client did not register $library"
echo "install_test: a client built against the moved install read \"$client_output\""

# The moved editor registers the same library at start-up, through the vyr-regsvr beside it.
if [ -x "$prefix/bin/vyr-mission-editor" ]; then
  "$prefix/bin/vyr-regsvr" -u "$library" >/dev/null || fail "vyr-regsvr -u failed"
  if grep -qF "$library" "$VYR_REGISTRY_FILE"; then fail "vyr-regsvr -u left $library registered"; fi
  ready=$(HOME=$scratch XDG_CONFIG_HOME=$scratch/config QT_QPA_PLATFORM=offscreen VYR_EDITOR_QUIT_WHEN_READY=1 \
            timeout 120 "$prefix/bin/vyr-mission-editor" "$project" 2>"$scratch/editor.err") ||
    fail "the moved editor did not start: $(cat "$scratch/editor.err")"
  [[ "$ready" == "vyr-mission-editor: ready: "*"[$(basename "$project")]" ]] ||
    fail "the editor's main window does not show the project: \"$ready\""
  for _ in $(seq 100); do
    grep -qsF "$library" "$VYR_REGISTRY_FILE" && break
    sleep 0.1
  done
  grep -qsF "$library" "$VYR_REGISTRY_FILE" ||
    fail "the moved editor did not register $library: $(cat "$VYR_REGISTRY_FILE")"
  echo "install_test: the moved editor started (${ready#vyr-mission-editor: }) and registered $library"
fi
