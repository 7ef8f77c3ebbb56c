#!/usr/bin/env bash
# Sets up the machine, builds Kelvora with its tests and runs the whole suite; then builds the
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer and runs it, and gives each
# file decoder's fuzz target a short run from the committed seeds. Any failure or sanitizer
# report fails the run.
#   --fast   only the plain build and its suite (for quick checks while developing)
set -euo pipefail
cd "$(dirname "$0")/.."

fast=0
for argument in "$@"; do
  case $argument in
    --fast) fast=1 ;;
    *) echo "usage: scripts/test.sh [--fast]" >&2; exit 2 ;;
  esac
done

scripts/setup-debian.sh --tests
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
build_dir=${KELVORA_BUILD_DIR:-build}
sanitize_dir=${KELVORA_SANITIZE_BUILD_DIR:-build-sanitize}

step() { echo; echo "== $* ($(date +%H:%M:%S))"; }

step "plain build"
scripts/build.sh -DKELVORA_TESTS=ON -DKELVORA_WERROR=$werror
if [ $fast -eq 0 ]; then
  step "sanitizer build"
  KELVORA_BUILD_DIR=$sanitize_dir scripts/build.sh -DKELVORA_TESTS=ON -DKELVORA_WERROR=$werror -DKELVORA_SANITIZE=ON
fi

source scripts/test-audio-server.sh
start_test_audio_server || echo "note: no PulseAudio test server; the real-audio test will skip"
status=0
step "suite"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" || status=1
if [ $fast -eq 0 ]; then
  step "suite under the sanitizers"
  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$sanitize_dir" --output-on-failure -j"$(nproc)" || status=1
fi
stop_test_audio_server

if [ $fast -eq 0 ]; then
  step "fuzz smoke run"
  scripts/fuzz-smoke.sh || status=1
fi
step "done"
exit $status
