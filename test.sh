#!/usr/bin/env bash
# Builds everything and runs the whole test suite through CTest.
#   ./test.sh             normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags+=(-DPLK_SANITIZE=ON -DPLK_BUILD_BENCH=OFF)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

# A regional format for the money and decimal-separator tests.
if [ "$(id -u)" -eq 0 ] && [ "$(locale -a 2>/dev/null | grep -ci '^de_DE.utf8$\|^en_US.utf8$')" -lt 2 ]; then
  sed -i -e 's/^# *en_US.UTF-8/en_US.UTF-8/' -e 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen
  locale-gen >/dev/null
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
