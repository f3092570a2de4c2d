#include "engine/naming.h"

#include <gtest/gtest.h>

#include <ctime>

namespace ravelin {
namespace {

JobContext Job(const std::string& input) {
  JobContext job;
  job.InputPath = input;
  job.OutputFolder = "/out/";
  job.OutputExt = "psd";
  job.TargetBpp = 32;
  job.MaskWidth = 640;
  job.MaskHeight = 480;
  job.MaskFrame = 1;
  job.RandomValue = 42;
  job.Counter = 1;
  return job;
}

std::string Expand(const std::string& mask, const JobContext& job) {
  Settings settings;
  settings.FilenameMask = mask;
  return ExpandMask(settings, job);
}

TEST(OutputNaming, ExpandsEveryToken) {
  struct Case { const char* why; const char* mask; const char* input; const char* expected; };
  const Case kCases[] = {
      {"empty mask is the default", "", "/in/Photo.bmp", "Photo.psd"},
      {"tokens in any case, literal text lowered", "IMG_%N%.%EXT%", "/in/Photo.bmp", "img_00001.psd"},
      {"base name keeps its case", "%filename%", "/in/MyPic.bmp", "MyPic"},
      {"upper", "%filename[u]%", "/in/MyPic.bmp", "MYPIC"},
      {"lower", "%filename[l]%", "/in/MyPic.bmp", "mypic"},
      {"title case", "%filename[t]%", "/in/hELLO world.bmp", "Hello world"},
      {"ext as it is", "%ext%", "/in/a.bmp", "psd"},
      {"ext upper", "%ext[u]%", "/in/a.bmp", "PSD"},
      {"ext title", "%ext[t]%", "/in/a.bmp", "Psd"},
      {"bits per pixel", "%bpp%", "/in/a.bmp", "32"},
      {"width and height", "%width%x%height%", "/in/a.bmp", "640x480"},
      {"frame", "%frame%", "/in/a.bmp", "1"},
      {"random padded", "%rnd%", "/in/a.bmp", "00042"},
      {"counter padded", "%n%", "/in/a.bmp", "00001"},
      {"token inside the file name is replaced later", "%filename%.%ext%", "/in/a%n%b.bmp", "a00001b.psd"},
      {"a mask without ext gives no extension", "%filename%", "/in/a.bmp", "a"},
      {"only the last dot starts the extension", "%filename%", "/in/a.b.c.bmp", "a.b.c"},
      {"a backslash separates folders too", "%filename%", "C:\\pics\\x.bmp", "x"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, Expand(c.mask, Job(c.input)));
  }
}

TEST(OutputNaming, DateTokensReadTheLocalClock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char expected[16];
  std::strftime(expected, sizeof expected, "%Y-%m-%d", &local);
  EXPECT_EQ(expected, Expand("%yyyy%-%mm%-%dd%", Job("/in/a.bmp")));
  const std::string time = Expand("%hh%:%ii%:%ss%", Job("/in/a.bmp"));
  ASSERT_EQ(8u, time.size());
  EXPECT_EQ(':', time[2]);
  EXPECT_EQ(':', time[5]);
}

TEST(OutputNaming, FiveDigitFieldsKeepTheirFirstDigits) {
  JobContext job = Job("/in/a.bmp");
  struct Case { int counter; const char* expected; };
  for (const Case& c : {Case{7, "00007"}, Case{99999, "99999"}, Case{100020, "10002"}}) {
    job.Counter = c.counter;
    EXPECT_EQ(c.expected, Expand("%n%", job));
  }
}

TEST(OutputNaming, OutputPathAddsTheSubfolderOnlyWhenKept) {
  Settings settings;
  JobContext job = Job("/in/a.bmp");
  job.SubFolder = "2020/";
  EXPECT_EQ("/out/2020/a.psd", BuildOutputPath(settings, job));
  settings.KeepSubfolders = 0;
  EXPECT_EQ("/out/a.psd", BuildOutputPath(settings, job));
}

TEST(OutputNaming, TemporaryNameIsAsciiInTheOutputFolder) {
  Settings settings;
  JobContext job = Job("/in/Ünïcode name.bmp");
  const std::string temp = BuildTempPath(settings, job);
  ASSERT_EQ(0u, temp.rfind("/out/ravelin", 0));
  const std::string letters = temp.substr(5, temp.size() - 5 - 4);
  EXPECT_EQ(".psd", temp.substr(temp.size() - 4));
  // "ravelin", ten date letters (a-j) and five random letters.
  EXPECT_EQ(7u + 10u + 5u, letters.size());
  for (size_t i = 7; i < 17; ++i) EXPECT_TRUE(letters[i] >= 'a' && letters[i] <= 'j') << letters;
  for (size_t i = 17; i < letters.size(); ++i) EXPECT_TRUE(letters[i] >= 'a' && letters[i] <= 'z');
  EXPECT_NE(temp, BuildTempPath(settings, job));
}

TEST(StripExtension, FollowsTheExtensionRule) {
  struct Case { const char* name; const char* expected; };
  const Case kCases[] = {
      {"", ""},          {"photo", "photo"},       {"photo.bmp", "photo"},
      {".hidden", ".hidden"}, {"a.b.c", "a.b"},    {"my file.x y", "my file.x y"},
      {"dir.d/file", "dir.d/file"}, {"trailing.", "trailing"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.expected, StripExtension(c.name)) << c.name;
}

}  // namespace
}  // namespace ravelin
