#!/usr/bin/env bash
# Runs one Windows test program under wine64 in a private prefix and a private HOME.
# The prefix is copied from a template made once per build directory (VH_WINE_TEMPLATE);
# copying takes about a second, creating a prefix about seven.
# VH_KEEP_PREFIX=1 keeps the private prefix for a look after the run.
set -u
template=${VH_WINE_TEMPLATE:?VH_WINE_TEMPLATE names the template prefix folder}
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

make_template() {
  rm -rf "$template" && mkdir -p "$template/home"
  # The first process of a prefix starts services.exe and friends, which inherit our
  # output pipes; ctest would wait for them. Start the prefix detached from the pipes.
  WINEPREFIX="$template/prefix" HOME="$template/home" "$wine" wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX="$template/prefix" "$wineserver" -w
  # A new prefix links Desktop, Documents and the like into $HOME: make them real folders
  # so every copy has its own.
  find "$template/prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
  touch "$template/.ready"
}

mkdir -p "$(dirname "$template")"
(
  flock 9
  [ -f "$template/.ready" ] || make_template
) 9>"$template.lock"

work=$(mktemp -d "${TMPDIR:-/tmp}/vh-wine.XXXXXX")
cp -a "$template/prefix" "$work/prefix"
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix" HOME="$work/home"
"$wine" wineboot </dev/null >/dev/null 2>&1
"$wine" "$@"
rc=$?
"$wineserver" -k >/dev/null 2>&1
"$wineserver" -w >/dev/null 2>&1
if [ "${VH_KEEP_PREFIX:-0}" = 1 ]; then echo "wine-run: prefix kept in $work" >&2; else rm -rf "$work"; fi
exit $rc
