#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR PROJECT.cme LIBDIR
# An install tree keeps working after it is moved: the moved `vyr` registers the library beside it,
# not the build tree's copy, and the desktop files, icon, manual page and data land in their places.
set -euo pipefail
cmake_command=$1 build=$2 project=$3 libdir=$4

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

"$cmake_command" --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved

for file in bin/vyr bin/vyr-regsvr "$libdir/libvyrparser.so" share/applications/vyr-mission-editor.desktop \
            share/mime/packages/vyr-mission-editor-vyr.xml share/mime/packages/vyr-mission-editor-cme.xml \
            share/icons/hicolor/scalable/apps/vyr-mission-editor.svg share/man/man1/vyr.1 \
            share/vyr-mission-editor/actionsnd.wav; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
if [ -f "$build/bin/vyr-mission-editor" ]; then
  [ -x "$prefix/bin/vyr-mission-editor" ] || fail "bin/vyr-mission-editor is not installed"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/vyr-mission-editor.desktop" || fail "bad desktop entry"
fi
head -c 4 "$prefix/share/vyr-mission-editor/actionsnd.wav" | grep -q RIFF || fail "the sound is not a wave file"

export VYR_REGISTRY_FILE=$scratch/registry.reg XDG_DATA_HOME=$scratch/data
"$prefix/bin/vyr" build --check "$project" "$scratch/out.vyr" || fail "the moved vyr cannot build and check"
library=$(cd "$prefix/$libdir" && pwd -P)/libvyrparser.so
grep -qF "$library" "$VYR_REGISTRY_FILE" || fail "the registry does not name $library: $(cat "$VYR_REGISTRY_FILE")"
if grep -qF "$build" "$VYR_REGISTRY_FILE"; then fail "the registry names the build tree"; fi
echo "install_test: the moved install registered $library"
