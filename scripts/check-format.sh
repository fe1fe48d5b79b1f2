#!/usr/bin/env bash
# Fails when a tracked or new C++ file differs from what clang-format makes of it.
set -euo pipefail
cf=${1:-clang-format}
cd "$(dirname "$0")/.."
files=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.hpp' '*.h' 2>/dev/null ||
        find kovra link model ui sim tests -name '*.cpp' -o -name '*.hpp' -o -name '*.h')
[ -z "$files" ] && exit 0
# shellcheck disable=SC2086
"$cf" --dry-run -Werror $files
