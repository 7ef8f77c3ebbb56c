#!/usr/bin/env bash
# Sets up the machine, builds Kelvora with its tests and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
scripts/build.sh -DKELVORA_TESTS=ON -DKELVORA_WERROR=$werror
source scripts/test-audio-server.sh
start_test_audio_server || echo "note: no PulseAudio test server; the real-audio test will skip"
status=0
ctest --test-dir "${KELVORA_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" || status=$?
stop_test_audio_server
exit $status
