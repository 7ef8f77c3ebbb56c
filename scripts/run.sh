#!/usr/bin/env bash
# Sets up the machine, builds Kelvora and starts it. Arguments go to the program
# (for example --extended for the larger menu).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh -DKELVORA_TESTS=OFF
exec "${KELVORA_BUILD_DIR:-build}/app/kelvora" "$@"
