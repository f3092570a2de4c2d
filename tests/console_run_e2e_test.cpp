// End-to-end runs of the built converter: exact console lines, the PSD read back by an
// independent reader, and the files left in the output folder.
#include <gtest/gtest.h>

#include <FreeImage.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/psd_check.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

const std::vector<std::string> kBanner = {"Veltrano BMP to PSD 2.6", "(c) 2004-2026 Veltrano Software",
                                          "https://www.veltrano.example", " "};

std::vector<std::string> WithBanner(std::vector<std::string> lines) {
  lines.insert(lines.begin(), kBanner.begin(), kBanner.end());
  return lines;
}

const std::vector<std::string> kSuccess = {"Preparing...", "Importing...", "Import complete, new files added: 1",
                                           "Converting...", "Conversion complete", "Files converted: 1 of 1"};
const std::vector<std::string> kFailure = {"Preparing...", "Importing...", "Import complete, new files added: 1",
                                           "Converting...", "Conversion stopped"};

// A w x h 24-bit picture whose every pixel differs, written as a plain BMP by FreeImage.
std::vector<uint8_t> WriteTestBmp(const std::string& path, unsigned w, unsigned h) {
  FIBITMAP* bitmap = FreeImage_Allocate(static_cast<int>(w), static_cast<int>(h), 24);
  std::vector<uint8_t> rgb;
  for (unsigned y = 0; y < h; ++y) {
    for (unsigned x = 0; x < w; ++x) {
      RGBQUAD c{static_cast<BYTE>(x * 37 + y), static_cast<BYTE>(y * 53 + x * 3), static_cast<BYTE>(x * y + 7), 0};
      FreeImage_SetPixelColor(bitmap, x, h - 1 - y, &c);  // FreeImage counts rows from the bottom
      rgb.insert(rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
    }
  }
  FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0);
  FreeImage_Unload(bitmap);
  return rgb;
}

void ExpectPsdPixels(const std::string& psd, unsigned w, unsigned h, const std::vector<uint8_t>& rgb) {
  RgbImage decoded;
  ASSERT_TRUE(DecodeWithImageMagick(psd, &decoded)) << psd;
  EXPECT_EQ(w, decoded.width);
  EXPECT_EQ(h, decoded.height);
  EXPECT_EQ(rgb, decoded.rgb);
  unsigned aw = 0, ah = 0;
  std::vector<uint8_t> alpha;
  ASSERT_TRUE(ReadPsdAlpha(psd, &aw, &ah, &alpha));
  EXPECT_EQ(std::vector<uint8_t>(size_t{w} * h, 255), alpha);
}

TEST(ConsoleRun, ConvertsWithTheExactStatusLines) {
  ScratchDir dir;
  const std::vector<uint8_t> rgb = WriteTestBmp(dir / "photo.bmp", 5, 3);
  const RunResult run = RunRavelin({"-i", dir / "photo.bmp"}, dir);
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(WithBanner(kSuccess), run.lines);
  ExpectPsdPixels(dir / "photo.psd", 5, 3, rgb);
  EXPECT_EQ((std::vector<std::string>{"config", "photo.bmp", "photo.psd", "runtime"}), ListFolder(dir.path()))
      << "no temporary file is left behind";
}

// 6 x 9 pixels make a PSD of exactly 256 bytes, which DevIL's own save result calls a failure.
TEST(ConsoleRun, ConvertsAPictureWhosePsdIsAMultipleOf256Bytes) {
  ScratchDir dir;
  const std::vector<uint8_t> rgb = WriteTestBmp(dir / "photo.bmp", 6, 9);
  const RunResult run = RunRavelin({"-i", dir / "photo.bmp"}, dir);
  EXPECT_EQ(WithBanner(kSuccess), run.lines);
  ExpectPsdPixels(dir / "photo.psd", 6, 9, rgb);
}

TEST(ConsoleRun, QuietSuccessPrintsNothing) {
  ScratchDir dir;
  ScratchDir out;
  WriteTestBmp(dir / "a.bmp", 2, 2);
  const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp", "-o", out.path()}, dir);
  EXPECT_EQ("", run.out);
  EXPECT_EQ(std::vector<std::string>{"a.psd"}, ListFolder(out.path()));
}

TEST(ConsoleRun, DebugEchoOfTheDefaults) {
  ScratchDir dir;
  WriteTestBmp(dir / "a.bmp", 2, 2);
  const RunResult run = RunRavelin({"-d", "-q", "-i", dir / "a.bmp"}, dir);
  const std::vector<std::string> expected = {
      "Input: " + dir / "a.bmp", "Output: " + dir.path(), "Conversion: psd", "PSD BPP: 0",
      "Flip Horizontal: 0", "Flip Vertical: 0", "Greyscale: 0", "Frame: none", "Watermark: none",
      "Filename Mask: %filename%.%ext%", "File Timestamp: current", "Keep Subfolders: 1",
      "Processing: " + dir / "a.bmp", "File Format: BMP", "[OK] Saving As: " + dir / "a.psd"};
  EXPECT_EQ(expected, run.lines);
}

