#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite (unit, widget, serial
# integration, fuzz seed replay and the format check).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$@"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "${JOBS:-$(nproc)}" --timeout 300
