#!/usr/bin/env bash
# clang-tidy with the checks of .clang-tidy on the product's C++ sources that changed since BASE:
# by default the merge base with main, or the previous commit where that is HEAD itself (on
# main). A changed header brings the source of the same name. The compile commands are the
# default preset's (CMAKE_EXPORT_COMPILE_COMMANDS), without g++'s -fexec-charset, which clang
# does not take. Any finding fails.
#   check-tidy.sh [BASE]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh format
base="${1:-$(git merge-base HEAD main 2>/dev/null || true)}"
if [[ -z "$base" || "$(git rev-parse "$base")" == "$(git rev-parse HEAD)" ]]; then
    base="$(git rev-parse -q --verify HEAD~1 || true)"
    [[ -n "$base" ]] || { echo "clang-tidy: no earlier commit to compare with"; exit 0; }
fi
[[ -f build/default/compile_commands.json ]] || cmake --preset default >/dev/null
database=build/default/tidy
mkdir -p "$database"
sed -e 's/ -fexec-charset=[A-Za-z0-9-]*//g' build/default/compile_commands.json \
    >"$database/compile_commands.json"

mapfile -t sources < <(
    git diff --name-only --diff-filter=ACMR "$base" -- 'calvora/*.cpp' 'calvora/*.h' 'host/*.cpp' \
        'host/*.h' | sed 's/\.h$/.cpp/' | sort -u |
        while read -r file; do
            # Only what this build compiles: not the other platform's files.
            grep -q "\"file\": \"$PWD/$file\"" "$database/compile_commands.json" && echo "$file"
        done || true)
if ((${#sources[@]} == 0)); then
    echo "clang-tidy: no product source changed since ${base:0:12}"
    exit 0
fi
echo "clang-tidy: ${#sources[@]} product sources changed since ${base:0:12}"
printf '%s\n' "${sources[@]}" |
    xargs -P 2 -n 1 clang-tidy -p "$database" --quiet --warnings-as-errors='*' 2>/dev/null ||
    { echo "clang-tidy: the findings above fail the check"; exit 1; }
