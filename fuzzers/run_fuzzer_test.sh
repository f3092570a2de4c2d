#!/usr/bin/env bash
# The fuzz loop on a small target that hangs on inputs beginning with "T": the run goes on
# after the first timeout, keeps every such input and no other, and leaves nothing in its
# work folder. Skipped
# (77) where clang cannot build a libFuzzer target.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat >"$scratch/hang.cpp" <<'TARGET'
#include <cstddef>
#include <cstdint>
#include <unistd.h>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 'T') for (;;) pause();
  return 0;
}
TARGET
clang++ -fsanitize=fuzzer "$scratch/hang.cpp" -o "$scratch/hang" 2>/dev/null || exit 77
mkdir -p "$scratch/seeds" "$scratch/work"
printf T >"$scratch/seeds/t"
printf a >"$scratch/seeds/a"

status=0
RAVELIN_FUZZ_TIMEOUT=1 RAVELIN_FUZZ_WORK="$scratch/work" "$here/run_fuzzer.sh" "$scratch/hang" 5 \
  "$scratch/seeds" "$scratch/corpus" "$scratch/regressions" >"$scratch/out" 2>&1 || status=$?
cat "$scratch/out"
fail() { echo "FAILED: $*" >&2; exit 1; }
[ $status -eq 1 ] || fail "a finding makes the run end with 1, not $status"
# The seed "T" times out when fork mode first runs the seeds; the fuzzing that follows it
# shows the run went on.
[ -e "$scratch/regressions/timeout-$(printf T | sha1sum | cut -c1-16)" ] || fail "the timeout input is kept"
for input in "$scratch/regressions"/*; do
  [ "$(head -c 1 "$input")" = T ] || fail "$input is not an input that hangs"
done
runs=$(grep -oE '^#[0-9]+' "$scratch/out" | tail -n 1 | tr -d '#' || echo 0)
[ "${runs:-0}" -gt 20 ] || fail "the run stopped at its first timeout (executions: ${runs:-0})"
[ -z "$(ls -A "$scratch/work")" ] || fail "the work folder is left behind: $(ls -A "$scratch/work")"
echo "passed"
