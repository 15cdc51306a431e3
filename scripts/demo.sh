#!/usr/bin/env bash
# Sets up, builds and runs the main job.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
cmake --preset default
cmake --build --preset default -j2
build/default/tests/calvora_tests --gtest_brief=1
