// Runs one fuzz input in a child process under limits, so an input that hangs or eats memory
// fails its replay instead of passing or taking the test run down with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ravelin::fuzz {

struct ReplayLimits {
  int seconds = 5;                       // wall time before the child is killed
  uint64_t memoryBytes = 2048ull << 20;  // peak resident memory (and address space, see below)
};

// The limits of the regular replay: a few seconds (three times as many in sanitizer builds)
// and 2 GiB, the memory libFuzzer allows by default.
ReplayLimits RegressionLimits();

enum class ReplayStatus { Passed, Failed, Crashed, TimedOut, OutOfMemory };

struct ReplayOutcome {
  ReplayStatus status = ReplayStatus::Crashed;
  std::string detail;  // what happened, for the failure message
};

// Forks; the child runs `work` and ends with its result as exit status (0 passes). The child's
// TMPDIR, where its sandbox goes, is a fresh folder under $TMPDIR (or /tmp) that is removed
// when the child has ended, however it ended. Outside
// sanitizer builds the child's address space is capped at the memory limit and a failed
// allocation in C++ counts as out of memory; in every build a peak resident size above the
// limit does (the sanitizers reserve address space far beyond any cap).
ReplayOutcome RunWithLimits(const std::function<int()>& work, const ReplayLimits& limits);

}  // namespace ravelin::fuzz
