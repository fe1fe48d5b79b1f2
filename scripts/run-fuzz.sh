#!/usr/bin/env bash
# libFuzzer targets are built with clang in a tree of their own.
#   run-fuzz.sh build SOURCE_DIR BUILD_DIR            configure and build every fuzz target
#   run-fuzz.sh run BUILD_DIR NAME CORPUS RUNS SECONDS run one target for a bounded time
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
    bld=$2 name=$3 corpus=$4 runs=$5 secs=$6
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # The corpus in the repository stays as it is; new inputs go to a scratch copy.
    cp -r "$corpus"/. "$work"/
    # Findings are kept beside the fuzz tree, not in the caller's folder.
    mkdir -p "$bld/artifacts"
    "$bld/bin/fuzz_$name" -runs="$runs" -max_total_time="$secs" -print_final_stats=1 \
        -artifact_prefix="$bld/artifacts/${name}-" "$work"
    ;;
*)
    echo "usage: $0 build SRC BLD | run BLD NAME CORPUS RUNS SECONDS" >&2
    exit 2
    ;;
esac
