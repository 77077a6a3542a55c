#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Quiet and quick when all is there.
set -u

PACKAGES=(
  cmake make g++                                      # native build
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  clang libclang-rt-14-dev                            # libFuzzer
  wine64 xvfb xdotool imagemagick x11-utils fonts-dejavu-core   # end-to-end tests
  fp-utils                                            # chmcmd: the help file TESSEL32.CHM
  util-linux coreutils findutils procps
  nsis unzip p7zip-full                               # release: installers, listing the packages
)

missing=()
for package in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and neither root nor sudo available" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
timeout 900 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null ||
  { echo "setup: apt-get update failed" >&2; exit 1; }
timeout 1800 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q "${missing[@]}" ||
  { echo "setup: apt-get install failed" >&2; exit 1; }
