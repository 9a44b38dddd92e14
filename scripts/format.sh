#!/bin/bash
# Lays out every C++ source of src/, tests/, tools/ and bench/ as .clang-format
# says. With --check it changes nothing and fails when a file differs.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

mapfile -t files < <(git ls-files -co --exclude-standard 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
    'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h')
if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run -Werror "${files[@]}" || {
        echo "format: these sources differ from .clang-format; run: bash scripts/format.sh" >&2
        exit 1
    }
else
    clang-format -i "${files[@]}"
fi
