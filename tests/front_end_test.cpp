#include "cli/front_end.h"

#include <gtest/gtest.h>

#include "cli/help_text.h"
#include "tests/support/capture_console.h"

namespace ravelin {
namespace {

using test::CaptureConsole;

struct Outcome {
  CommandLineOutcome outcome;
  std::vector<std::string> lines;
  Settings settings;
  JobContext job;
  int keyWaits = 0;
  std::string windowInput;
};

Outcome RunLine(const Parameters& params) {
  Outcome result;
  CaptureConsole console;
  InputList list;
  CommandLine line{params, result.settings, result.job, list, console, "Veltrano BMP to PSD 2.6", "2.6", {}};
  result.outcome = RunCommandLine(line);
  result.lines = console.lines;
  result.keyWaits = console.keyWaits;
  result.windowInput = line.windowInput;
  return result;
}

TEST(FrontEnd, ParameterErrors) {
  struct Case { const char* why; Parameters params; };
  const Case kCases[] = {
      {"-i as the last parameter", {"-i"}},
      {"--input without =", {"--input"}},
      {"--input= with nothing", {"--input="}},
      {"a value that begins with -", {"-i", "-photo.bmp"}},
      {"a blank instead of =", {"-i", "a.bmp", "--width", "640"}},
      {"an empty long value", {"-i", "a.bmp", "--width="}},
      {"a long value that begins with --", {"-i", "a.bmp", "--width=--5"}},
      {"-o without value", {"-i", "a.bmp", "-o"}},
      {"an error without an input option", {"--height"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const Outcome out = RunLine(c.params);
    EXPECT_EQ(CommandLineOutcome::Ended, out.outcome);
    EXPECT_EQ(std::vector<std::string>{"Error: Incorrect number of parameters"}, out.lines);
  }
}

TEST(FrontEnd, ProfileThatCannotBeOpened) {
  const Outcome out = RunLine({"-p", "-i", "a.bmp", "--profile=/nonexistent/a.ini"});
  EXPECT_EQ(std::vector<std::string>{"Error: Invalid profile file"}, out.lines);
  EXPECT_EQ(1, out.keyWaits) << "with -p the error waits for a key without a prompt";
}

TEST(FrontEnd, VersionAndHelpOnlyInFirstPosition) {
  for (const Parameters& params : {Parameters{"-v"}, Parameters{"-V"}, Parameters{"--version=x"}}) {
    const Outcome out = RunLine(params);
    EXPECT_EQ(CommandLineOutcome::Ended, out.outcome);
    EXPECT_EQ(std::vector<std::string>{"2.6"}, out.lines);
  }
  const Outcome help = RunLine({"-h", "-i", "photo.bmp"});
  ASSERT_EQ(36u, help.lines.size());
  EXPECT_EQ(" ", help.lines[0]);
  EXPECT_EQ("  -v, --version             Display version information and exit", help.lines[35]);
  EXPECT_EQ(help.lines, RunLine({"-?"}).lines);
  EXPECT_EQ(help.lines, RunLine({"--HELP"}).lines);
  // Later in the line the same keys are ignored: no input option, so the window mode starts.
  EXPECT_EQ(CommandLineOutcome::WindowMode, RunLine({"--width=5", "-h"}).outcome);
}

TEST(FrontEnd, HelpFillsProgramNameAndExtension) {
  const std::vector<std::string> lines = HelpLines("ravelin");
  const std::vector<std::string> head(lines.begin(), lines.begin() + 9);
  EXPECT_EQ((std::vector<std::string>{" ", "Usage: ravelin -i <filename> [options]", " ",
                                      "  ravelin -i example.bmp", "  ravelin -i /tmp/example.bmp",
                                      "  ravelin -i /tmp/example.bmp -o ~/converted",
                                      "  ravelin -i /tmp/example.bmp -o ~/converted --jpg-quality=95", " ",
                                      "Options:"}),
            head);
}

TEST(FrontEnd, WindowModeWithoutInputOption) {
  EXPECT_EQ(CommandLineOutcome::WindowMode, RunLine({}).outcome);
  const Outcome out = RunLine({"photo.bmp", "--unknown=1", "--width=640"});
  EXPECT_EQ(CommandLineOutcome::WindowMode, out.outcome);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_EQ(CommandLineOutcome::UninstallMode, RunLine({"-u"}).outcome);
  EXPECT_EQ(CommandLineOutcome::ScreenshotMode, RunLine({"-T"}).outcome);
}

// The window mode opens the first parameter that is neither an option nor an option's value.
TEST(FrontEnd, WindowInputIsTheFirstBareParameter) {
  struct Case { const char* why; Parameters params; const char* expected; };
  const Case kCases[] = {
      {"one file", {"/x/photo.bmp"}, "/x/photo.bmp"},
      {"trimmed, after options, only the first", {"--width=640", " a.bmp ", "b.bmp"}, "a.bmp"},
      {"the value of -o is no input", {"-o", "/x/a.bmp"}, ""},
      {"nor of -c", {"-c", "bmp"}, ""},
      {"nor the words a quoted value takes", {"--wm-text=\"a", "b.bmp\""}, ""},
      {"a blank parameter is nothing", {" ", "c.bmp"}, "c.bmp"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const Outcome out = RunLine(c.params);
    EXPECT_EQ(CommandLineOutcome::WindowMode, out.outcome);
    EXPECT_TRUE(out.lines.empty());
    EXPECT_EQ(c.expected, out.windowInput);
  }
  // A console run still converts its input option, whatever bare parameter follows.
  const Outcome out = RunLine({"-i", "/nonexistent/in.bmp", "extra.bmp", "-q"});
  EXPECT_EQ(CommandLineOutcome::Ended, out.outcome);
  EXPECT_TRUE(out.job.ConsoleRun);
  EXPECT_EQ("/nonexistent/in.bmp", out.job.InputPath);
}

TEST(FrontEnd, InputSpellingsAndQuoteJoining) {
  for (const Parameters& params :
       {Parameters{"-I", "/x/in.bmp"}, Parameters{"-i", "/x/in.bmp"}, Parameters{"--INPUT=/x/in.bmp"},
        Parameters{"--Input=/x/in.bmp"}, Parameters{" -i ", " /x/in.bmp "}}) {
    const Outcome out = RunLine(params);
    EXPECT_TRUE(out.job.ConsoleRun);
    EXPECT_EQ("/x/in.bmp", out.job.InputPath);
  }
  const Outcome joined = RunLine({"-i", "\"/x/my", "big", "photo.bmp\"", "-q"});
  EXPECT_EQ("/x/my big photo.bmp", joined.job.InputPath);
  // An unclosed quote consumes every parameter after it.
  const Outcome open = RunLine({"-i", "\"/x/a", "b", "-q"});
  EXPECT_EQ("/x/a b -q", open.job.BaseFolder) << "a path without extension stops before it moves";
}

TEST(FrontEnd, ConversionValueIsStoredUnchanged) {
  const Outcome upper = RunLine({"-i", "/nonexistent/a.bmp", "-c", "\"PSD\"", "-q"});
  EXPECT_EQ("PSD", upper.job.OutputExt);
  EXPECT_EQ("psd", upper.settings.OutputFormat) << "-c leaves the Output Format setting alone";
}

TEST(FrontEnd, ConsoleRunChecksInOrder) {
  struct Case { const char* why; Parameters params; std::vector<std::string> lines; };
  const Case kCases[] = {
      {"no extension", {"-q", "-i", "/tmp/photo"}, {"Error: Invalid input file"}},
      {"dot after a slash is no extension", {"-q", "-i", "/tmp/.bmp"}, {"Error: Invalid input file"}},
      {"a folder", {"-q", "-i", "/tmp/dir.bmp/"}, {"Error: Invalid input file"}},
      {"missing file", {"-q", "-i", "/nonexistent/photo.bmp"}, {"Error: Invalid input file"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.lines, RunLine(c.params).lines);
  }
}

TEST(FrontEnd, BannerReplacesTheCopyrightSign) {
  const std::vector<std::string> banner = BannerLines("Veltrano BMP to PSD 2.6");
  ASSERT_EQ(4u, banner.size());
  EXPECT_EQ("Veltrano BMP to PSD 2.6", banner[0]);
  EXPECT_EQ(0u, banner[1].rfind("(c) ", 0));
  EXPECT_EQ(std::string::npos, banner[1].find("\xC2\xA9"));
  EXPECT_EQ(" ", banner[3]);
}

}  // namespace
}  // namespace ravelin
