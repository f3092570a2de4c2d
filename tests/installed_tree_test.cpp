// The installed tree: the build installed into a scratch prefix, run through its bin/ link,
// and the desktop entry, manual page and shell completion it carries.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/option_table.h"
#include "platform/product.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool HasTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One installation per test program: the prefix lies outside the build folder, so the
// installed program cannot reach back into it.
class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new ScratchDir;
    home_ = new ScratchDir;
    install_ = new RunResult(RunProgram("/bin/sh",
        {"-c", std::string("\"$0\" --install \"$1\" --prefix \"$2\" 2>&1"), RAVELIN_CMAKE,
         RAVELIN_BUILD_FOLDER, prefix_->path()}, *home_));
  }
  static void TearDownTestSuite() {
    delete install_;
    delete home_;
    delete prefix_;
  }
  void SetUp() override { ASSERT_EQ(0, install_->exitCode) << install_->out; }

  static std::string Prefix(const std::string& name) { return *prefix_ / name; }
  static RunResult Shell(const std::string& script, const std::string& cwd = "") {
    return RunProgram("/bin/sh", {"-c", script + " 2>&1"}, *home_, cwd);
  }

  static ScratchDir* prefix_;
  static ScratchDir* home_;
  static RunResult* install_;
};
ScratchDir* InstalledTree::prefix_ = nullptr;
ScratchDir* InstalledTree::home_ = nullptr;
RunResult* InstalledTree::install_ = nullptr;

