#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine and fetches the
# dependency sources (Debian's boost1.81 and bzip2 source packages) into a cache outside
# the work tree. Quick when everything is already there.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

: "${TAVRELLE_DEPS:=$([ "$(id -u)" -eq 0 ] && echo /var/cache/tavrelle-deps || echo "$HOME/.cache/tavrelle-deps")}"
export TAVRELLE_DEPS

packages=(cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine64 xvfb x11-apps imagemagick xz-utils dpkg-dev googletest python3 locales
          g++ libbz2-dev bzip2)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
apt_updated=0
apt_update() { [ $apt_updated -eq 1 ] || { $SUDO apt-get update -qq; apt_updated=1; }; }
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  apt_update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

mkdir -p "$TAVRELLE_DEPS"
cd "$TAVRELLE_DEPS"

# Source packages need deb-src entries: mirror the system's deb entries.
if ! ls boost1.81_1.81.0.orig.tar.xz bzip2_1.0.8.orig.tar.gz >/dev/null 2>&1; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $SUDO tee /etc/apt/sources.list.d/tavrelle-deb-src.sources >/dev/null
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $SUDO tee /etc/apt/sources.list.d/tavrelle-deb-src.list >/dev/null
    fi
    apt_updated=0
  fi
  apt_update
  echo "bootstrap: fetching boost1.81 and bzip2 sources"
  apt-get source --download-only -qq boost1.81 bzip2 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
fi

# Boost's orig tarball is modular: merge every libs/*/include/boost tree into one folder.
if [ ! -f boost/.complete ]; then
  echo "bootstrap: extracting Boost headers"
  rm -rf boost boost.tmp && mkdir boost.tmp
  tar -xJf boost1.81_1.81.0.orig.tar.xz -C boost.tmp --wildcards \
      'boost/libs/*/include/boost/*' 'boost/libs/iostreams/src/bzip2.cpp' 'boost/LICENSE_1_0.txt' \
      --transform 's,^boost/libs/.*/include/boost/,include/boost/,;s,^boost/libs/iostreams/src/,src/,;s,^boost/,,'
  mv boost.tmp boost && touch boost/.complete
fi
if [ ! -f bzip2/.complete ]; then
  echo "bootstrap: extracting bzip2"
  rm -rf bzip2 bzip2.tmp && mkdir bzip2.tmp
  tar -xzf bzip2_1.0.8.orig.tar.gz -C bzip2.tmp --strip-components=1
  mv bzip2.tmp bzip2 && touch bzip2/.complete
fi

# Wine takes the user's default language from LANG only when that Linux locale exists:
# the language tests use these, from their own folder (LOCPATH).
for locale in de_DE fr_FR it_IT cs_CZ nb_NO he_IL zh_CN zh_TW zh_SG en_US hu_HU pl_PL; do
  [ -d "locales/$locale.UTF-8" ] && continue
  mkdir -p locales
  localedef -i "$locale" -f UTF-8 "locales/$locale.UTF-8" 2>/dev/null || true
done
