#!/usr/bin/env bash
# Installs the Debian packages Kelvora needs to build, run and test. Safe to run again:
# packages already present are skipped and nothing is fetched when all are there.
#   --tests  also what the test run needs beyond the build: clang and its sanitizer runtime for
#            the fuzz targets, sox and lame to make test sounds, desktop-file-validate
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libbenchmark-dev libfftw3-dev nlohmann-json3-dev libsndfile1-dev
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
  fonts-ipaexfont-gothic xdg-utils
  xvfb xauth pulseaudio pulseaudio-utils
)
[ "${1:-}" = "--tests" ] && packages+=(clang libclang-rt-14-dev sox lame desktop-file-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