TEST_F(InstalledTree, WritesOnlyBelowThePrefixInTheProgramFolderLayout) {
  for (const std::string& line : install_->lines) {
    const size_t colon = line.find(": ");
    if (line.rfind("-- Installing", 0) != 0 && line.rfind("-- Up-to-date", 0) != 0) continue;
    EXPECT_EQ(0u, line.compare(colon + 2, prefix_->path().size(), prefix_->path())) << line;
  }
  for (const char* name : {"lib/ravelin/ravelin", "lib/ravelin/ravelin-marks.so", "lib/ravelin/ravelin-gui.so",
                           "share/man/man1/ravelin.1.gz", "share/bash-completion/completions/ravelin",
                           "share/doc/ravelin/copyright"}) {
    EXPECT_TRUE(Exists(Prefix(name))) << name;
  }
  EXPECT_EQ(ReadBytes(RAVELIN_BUILD_FOLDER "gfx/handdrawn.zip"), ReadBytes(Prefix("lib/ravelin/gfx/handdrawn.zip")));

  char target[256] = {};
  ASSERT_GT(readlink(Prefix("bin/ravelin").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ("../lib/ravelin/ravelin", target);

  const std::string id = kAppId;
  for (const std::string& name : {"share/applications/" + id + ".desktop", "share/metainfo/" + id + ".metainfo.xml",
                                  "share/icons/hicolor/scalable/apps/" + id + ".svg"}) {
    EXPECT_TRUE(Exists(Prefix(name))) << name;
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_TRUE(Exists(Prefix("share/icons/hicolor/" + folder + "/apps/" + id + ".png"))) << folder;
  }
}

TEST_F(InstalledTree, RunsThroughTheLinkWithTheInstalledModules) {
  const RunResult version = RunProgram(Prefix("bin/ravelin"), {"-v"}, *home_);
  ASSERT_EQ(1u, version.lines.size()) << version.out;
  EXPECT_EQ("2.6", version.lines[0]);

  // A frame needs the marks module, which the program finds in its own folder.
  ScratchDir work;
  ASSERT_TRUE(WriteBytes(work / "sample.bmp", ReadBytes(RAVELIN_SAMPLE_BMP)));
  ASSERT_EQ(0, mkdir((work / "out").c_str(), 0700));
  ASSERT_EQ(0, mkdir((work / "alone").c_str(), 0700));
  const RunResult run = RunProgram(Prefix("bin/ravelin"),
                                   {"-i", "sample.bmp", "-o", work / "out", "-q", "--fr-solid-left=4"}, *home_,
                                   work.path());
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(std::vector<std::string>{"sample.psd"}, ListFolder(work / "out")) << run.out;

  // A program folder without the module does not borrow the build folder's.
  ScratchDir bare;
  ASSERT_EQ(0, RunProgram("/bin/cp", {Prefix("lib/ravelin/ravelin"), bare / "ravelin"}, *home_).exitCode);
  const RunResult alone = RunProgram(bare / "ravelin", {"-i", "sample.bmp", "-o", work / "alone", "--fr-solid-left=4"},
                                     *home_, work.path());
  EXPECT_NE(alone.lines.end(), std::find(alone.lines.begin(), alone.lines.end(), "Conversion stopped")) << alone.out;
  EXPECT_TRUE(ListFolder(work / "alone").empty());
}

TEST_F(InstalledTree, DesktopEntryAndMetainfoValidate) {
  const std::string entry = Prefix(std::string("share/applications/") + kAppId + ".desktop");
  const std::string text = Text(entry);
  for (const std::string& line : {std::string("Name=") + kProductName, std::string("Icon=") + kAppId,
                                  std::string("Exec=ravelin %f"), std::string("MimeType=image/bmp;image/x-bmp;")}) {
    EXPECT_NE(std::string::npos, text.find("\n" + line + "\n")) << line;
  }
  if (!HasTool("desktop-file-validate")) {
    GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
  }
  const RunResult desktop = Shell("desktop-file-validate \"" + entry + "\"");
  EXPECT_EQ(0, desktop.exitCode);
  EXPECT_EQ("", desktop.out);
  if (!HasTool("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed (package appstream)";
  const RunResult metainfo = Shell(std::string("appstreamcli validate --no-net \"") +
                                   Prefix(std::string("share/metainfo/") + kAppId + ".metainfo.xml") + "\"");
  EXPECT_EQ(0, metainfo.exitCode) << metainfo.out;
}

// The names the page lists as terms (".TP" then a bold name) below a section heading.
std::vector<std::string> ManualTerms(const std::string& page, const std::string& section) {
  std::vector<std::string> names;
  size_t at = page.find("\n.SH " + section + "\n");
  if (at == std::string::npos) return names;
  const size_t end = page.find("\n.SH ", at + 1);
  while ((at = page.find("\n.TP\n\\fB", at)) != std::string::npos && at < end) {
    at += 8;
    std::string name = page.substr(at, page.find("\\fR", at) - at);
    for (size_t dash; (dash = name.find("\\-")) != std::string::npos;) name.erase(dash, 1);
    names.push_back(name);
  }
  return names;
}

TEST_F(InstalledTree, ManualListsEveryOptionOfTheTableAndReadsCleanly) {
  const std::string page = Shell("gzip -dc \"" + Prefix("share/man/man1/ravelin.1.gz") + "\"").out;
  std::vector<std::string> table;
  for (size_t i = 0; i < OptionTableSize(); ++i) table.push_back(Lower(OptionTableKey(i)));
  EXPECT_EQ(table, ManualTerms(page, "CONVERSION SETTINGS"));
  const std::vector<std::string> frontEnd = ManualTerms(page, "OPTIONS");
  for (const char* name : {"-h", "-i", "-o", "-c", "--profile", "-q", "-d", "-p", "-v"}) {
    EXPECT_NE(frontEnd.end(), std::find(frontEnd.begin(), frontEnd.end(), name)) << name;
  }
  for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "PROFILE FILES", "FILES", "EXIT STATUS", "EXAMPLES"}) {
    EXPECT_NE(std::string::npos, page.find(std::string("\n.SH ") + section + "\n")) << section;
  }
  EXPECT_NE(std::string::npos, page.find("lanczos")) << "keyword values";

  if (!HasTool("man") || !HasTool("lexgrog")) GTEST_SKIP() << "man-db is not installed";
  const std::string file = Prefix("share/man/man1/ravelin.1.gz");
  const RunResult warnings = Shell("man --warnings -l \"" + file + "\" >/dev/null");
  EXPECT_EQ("", warnings.out);
  EXPECT_EQ(0, Shell("lexgrog \"" + file + "\"").exitCode);
}

// COMPREPLY of the completion function for the command line `words`, the last word being
// completed, in the folder `cwd`.
std::vector<std::string> Complete(const std::string& script, const std::vector<std::string>& words,
                                  const ScratchDir& home, const std::string& cwd = "") {
  std::vector<std::string> args = {"-c",
      "source \"$0\"; COMP_WORDS=(ravelin \"$@\"); COMP_CWORD=$#; _ravelin; printf '%s\\n' \"${COMPREPLY[@]}\"",
      script};
  args.insert(args.end(), words.begin(), words.end());
  RunResult run = RunProgram("/bin/bash", args, home, cwd);
  std::vector<std::string> offered;
  for (const std::string& line : run.lines) {
    if (!line.empty()) offered.push_back(line);
  }
  std::sort(offered.begin(), offered.end());
  return offered;
}

TEST_F(InstalledTree, CompletionOffersOptionsKeywordsAndFiles) {
  const std::string script = Prefix("share/bash-completion/completions/ravelin");
  ScratchDir work;
  ASSERT_TRUE(WriteBytes(work / "sample.bmp", {}));

  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> offered;
  };
  const Case cases[] = {
      {{"--resize-al"}, {"--resize-algorithm="}},
      {{"--INV"}, {"--invert"}},
      {{"--resize-algorithm", "=", "lan"}, {"lanczos"}},  // "=" splits words by default
      {{"--resize-algorithm=LAN"}, {"--resize-algorithm=lanczos"}},
      {{"--wm-text-position", "=", "bottom"}, {"bottomcenter", "bottomleft", "bottomright"}},
      {{"--resize-algorithm", "="}, {"bicubic", "bilinear", "box", "bspline", "catmullrom", "lanczos"}},
      {{"-i", "sam"}, {"sample.bmp"}},
      {{"--profile", "=", "sam"}, {"sample.bmp"}},
      {{"--width", "=", "1"}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.offered, Complete(script, c.words, *home_, work.path())) << c.words.front();
  }

  // Every option of the table is offered, valued ones with their "=".
  const std::vector<std::string> all = Complete(script, {"--"}, *home_);
  for (size_t i = 0; i < OptionTableSize(); ++i) {
    const OptionDescription row = DescribeOption(i);
    const std::string word = Lower(row.key) + (row.kind == ValueKind::Flag ? "" : "=");
    EXPECT_TRUE(std::binary_search(all.begin(), all.end(), word)) << word;
  }
}

}  // namespace
}  // namespace ravelin::test
