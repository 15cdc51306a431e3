#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what the repository's .clang-format makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh format
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
