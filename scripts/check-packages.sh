#!/usr/bin/env bash
# check-packages.sh: builds the Debian packages from a clean copy of this tree (dpkg-buildpackage, a second
# full Release build, with two jobs and without the tests), runs lintian on them and on the source package
# (no error, no warning may remain), unpacks them into a temporary root and checks that the programs there
# start and register the library installed with them. Non-zero on any failure.
#
# VYR_PACKAGE_WORKDIR (default ${TMPDIR:-/tmp}/vyr-packages-UID) holds the copy and the packages; it is a
# fixed place, so ccache (used when installed) finds the previous run's objects. VYR_PACKAGE_KEEP=1 keeps
# the unpacked root.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)
fail() { echo "check-packages: $*" >&2; exit 1; }
step() { echo "check-packages: $* ($(($(date +%s) - started)) s)"; }

"$root/scripts/install-deps.sh"

# The versions the project states must agree, or a release would be packaged under the wrong number.
cmake_version=$(sed -n 's/^project(vyr VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
package_version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
[ -n "$cmake_version" ] || fail "no version in CMakeLists.txt"
[ "$package_version" = "$cmake_version" ] ||
  fail "debian/changelog says $package_version, CMakeLists.txt says $cmake_version"
metainfo=$root/editor/desktop/org.example.vyr_mission_editor.metainfo.xml
grep -q "<release version=\"$cmake_version\"" "$metainfo" ||
  fail "the AppStream metadata has no release $cmake_version"

work=${VYR_PACKAGE_WORKDIR:-${TMPDIR:-/tmp}/vyr-packages-$(id -u)}
mkdir -p "$work"
exec 9>"$work/lock"
flock -n 9 || fail "another package check is running in $work"

# The copy: the tracked and the new files of the tree, nothing a build of the tree left behind.
source_dir=$work/src/vyr-mission-editor-$package_version
rm -rf "$work/src" "$work/root"
mkdir -p "$source_dir"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # A tracked file deleted in the tree is left out, as it would be from a commit of the tree.
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
     tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$source_dir"
else
  tar -C "$root" --exclude='./build' --exclude='./build-*' --exclude='./.cache' -cf - . | tar -xf - -C "$source_dir"
fi

step "building the packages in $source_dir (log: $work/build.log)"
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  # debhelper gives the build a HOME of its own inside the copy: ccache must be told where its cache and
  # its configuration are, or every run starts with an empty cache.
  CCACHE_DIR=$(ccache -k cache_dir)
  export CCACHE_DIR
  config=${XDG_CONFIG_HOME:-$HOME/.config}/ccache/ccache.conf
  if [ -z "${CCACHE_CONFIGPATH:-}" ] && [ -f "$config" ]; then export CCACHE_CONFIGPATH=$config; fi
fi
export DEB_BUILD_OPTIONS="parallel=2 nocheck"
# The source package too, so lintian checks debian/ itself (copyright, control, rules) as well.
if ! (cd "$source_dir" && dpkg-buildpackage -us -uc) >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  fail "dpkg-buildpackage failed (the whole log: $work/build.log)"
fi
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
changes=$work/src/vyr-mission-editor_${package_version}_$arch.changes
[ -f "$changes" ] || fail "no $changes"

step "lintian"
# Warnings fail as errors do; every override in debian/*.lintian-overrides gives its reason.
lintian_output=$(lintian --fail-on error,warning --display-info "$changes" 2>&1) || {
  echo "$lintian_output" >&2
  fail "lintian found errors or warnings"
}
[ -z "$lintian_output" ] || echo "$lintian_output"
echo "check-packages: lintian: 0 errors, 0 warnings"

step "unpacking"
unpacked=$work/root
mkdir -p "$unpacked"
for package in vyrparser vyr-tools vyr-mission-editor vyrparser-dev; do
  deb=$work/src/${package}_${package_version}_$arch.deb
  [ -f "$deb" ] || fail "no $deb"
  dpkg-deb -x "$deb" "$unpacked"
done
scratch=$(mktemp -d)
cleanup() {
  rm -rf "$scratch"
  if [ "${VYR_PACKAGE_KEEP:-0}" != 1 ]; then rm -rf "$unpacked"; fi
}
trap cleanup EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export VYR_REGISTRY_FILE=$scratch/registry.reg
mkdir -p "$HOME"

library=$unpacked/usr/lib/$triplet/vyr/libvyrparser.so
[ -f "$library" ] || fail "the library is not in /usr/lib/$triplet/vyr"
for page in vyr vyr-regsvr vyr-mission-editor; do
  manual=$unpacked/usr/share/man/man1/$page.1.gz
  [ -f "$manual" ] || fail "no compressed manual page $page.1.gz"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.example.vyr_mission_editor.metainfo.xml"
desktop-file-validate "$unpacked/usr/share/applications/vyr-mission-editor.desktop" ||
  fail "bad desktop entry"

step "running the unpacked programs"
version=$("$unpacked/usr/bin/vyr" --version)
[[ "$version" == *"$package_version"* ]] || fail "vyr --version says \"$version\""
example=$unpacked/usr/share/vyr-mission-editor/examples/warehouse/warehouse.cme
"$unpacked/usr/bin/vyr" build --check "$example" "$scratch/warehouse.vyr" || fail "vyr build --check failed"
grep -qF "$library" "$VYR_REGISTRY_FILE" || fail "vyr did not register $library: $(cat "$VYR_REGISTRY_FILE")"

# A C++ client builds against the unpacked -dev package and registers the unpacked library.
"$unpacked/usr/bin/vyr-regsvr" -u "$library" >/dev/null || fail "vyr-regsvr -u failed"
export PKG_CONFIG_PATH=$unpacked/usr/lib/$triplet/pkgconfig
module=$(realpath -m "$(pkg-config --variable=module vyrparser)")
[ "$module" = "$library" ] || fail "vyrparser.pc names $module, not $library"
# shellcheck disable=SC2046 # the flags are words
c++ -std=c++20 -o "$scratch/client_example" "$unpacked/usr/share/doc/vyrparser-dev/examples/client_example.cpp" \
    $(pkg-config --cflags --libs vyrparser) -DVYR_MODULE="\"$module\"" || fail "the example client does not build"
"$scratch/client_example" "$scratch/warehouse.vyr" || fail "the example client failed"
grep -qF "$library" "$VYR_REGISTRY_FILE" || fail "the example client did not register $library"

# The editor registers the library itself at start-up, through the vyr-regsvr beside it.
"$unpacked/usr/bin/vyr-regsvr" -u "$library" >/dev/null || fail "vyr-regsvr -u failed"
if grep -qF "$library" "$VYR_REGISTRY_FILE"; then fail "vyr-regsvr -u left the library registered"; fi
ready=$(QT_QPA_PLATFORM=offscreen VYR_EDITOR_QUIT_WHEN_READY=1 timeout 120 \
          "$unpacked/usr/bin/vyr-mission-editor" "$example" 2>"$scratch/editor.err") ||
  fail "the editor did not start: $(cat "$scratch/editor.err")"
[[ "$ready" == *"ready:"*warehouse* ]] || fail "the editor's main window did not show the example: \"$ready\""
echo "$ready"
for _ in $(seq 100); do
  grep -qsF "$library" "$VYR_REGISTRY_FILE" && break
  sleep 0.1
done
grep -qsF "$library" "$VYR_REGISTRY_FILE" || fail "the editor did not register $library"

step "the packages are fine: $(cd "$work/src" && printf '%s ' ./*.deb)"
