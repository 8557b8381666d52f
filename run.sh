#!/usr/bin/env bash
# Builds the program when needed and runs its main job from build/bin, where
# it finds its canvas, wood samples, help pages and example designs.
#   ./run.sh            with a display: the window on the example design;
#                       without one: the layout and estimate of the example
#   ./run.sh ARGS       passes ARGS to quartel (try ./run.sh --help)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quartel imgview common rastout assets static_assets >/dev/null
cd build/bin
if [ $# -gt 0 ]; then
  exec ./quartel "$@"
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./quartel '#example1.pk1'
else
  exec ./quartel --layout '#example1.pk1'
fi
