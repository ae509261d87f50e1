#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: does nothing when everything is already there. Works as root or through sudo.
set -euo pipefail

packages=(
  cmake g++ clang ninja-build clang-format make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
  nlohmann-json3-dev bison flex
  xvfb xauth x11-utils imagemagick desktop-file-utils shared-mime-info xdg-utils dpkg-dev
  libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 libwine-dev
  debhelper fakeroot lintian appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
