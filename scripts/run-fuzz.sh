#!/usr/bin/env bash
# libFuzzer targets are built with clang in a tree of their own.
#   run-fuzz.sh build SOURCE_DIR BUILD_DIR            configure and build every fuzz target
#   run-fuzz.sh run BUILD_DIR NAME CORPUS RUNS SECONDS [JOBS]
#                                                     run one target for a bounded time, in JOBS
#                                                     processes at once (default 1)
# A target's folder may hold a file "options" with further libFuzzer flags.
set -euo pipefail
mode=$1
case "$mode" in
build)
    src=$2 bld=$3
    cxx=$(command -v clang++-14 || command -v clang++)
    cc=$(command -v clang-14 || command -v clang)
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORLINK_FUZZ=ON \
        -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >/dev/null
    cmake --build "$bld"
    ;;
run)
    bld=$2 name=$3 corpus=$4 runs=$5 secs=$6 jobs=${7:-1}
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # The corpus in the repository stays as it is; new inputs go to a scratch copy.
    cp -r "$corpus"/. "$work"/
    # Findings are kept beside the fuzz tree, not in the caller's folder.
    mkdir -p "$bld/artifacts"
    extra=()
    options="$(dirname "$corpus")/options"
    if [ -f "$options" ]; then
        # One line of flags at the end of input: read reports end of file, not an error.
        read -r -a extra < <(grep -v '^#' "$options" | tr '\n' ' ') || true
    fi
    # More than one job: libFuzzer's fork mode, which counts the runs of all its processes.
    if [ "$jobs" -gt 1 ]; then
        extra+=(-fork="$jobs")
    fi
    "$bld/bin/fuzz_$name" -runs="$runs" -max_total_time="$secs" -print_final_stats=1 \
        -artifact_prefix="$bld/artifacts/${name}-" "${extra[@]}" "$work"
    ;;
*)
    echo "usage: $0 build SRC BLD | run BLD NAME CORPUS RUNS SECONDS [JOBS]" >&2
    exit 2
    ;;
esac
