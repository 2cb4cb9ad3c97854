#!/usr/bin/env bash
# Sets up, builds and runs TALLOWAY on Debian 12.
#   ./talloway.sh [FILE]   install what is missing, build, open the program
#   ./talloway.sh test     install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl1-mesa-dev libx11-dev xvfb xauth
  clang libclang-rt-14-dev libfuzzer-14-dev
  gnumeric poppler-utils desktop-file-utils shared-mime-info libxml2-utils
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "These packages are missing. Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
}

configure_and_build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build
}

run_tests() {
  configure_and_build
  ctest --test-dir build --output-on-failure -j2
  # The engine's tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALLOWAY_SANITIZE=ON \
    -DTALLOWAY_UI=OFF >/dev/null
  cmake --build build-asan --target engine_tests talloway-cli
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2 -L engine
}

run_program() {
  configure_and_build
  if [ -x build/talloway ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec build/talloway "${1:-examples/showcase.wk1}"
    fi
    echo "No display: starting the desktop program under xvfb-run."
    exec xvfb-run -a build/talloway "${1:-examples/showcase.wk1}"
  fi
  exec build/talloway-cli --enter-file examples/showcase.cells --recalc --dump
}

install_missing
case "${1:-}" in
  test) run_tests ;;
  *) run_program "$@" ;;
esac
