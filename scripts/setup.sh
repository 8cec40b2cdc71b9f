#!/usr/bin/env bash
# Installs everything the build and the three test tiers need, from Debian's packages.
# Idempotent: a second run only checks.
set -euo pipefail

need_root() { if [ "$(id -u)" -ne 0 ]; then echo "sudo"; fi; }
SUDO=$(need_root)

packages=(
  cmake ninja-build g++ git python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest clang libclang-rt-14-dev dmidecode
  wine wine64 wine32:i386 libwine:i386
  xvfb xauth x11-apps imagemagick
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=(update)
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  pkgs=()
  for p in "${missing[@]}"; do [ "$p" = update ] || pkgs+=("$p"); done
  if [ ${#pkgs[@]} -gt 0 ]; then
    $SUDO apt-get install -y -qq --no-install-recommends "${pkgs[@]}"
  fi
fi
