// Replays a fuzz target's seed corpus and every regression input found by fuzzing through its
// LLVMFuzzerTestOneInput, as a regular test: each runs in a child process of its own and must
// end without a sanitizer report or a crash, within a few seconds and a bounded memory, so a
// saved timeout or out-of-memory input fails until its fault is mended.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzzers/replay_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name[0] != '.') files.push_back(folder + "/" + name);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    int c = 0;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

void Replay(const std::string& folder) {
  for (const std::string& file : FilesIn(folder)) {
    SCOPED_TRACE(file);
    const std::vector<uint8_t> bytes = ReadFile(file);
    const ravelin::fuzz::ReplayOutcome outcome = ravelin::fuzz::RunWithLimits(
        [&bytes] { return LLVMFuzzerTestOneInput(bytes.data(), bytes.size()); },
        ravelin::fuzz::RegressionLimits());
    EXPECT_EQ(ravelin::fuzz::ReplayStatus::Passed, outcome.status) << outcome.detail;
  }
}

TEST(FuzzReplay, SeedCorpus) {
  ASSERT_FALSE(FilesIn(RAVELIN_SEED_FOLDER).empty()) << "no seeds for " RAVELIN_FUZZ_TARGET;
  Replay(RAVELIN_SEED_FOLDER);
}

TEST(FuzzReplay, Regressions) { Replay(RAVELIN_REGRESSION_FOLDER); }

}  // namespace
