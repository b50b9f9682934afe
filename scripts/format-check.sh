#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$clang_format" ]; then
    echo "format-check: clang-format is not installed" >&2
    exit 1
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find app settings import windows tools tests bench -name '*.cpp' -o -name '*.h')
[ "${#files[@]}" -eq 0 ] && exit 0
"$clang_format" --dry-run --Werror "${files[@]}"
echo "format-check: ${#files[@]} files are formatted"
