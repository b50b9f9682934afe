#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it, when a CMake
# file differs from what cmake-format makes of it (.cmake-format.yaml), or when an include runs
# against the layers: the windows (settings/, windows/) and platform/ stand below app/,
# platform/ below every window, and the database engine (import/engine/) below the rest of the
# import core, and when a file outside the engine, bench/ and tests/ includes <sqlite3.h>.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$clang_format" ]; then
    echo "format-check: clang-format is not installed" >&2
    exit 1
fi
cmake_format=$(command -v cmake-format || true)
if [ -z "$cmake_format" ]; then
    echo "format-check: cmake-format is not installed" >&2
    exit 1
fi

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null ||
    find app platform settings import windows tools tests bench -name '*.cpp' -o -name '*.h')
if [ "${#files[@]}" -gt 0 ]; then
    "$clang_format" --dry-run --Werror "${files[@]}"
fi
echo "format-check: ${#files[@]} files are formatted"

mapfile -t cmake_files < <(git ls-files -- 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake' 2>/dev/null ||
    find . -path './build*' -prune -o \( -name CMakeLists.txt -o -name '*.cmake' \) -print)
if ! "$cmake_format" --check "${cmake_files[@]}"; then
    echo "format-check: a CMake file differs from what cmake-format makes of it (cmake-format -i FILE)" >&2
    exit 1
fi
echo "format-check: ${#cmake_files[@]} CMake files are formatted"

# Prints the includes in the folders $1 of the folders $2 ("settings windows", "app").
includes_of() {
    local pattern
    pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($(echo "$2" | tr ' ' '|'))/"
    # shellcheck disable=SC2086
    grep -rnE "$pattern" $1 --include='*.cpp' --include='*.h' || true
}
wrong=$(
    {
        includes_of "settings windows platform" "app"
        includes_of "platform" "settings windows app"
        includes_of "import/engine" "import" | grep -v '["<]import/engine/' || true
        grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]sqlite3\.h[>"]' \
            app settings windows platform tools import --include='*.cpp' --include='*.h' |
            grep -v '^import/engine/' || true
    } | sort -u
)
if [ -n "$wrong" ]; then
    echo "format-check: these includes run against the layers:" >&2
    echo "$wrong" >&2
    exit 1
fi
echo "format-check: the includes follow the layers"