TEST(ConsoleRun, PauseAfterTheRun) {
  ScratchDir dir;
  WriteTestBmp(dir / "a.bmp", 2, 2);
  const RunResult run = RunRavelin({"-q", "-p", "-i", dir / "a.bmp"}, dir);
  EXPECT_EQ(std::vector<std::string>{"Press any key to exit."}, run.lines);
}

TEST(ConsoleRun, CheckFailures) {
  ScratchDir dir;
  WriteTestBmp(dir / "a.bmp", 2, 2);
  WriteBytes(dir / "empty.bmp", {});
  WriteBytes(dir / "photo.png", {1, 2, 3});
  WriteBytes(dir / "list.txt", {'x'});
  mkdir((dir / "folder.bmp").c_str(), 0700);
  // Quiet: only the two failure lines.
  const std::vector<std::string> kNothingImported = {"Conversion stopped",
                                                     "No input file(s) found. Please, add valid file(s) and try again!"};
  struct Case { const char* why; std::vector<std::string> args; std::vector<std::string> lines; };
  const Case kCases[] = {
      {"empty file", {"-i", dir / "empty.bmp"}, {"Error: Invalid input file"}},
      {"a folder", {"-i", dir / "folder.bmp"}, {"Error: Invalid input file"}},
      {"output folder above", {"-i", dir / "a.bmp", "-o", "../out"}, {"Error: Incorrect output folder"}},
      {"output folder missing", {"-i", dir / "a.bmp", "-o", dir / "missing"}, {"Error: Invalid output folder"}},
      {"upper-case conversion", {"-i", dir / "a.bmp", "-c", "PSD"}, {"Error: Invalid conversion type"}},
      {"another conversion", {"-i", dir / "a.bmp", "-c", "jpg"}, {"Error: Invalid conversion type"}},
      {"not an accepted extension", {"-i", dir / "photo.png"}, kNothingImported},
      {"a list file", {"-i", dir / "list.txt"}, kNothingImported},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    std::vector<std::string> args = c.args;
    args.push_back("-q");
    const RunResult run = RunRavelin(args, dir);
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ(c.lines, run.lines);
  }
  for (const std::string& name : ListFolder(dir.path())) {
    EXPECT_EQ(std::string::npos, name.find(".psd")) << "no check failure writes a file";
  }
}

TEST(ConsoleRun, RelativeFoldersAreBelowTheCurrentDirectory) {
  // The working folder is not the program's: relative output folders, and the empty one of a
  // relative input path, are taken below it.
  ScratchDir home;
  ScratchDir work;
  mkdir((work / "out").c_str(), 0700);
  mkdir((work / "sub").c_str(), 0700);
  WriteTestBmp(work / "a.bmp", 2, 2);
  WriteTestBmp(work / "sub/c.bmp", 2, 2);
  struct Case { const char* why; std::vector<std::string> args; };
  const Case kCases[] = {
      {"relative output folder", {"-i", "a.bmp", "-o", "out", "--filename-mask=plain.%ext%"}},
      {"leading ./", {"-i", work / "a.bmp", "-o", "./out/", "--filename-mask=dotted.%ext%"}},
      {"relative input, no output folder", {"-i", "a.bmp"}},
      {"relative input in a subfolder", {"-i", "sub/c.bmp"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    std::vector<std::string> args = c.args;
    args.push_back("-q");
    EXPECT_EQ("", RunRavelin(args, home, work.path()).out);
  }
  EXPECT_EQ((std::vector<std::string>{"dotted.psd", "plain.psd"}), ListFolder(work / "out"));
  EXPECT_EQ((std::vector<std::string>{"a.bmp", "a.psd", "out", "sub"}), ListFolder(work.path()));
  EXPECT_EQ((std::vector<std::string>{"c.bmp", "c.psd"}), ListFolder(work / "sub"));
  const RunResult above = RunRavelin({"-q", "-i", "a.bmp", "-o", "../out"}, home, work.path());
  EXPECT_EQ(std::vector<std::string>{"Error: Incorrect output folder"}, above.lines);
}

TEST(ConsoleRun, NotABmpLeavesTheExistingOutputAlone) {
  ScratchDir dir;
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  WriteBytes(dir / "fake.psd", old);
  WriteBytes(dir / "fake.bmp", std::vector<uint8_t>(100, 'x'));
  const RunResult run = RunRavelin({"-i", dir / "fake.bmp"}, dir);
  EXPECT_EQ(WithBanner(kFailure), run.lines);
  EXPECT_EQ(old, ReadBytes(dir / "fake.psd"));
  EXPECT_EQ((std::vector<std::string>{"config", "fake.bmp", "fake.psd", "runtime"}), ListFolder(dir.path()));
}

TEST(ConsoleRun, ReplacesAReadOnlyOutput) {
  ScratchDir dir;
  const std::vector<uint8_t> rgb = WriteTestBmp(dir / "a.bmp", 3, 2);
  WriteBytes(dir / "a.psd", {'o', 'l', 'd'});
  chmod((dir / "a.psd").c_str(), 0444);
  const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp"}, dir);
  EXPECT_EQ("", run.out);
  ExpectPsdPixels(dir / "a.psd", 3, 2, rgb);
}

TEST(ConsoleRun, FullDiskIsAFailedSaveAndKeepsTheOldOutput) {
  ScratchDir dir;
  const std::string disk = dir / "disk";
  mkdir(disk.c_str(), 0700);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs mount here";
  // 200 x 200 x 4 bytes do not fit in 64 KiB.
  WriteTestBmp(dir / "big.bmp", 200, 200);
  WriteBytes(disk + "/big.psd", {'o', 'l', 'd'});
  const RunResult run = RunRavelin({"-q", "-i", dir / "big.bmp", "-o", disk}, dir);
  const std::vector<std::string> files = ListFolder(disk);
  const std::vector<uint8_t> kept = ReadBytes(disk + "/big.psd");
  umount(disk.c_str());
  EXPECT_EQ(std::vector<std::string>{"Conversion stopped"}, run.lines);
  EXPECT_EQ(std::vector<std::string>{"big.psd"}, files) << "the partial temporary file is removed";
  EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), kept);
}

