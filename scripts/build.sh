#!/usr/bin/env bash
# Configures and builds one target: build.sh x64|x86 [extra CMake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
: "${TAVRELLE_DEPS:=$([ "$(id -u)" -eq 0 ] && echo /var/cache/tavrelle-deps || echo "$HOME/.cache/tavrelle-deps")}"
target=$1; shift
case "$target" in
  x64) toolchain=cmake/toolchain-x86_64.cmake ;;
  x86) toolchain=cmake/toolchain-i686.cmake ;;
  *) echo "build.sh: target is x64 or x86" >&2; exit 2 ;;
esac
if [ ! -f "build/$target/build.ninja" ]; then
  cmake -S . -B "build/$target" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTAVRELLE_DEPS="$TAVRELLE_DEPS" "$@" >/dev/null
fi
ninja --quiet -C "build/$target"
