#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, if any is missing,
# and the layer that runs 32-bit Windows programs.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  googletest libgtest-dev libbenchmark-dev
  libpng-dev libgif-dev
  libx11-dev libxext-dev libxrandr-dev xscreensaver xscreensaver-data mmdebstrap
  libwayland-dev wayland-protocols sway swaybg grim wtype weston swayidle
  dpkg-dev devscripts lintian pev
  wine64 xvfb xdotool x11-apps x11-utils imagemagick stress-ng strace
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  python3 python3-pefile python3-pytest python3-pil python3-xlib
  wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32 lld chromium
)
# The machine may bring a newer Node.js and npm of its own; Debian's otherwise.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  # Set past sudo, which would drop it from the environment.
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The 32-bit saver's tests need 32-bit Wine, and here perhaps an emulator.
bash "$(dirname "$0")/install-i386.sh"
