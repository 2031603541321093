#!/usr/bin/env bash
# Sets up, builds and starts the ORLO reader on the bundled example data.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$root/build} "$root/scripts/build.sh" -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF
build=${BUILD_DIR:-$root/build}
examples=("$root"/examples/*.orl)
exec "$build/orlo/workspace/orlo" "${examples[@]}"
