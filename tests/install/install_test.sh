#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR PROJECT.cme MODULEDIR
# An install tree keeps working after it is moved: the moved `vyr` registers the library in MODULEDIR
# (relative to the prefix), not the build tree's copy, and the desktop files, AppStream metadata, icon,
# manual pages and data land in their places.
set -euo pipefail
cmake_command=$1 build=$2 project=$3 moduledir=$4

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
