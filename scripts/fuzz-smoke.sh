#!/usr/bin/env bash
# Builds the file decoders' fuzz targets with clang and runs each one for a short while from the
# seeds under fuzz/corpus/. A crash, a leak or a timeout fails the run; the failing input is
# printed in hex and kept in the build folder's findings/.
#   KELVORA_FUZZ_SECONDS   seconds per target (default 60)
#   KELVORA_FUZZ_BUILD_DIR build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${KELVORA_FUZZ_SECONDS:-60}
build_dir=${KELVORA_FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELVORA_QT=OFF -DKELVORA_TESTS=OFF -DKELVORA_FUZZ=ON -DKELVORA_WERROR=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

findings="$build_dir/findings"
rm -rf "$findings" "$build_dir/corpus-work"
mkdir -p "$findings"

# Runs one target from a scratch copy of its seeds, so the committed corpus never grows.
fuzz_one() {
  local target=$1 name=${1%_fuzz}
  local work="$build_dir/corpus-work/$name" log="$findings/$target.log"
  mkdir -p "$work"
  [ -d "fuzz/corpus/$name" ] && cp "fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  local dict=()
  [ -f "fuzz/$name.dict" ] && dict=("-dict=fuzz/$name.dict")
  LSAN_OPTIONS=suppressions=fuzz/codec-leaks.supp:print_suppressions=0 \
    "$build_dir/fuzz/$target" "${dict[@]}" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work" >"$log" 2>&1
}

report() {
  local target=$1 status=$2 log="$findings/$1.log"
  if [ "$status" -eq 0 ]; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} inputs in ${seconds} s, no finding"
    return 0
  fi
  echo "$target: FAILED (status $status)"
  tail -n 60 "$log"
  for input in "$findings/$target"-*; do
    [ -f "$input" ] || continue
    echo "failing input $(basename "$input") ($(stat -c %s "$input") bytes):"
    od -A x -t x1z -v "$input" | head -n 64
  done
  return 1
}

targets=()
for binary in "$build_dir"/fuzz/*_fuzz; do
  [ -x "$binary" ] && targets+=("$(basename "$binary")")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets were built"; exit 1; }

# Two at a time: one per core.
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    fuzz_one "$target" & pids+=($!)
  done
  j=0
  for target in "${targets[@]:i:2}"; do
    code=0
    wait "${pids[$j]}" || code=$?
    report "$target" "$code" || status=1
    j=$((j + 1))
  done
done
exit $status
