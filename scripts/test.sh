#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite (unit, widget, serial
# integration, fuzz seed replay and the format check).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Tests and benchmarks on, whatever an earlier configure of this folder chose,
# or ctest would find nothing to run and report success.
"$root/scripts/build.sh" -DBUILD_TESTING=ON -DBUILD_BENCHMARKS=ON "$@"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure --no-tests=error --parallel "${JOBS:-$(nproc)}" --timeout 300
