#!/usr/bin/env bash
# Configures and builds one target: build.sh x64|x86 [extra CMake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
: "${TAVRELLE_DEPS:=$([ "$(id -u)" -eq 0 ] && echo /var/cache/tavrelle-deps || echo "$HOME/.cache/tavrelle-deps")}"
target=$1; shift
# Host tools (payload tool, native tests of the format code) come first: the Windows
# builds use them.
if [ "$target" = host ]; then
  [ -f build/host/build.ninja ] || cmake -S tools -B build/host -G Ninja "$@" >/dev/null
  exec ninja --quiet -C build/host
fi
case "$target" in
  x64) toolchain=cmake/toolchain-x86_64.cmake ;;
  x86) toolchain=cmake/toolchain-i686.cmake ;;
  *) echo "build.sh: target is host, x64 or x86" >&2; exit 2 ;;
esac
if [ ! -f "build/$target/build.ninja" ]; then
  cmake -S . -B "build/$target" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTAVRELLE_DEPS="$TAVRELLE_DEPS" \
        -DVH_HOST_TOOLS_DIR="$PWD/build/host" "$@" >/dev/null
fi
ninja --quiet -C "build/$target"
