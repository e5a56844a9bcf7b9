#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer under Clang, runs each
# fuzz target of tests/fuzz for a bounded time, then runs every test under the sanitizers. The
# tests come last so that their summary closes the output. Fails if anything fails.
#
# Usage: tools/hardening.sh [build-folder]      (default: build-hardening)
#   FUZZ_SECONDS  how long each fuzz target runs (default 20)
#   FUZZ_SEED     libFuzzer's seed; each run prints the one it used, to repeat its mutations
set -euo pipefail
build=$(realpath -m "${1:-$(dirname "$0")/../build-hardening}")
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-20}
# libFuzzer takes 0 for "pick one"; any other seed from 1 to 2^31-1 repeats a run.
seed=${FUZZ_SEED:-$(( $(od -An -N4 -tu4 /dev/urandom) % 2147483647 + 1 ))}

# clang brings libFuzzer in libclang-rt-dev; llvm brings llvm-symbolizer, which turns the
# sanitizers' stack traces into file and line.
tools/deps.sh clang libclang-rt-dev llvm

echo "== Sanitizer build in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DQUARN_SANITIZE=ON -DQUARN_FUZZ=ON -DQUARN_BUILD_BENCH=OFF
cmake --build "$build" --parallel 2

# shellcheck source=/dev/null
. "$build/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen

# Runs one fuzz target from its seed corpus; what it finds goes to a scratch corpus in the build
# folder, never into the sources.
fuzz() {
    local target=$1 seeds=$2
    local work="$build/fuzz-run/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    echo "== Fuzzing $target for ${fuzz_seconds}s (FUZZ_SEED=$seed)"
    if "$build/tests/fuzz/$target" -seed="$seed" -max_total_time="$fuzz_seconds" -timeout=10 \
            -dict=tests/fuzz/script.dict -artifact_prefix="$work/" -print_final_stats=1 \
            "$work/corpus" "tests/fuzz/corpus/$seeds" > "$work/log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|#[0-9]+[[:space:]]+DONE' "$work/log" || true
        return 0
    fi
    tail -n 80 "$work/log"
    local artifact
    for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
        [ -e "$artifact" ] || continue
        echo "-- $artifact ($(stat -c %s "$artifact") bytes):"
        od -A d -c "$artifact" | head -n 40
        echo "-- to reproduce: . $build/sanitizer-env.sh; QT_QPA_PLATFORM=offscreen $build/tests/fuzz/$target $artifact"
    done
    echo "== $target FAILED"
    return 1
}

failed=0
fuzz fuzz_tokenizer tokenizer || failed=1
fuzz fuzz_script_round_trip script || failed=1
fuzz fuzz_language script || failed=1

echo "== Tests under the sanitizers"
ctest --test-dir "$build" --output-on-failure --timeout 600 --parallel "$(nproc)" || failed=1

if [ "$failed" -ne 0 ]; then
    echo "== Hardening FAILED: see the fuzz and test output above"
fi
exit "$failed"
