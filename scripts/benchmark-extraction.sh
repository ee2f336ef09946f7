#!/usr/bin/env bash
# Extraction benchmark: VerifyPayload + ExtractPayload of the full demo payload under Wine,
# beside the native floor (two bzip2 -dc passes over the same stream, plus writing and
# re-reading the same bytes), and a second line for a payload four times larger.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh host
scripts/build.sh x64
payloads=build/x64/payload
if [ ! -f "$payloads/demo-full4.bin" ]; then
  python3 tools/make_demo_payload.py full4 "$payloads/demo-full4" >/dev/null
  build/host/payload build "$payloads/demo-full4/manifest.txt" "$payloads/demo-full4.bin" >/dev/null
fi
export VH_WINE_TEMPLATE="$PWD/build/x64/wine-template"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '%-10s %8s %8s %9s %9s %8s %6s %7s %8s\n' payload comp_MB data_MB verify_s extract_s floor_s ratio MB/s peak_MB
for name in demo-full demo-full4; do
  file="$PWD/$payloads/$name.bin"
  line=$(tests/wine-run.sh build/x64/tests/bench/extract_benchmark.exe "Z:${file//\//\\}" 'C:\bench-out' | tr -d '\r')
  eval "$(echo "$line" | tr ' ' '\n' | sed 's/^/b_/')"
  start=$(date +%s.%N)
  bzip2 -dc "$file" >/dev/null
  bzip2 -dc "$file" >"$scratch/out"
  cat "$scratch/out" >/dev/null
  floor=$(echo "$(date +%s.%N) - $start" | bc)
  rm -f "$scratch/out"
  total=$(echo "$b_verify_s + $b_extract_s" | bc)
  printf '%-10s %8.1f %8.1f %9.2f %9.2f %8.2f %6.2f %7.1f %8.1f\n' "$name" \
    "$(echo "$b_compressed / 1048576" | bc -l)" "$(echo "$b_decompressed / 1048576" | bc -l)" \
    "$b_verify_s" "$b_extract_s" "$floor" "$(echo "$total / $floor" | bc -l)" \
    "$(echo "$b_decompressed / 1048576 / $total" | bc -l)" "$b_peak_working_set_mb"
done
