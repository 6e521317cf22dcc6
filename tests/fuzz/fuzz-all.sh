#!/usr/bin/env bash
# Fuzzes every harness of a build made with -DKAVREL_FUZZERS=ON for SECONDS each, as many at a
# time as there are cores, and sums up each run. Exits non-zero when any harness found something;
# its log and the input that did it are in BUILD/tests/fuzz/HARNESS.work/.
#   fuzz-all.sh BUILD [SECONDS]
set -uo pipefail
build=$(realpath "$1") seconds=${2:-60}
here=$(dirname "$(realpath "$0")")
fuzz="$build/tests/fuzz"
[ -f "$fuzz/harnesses.txt" ] || { echo "no harnesses in $build (configure with -DKAVREL_FUZZERS=ON)" >&2; exit 2; }

run_one() {
    local name=$1
    local work="$fuzz/$name.work"
    mkdir -p "$work"
    "$here/run-fuzzer.sh" "$fuzz/$name" "$fuzz/kavrel-fuzz-seeds" "$seconds" "$work" >"$work/log" 2>&1
    local status=$?
    if [ $status -eq 0 ]; then
        echo "$name: no finding; $(grep -E '^#[0-9]+.*DONE' "$work/log" | tail -1)"
    else
        echo "$name: FINDING (exit $status), see $work/log and $work/artifacts/"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$work/log" | head -5
    fi
    return $status
}
export -f run_one
export fuzz here seconds
xargs -a "$fuzz/harnesses.txt" -P "$(nproc)" -I{} bash -c 'run_one {}'