TEST(ConsoleRun, SecondCopyEndsSilently) {
  ScratchDir dir;
  WriteTestBmp(dir / "a.bmp", 2, 2);
  mkdir((dir / "runtime").c_str(), 0700);
  const int fd = open((dir / "runtime/Veltrano BMP to PSD 2.6.lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(0, flock(fd, LOCK_EX | LOCK_NB));
  const RunResult run = RunRavelin({"-i", dir / "a.bmp"}, dir);
  close(fd);
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("", run.out);
  EXPECT_EQ(-1, access((dir / "a.psd").c_str(), F_OK));
}

TEST(ConsoleRun, MarksNeedTheirModuleAndPlainConversionsDoNot) {
  ScratchDir dir;
  WriteTestBmp(dir / "a.bmp", 4, 4);
  // A copy of the program without its marks module beside it.
  const std::string copy = dir / "ravelin";
  ASSERT_TRUE(WriteBytes(copy, ReadBytes(RavelinBinary())));
  chmod(copy.c_str(), 0755);
  const auto run = [&](std::vector<std::string> args) {
    std::string command = "cd / && XDG_CONFIG_HOME='" + dir / "config" + "' XDG_RUNTIME_DIR='" + dir.path() + "' '" + copy + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    std::string out;
    FILE* pipe = popen((command + " </dev/null 2>>'" + dir / "errors" + "'").c_str(), "r");
    char buffer[4096];
    size_t n;
    while (pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (pipe != nullptr) pclose(pipe);
    return out;
  };
  EXPECT_EQ("", run({"-q", "-i", dir / "a.bmp"}));
  EXPECT_EQ("Conversion stopped\n", run({"-q", "-i", dir / "a.bmp", "--fr-solid-left=1", "--filename-mask=f.%ext%"}));
  EXPECT_EQ("Error: Invalid watermark font\n", run({"-q", "-i", dir / "a.bmp", "--wm-text=x"}));
  EXPECT_EQ("Error: Invalid watermark image\n", run({"-q", "-i", dir / "a.bmp", "--wm-image=" + dir / "a.bmp"}));
  EXPECT_EQ(-1, access((dir / "f.psd").c_str(), F_OK));
  EXPECT_EQ(0, access((dir / "a.psd").c_str(), F_OK));
  // Standard error says which module and why, once a run: the plain run says nothing.
  const std::vector<uint8_t> bytes = ReadBytes(dir / "errors");
  const std::string errors(bytes.begin(), bytes.end());
  const std::string line = "Cannot load the frame and watermark module " + dir / "ravelin-marks.so" + ": ";
  size_t lines = 0;
  for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1)) ++lines;
  EXPECT_EQ(3u, lines) << errors;
  EXPECT_NE(std::string::npos, errors.find("No such file or directory")) << errors;
}

// Without a display every start that reaches the window mode prints one line and ends with 0.
TEST(ConsoleRun, WindowModeWithoutADisplaySaysSo) {
  ScratchDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"-U"}, std::vector<std::string>{"--width=5"}}) {
    const RunResult run = RunRavelin(args, dir);
    EXPECT_EQ(0, run.exitCode);
    ASSERT_EQ(1u, run.lines.size());
    EXPECT_NE(std::string::npos, run.lines[0].find("window mode"));
  }
}

}  // namespace
}  // namespace ravelin::test
