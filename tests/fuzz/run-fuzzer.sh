#!/usr/bin/env bash
# Runs one libFuzzer harness on its seeds (made by kavrel-fuzz-seeds), and then, when SECONDS is
# more than 0, fuzzes it for that long. Exits non-zero on any finding; the input that caused it
# is kept in WORK/artifacts/.
#   run-fuzzer.sh HARNESS SEED-MAKER SECONDS WORK
set -euo pipefail
harness=$1 seeder=$2 seconds=$3 work=$4
name=$(basename "$harness")
rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/corpus" "$work/artifacts"
"$seeder" "$name" "$work/seeds"
common=(-artifact_prefix="$work/artifacts/" -timeout=20 -rss_limit_mb=2560)
seeds=("$work"/seeds/*)
if [ -e "${seeds[0]}" ]; then
    "$harness" "${common[@]}" "${seeds[@]}"
fi
if [ "$seconds" -gt 0 ]; then
    "$harness" "${common[@]}" -max_total_time="$seconds" -print_final_stats=1 "$work/corpus" "$work/seeds"
fi
