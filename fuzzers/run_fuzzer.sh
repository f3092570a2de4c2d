#!/usr/bin/env bash
# fuzzers/run_fuzzer.sh BINARY SECONDS SEEDS CORPUS REGRESSIONS
# Runs the libFuzzer executable BINARY for SECONDS on CORPUS (seeded from SEEDS, grown across
# runs) in fork mode, so timeouts, out-of-memory inputs and crashes do not end the run. Every
# finding is kept in REGRESSIONS, crashes minimised first, named by kind and content. Exits 1
# when anything was found. RAVELIN_FUZZ_TIMEOUT sets the seconds an input may take (10).
set -euo pipefail
if [ $# -ne 5 ]; then
  echo "usage: run_fuzzer.sh BINARY SECONDS SEEDS CORPUS REGRESSIONS" >&2
  exit 2
fi
binary=$1 seconds=$2 seeds=$3 corpus=$4 regressions=$5
timeout=${RAVELIN_FUZZ_TIMEOUT:-10}

# A work folder of this run's own, in memory when the machine has /dev/shm (under
# RAVELIN_FUZZ_WORK when that is set). The targets' sandboxes and libFuzzer's job folders go
# into it through TMPDIR, so whatever a killed process leaves behind goes with it at the end.
base=${RAVELIN_FUZZ_WORK:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/ravelin-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp" "$work/artifacts" "$corpus"
cp -n "$seeds"/* "$corpus/" 2>/dev/null || true
export TMPDIR="$work/tmp"

log="$work/run.log"
status=0
"$binary" -fork=1 -ignore_timeouts=1 -ignore_ooms=1 -ignore_crashes=1 \
  -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$work/artifacts/" "$corpus" >"$log" 2>&1 || status=$?
# The last progress line: executions, coverage, corpus and the findings so far.
grep -E '^#[0-9]+: cov' "$log" | tail -n 1 || true
echo "corpus: $(find "$corpus" -maxdepth 1 -type f | wc -l) inputs in $corpus"

found=0
for artifact in "$work/artifacts/"*; do
  [ -f "$artifact" ] || continue
  kind=$(basename "$artifact" | sed 's/-.*//')
  kept=$artifact
  case $kind in
    crash|leak)
      rm -f "$work/minimized"
      "$binary" -minimize_crash=1 -runs=20000 -max_total_time=60 -timeout="$timeout" \
        -exact_artifact_path="$work/minimized" "$artifact" >"$work/minimize.log" 2>&1 || true
      [ -s "$work/minimized" ] && kept="$work/minimized"
      ;;
  esac
  mkdir -p "$regressions"
  name="$kind-$(sha1sum "$kept" | cut -c1-16)"
  if [ ! -e "$regressions/$name" ]; then
    cp "$kept" "$regressions/$name"
    echo "kept $kind input as $regressions/$name"
    found=$((found + 1))
  fi
done

if [ $found -gt 0 ]; then
  echo "$found finding(s) kept in $regressions; their replay fails until the fault is mended" >&2
  exit 1
fi
if [ $status -ne 0 ]; then
  tail -n 60 "$log" >&2
  echo "the fuzzer failed without leaving an input (status $status)" >&2
  exit 1
fi
echo "no finding in $seconds seconds"
