#include "engine/signatures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using namespace std::string_view_literals;

constexpr char kUnrecognized[] = "[ERROR] UNRECOGNIZED";

// The shortest start of a file of each format: every byte of it is needed for the match.
struct Case {
  const char* name;
  std::string_view bytes;
};

const Case kCases[] = {
    {"ICO", "\x00\x00\x01\x00"sv},
    {"MPEG", "\x00\x00\x01\xB3"sv},
    {"MPG/VOB", "\x00\x00\x01\xBA"sv},
    {"MKV/MKA/WEBM", "\x1A\x45\xDF\xA3"sv},
    {"LUAC", "\x1BLua"sv},
    {"GZ", "\x1F\x8B"sv},
    {"PS", "%!PS"sv},
    {"PDF", "%PDF-"sv},
    {"ACE", "**ACE**"sv},
    {"XPM", "/* XPM */"sv},
    {"ASF/WMA/WMV", "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"sv},
    {"SRT", "1\n00"sv},
    {"7Z", "7z\xBC\xAF\x27\x1C"sv},
    {"PSD", "8BPS"sv},
    {"FH8", "AGD3"sv},
    {"DJVU", "AT&TFORM\x00\x00\x10\x00""DJV"sv},
    {"BLEND", "BLENDER"sv},
    {"BMP", "BM"sv},
    {"BPG", "BPG\xFB"sv},
    {"BZ2", "BZh"sv},
    {"SWF", "CWS"sv},
    {"DRC", "DRACO"sv},
    {"FLIF", "FLIF"sv},
    {"SWF", "FWS"sv},
    {"FLV", "FLV"sv},
    {"GIF87A", "GIF87a"sv},
    {"GIF89A", "GIF89a"sv},
    {"TIFF (LE)", "II*\x00"sv},
    {"CR2", "II*\x00\x10\x00\x00\x00""CR"sv},
    {"CHM", "ITSF\x03\x00\x00\x00\x60\x00\x00\x00"sv},
    {"MP3/ID3V2", "ID3"sv},
    {"CAB (IS)", "ISc("sv},
    {"LZ", "LZIP"sv},
    {"MLV", "MLVI"sv},
    {"TIFF (BE)", "MM\x00*"sv},
    {"CAB", "MSCF"sv},
    {"MID/MIDI", "MThd"sv},
    {"EXE/DLL (MZ/PE/NE)", "MZ"sv},
    {"NUI", "NURUIMG"sv},
    {"NUP", "NURUPAL"sv},
    {"OGG/OGA/OGV", "OggS"sv},
    {"PBM", "P1\n"sv},
    {"PGM", "P2\n"sv},
    {"PPM", "P3\n"sv},
    {"ZIP", "PK\x03\x04"sv},
    {"ZIP (E)", "PK\x05\x06"sv},
    {"ZIP (S)", "PK\x07\x08"sv},
    {"ANI", "RIFF\x24\x00\x00\x00""ACON"sv},
    {"AVI", "RIFF\x24\x00\x00\x00""AVI "sv},
    {"WAV", "RIFF\x24\x00\x00\x00""WAVE"sv},
    {"WEBP", "RIFF\x24\x00\x00\x00""WEBP"sv},
    {"RAR (1.5+)", "Rar!\x1A\x07\x00"sv},
    {"RAR (5.0+)", "Rar!\x1A\x07\x01\x00"sv},
    {"DPX (BE)", "SDPX"sv},
    {"SQLITE/DB", "SQLite format 3\x00"sv},
    {"DPX (LE)", "XPDS"sv},
    {"EXE (ZM)", "ZM"sv},
    {"ARJ", "\x60\xEA"sv},
    {"FLAC", "fLaC"sv},
    {"3GP", "ftyp3g"sv},
    {"XCF", "gimp xcf"sv},
    {"TOX", "tox3"sv},
    {"EXR", "v/1\x01"sv},
    {"XAR", "xar!"sv},
    {"RTF", "{\\rtf1"sv},
    {"CIN", "\x80\x2A\x5F\xD7"sv},
    {"PNG", "\x89PNG\r\n\x1A\n"sv},
    {"CLASS", "\xCA\xFE\xBA\xBE"sv},
    {"LEP", "\xCF\x84\x01"sv},
    {"DOC/XLS/PPT", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv},
    {"WMF", "\xD7\xCD\xC6\x9A"sv},
    {"XZ", "\xFD""7zXZ\x00"sv},
    {"JPG", "\xFF\xD8\xFF\xDB"sv},
    {"JPEG/JFIF", "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01"sv},
    {"JPEG", "\xFF\xD8\xFF\xEE"sv},
    {"JPEG/EXIF", "\xFF\xD8\xFF\xE1\x12\x34""Exif\x00\x00"sv},
    {"MP3", "\xFF\xF2"sv},
    {"MP3", "\xFF\xF3"sv},
    {"MP3", "\xFF\xFB"sv},
};

class Signatures : public ::testing::Test {
 protected:
  std::string Detect(std::string_view bytes) {
    const std::string path = dir_ / "file.bin";
    EXPECT_TRUE(test::WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end())));
    return DetectFileFormat(path);
  }
  test::ScratchDir dir_;
};

TEST_F(Signatures, EveryRowIsRecognisedAndNeedsAllItsBytes) {
  EXPECT_EQ(79u, std::size(kCases));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.name, Detect(c.bytes));
    EXPECT_EQ(c.name, Detect(std::string(c.bytes) + std::string(100, '\x7F'))) << "trailing bytes do not matter";
    // A test that reaches past the end of a shorter file does not hold.
    for (size_t n = 0; n < c.bytes.size(); ++n) EXPECT_NE(c.name, Detect(c.bytes.substr(0, n))) << n << " bytes";
  }
}

TEST_F(Signatures, EdgeCases) {
  struct Edge { const char* why; std::string_view bytes; const char* expected; };
  const Edge kEdges[] = {
      {"one byte B", "B"sv, kUnrecognized},
      {"empty file", ""sv, kUnrecognized},
      {"a little-endian TIFF that is no CR2", "II*\x00\x08\x00\x00\x00\x43\x52"sv, "TIFF (LE)"},
      {"CR2 needs its CR", "II*\x00\x10\x00\x00\x00\x43\x53"sv, "TIFF (LE)"},
      {"RIFF of another kind", "RIFF\x24\x00\x00\x00RMID"sv, kUnrecognized},
      {"RAR followed by other bytes", "Rar!\x1A\x07\x02\x00"sv, kUnrecognized},
      {"raw netpbm P4", "P4\n1 1\n"sv, kUnrecognized},
      {"raw netpbm P5", "P5\n1 1\n"sv, kUnrecognized},
      {"raw netpbm P6", "P6\n1 1\n"sv, kUnrecognized},
      {"plain netpbm without a direct line feed", "P1 1 1\n"sv, kUnrecognized},
      {"plain netpbm with CR LF", "P3\r\n"sv, kUnrecognized},
      {"PDF without its hyphen", "%PDF 1.4"sv, kUnrecognized},
      {"JPEG with APP1 but no Exif", "\xFF\xD8\xFF\xE1\x00\x10XMP\x00\x00\x00"sv, kUnrecognized},
      {"text", "hello world"sv, kUnrecognized},
  };
  for (const Edge& e : kEdges) {
    SCOPED_TRACE(e.why);
    EXPECT_EQ(e.expected, Detect(e.bytes));
  }
}

TEST_F(Signatures, NamesRealPicturesWhateverTheirExtension) {
  FIBITMAP* picture = FreeImage_Allocate(3, 2, 24);
  ASSERT_NE(nullptr, picture);
  ASSERT_TRUE(FreeImage_Save(FIF_BMP, picture, (dir_ / "photo.bmp").c_str(), 0));
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, picture, (dir_ / "png.bmp").c_str(), 0));
  FreeImage_Unload(picture);
  EXPECT_EQ("BMP", DetectFileFormat(dir_ / "photo.bmp"));
  EXPECT_EQ("PNG", DetectFileFormat(dir_ / "png.bmp"));
}

TEST_F(Signatures, UnreadablePathsAreUnrecognised) {
  EXPECT_EQ(kUnrecognized, DetectFileFormat(dir_ / "missing.bmp"));
  EXPECT_EQ(kUnrecognized, DetectFileFormat(dir_.path()));
  EXPECT_EQ(kUnrecognized, DetectFileFormat(""));
  ASSERT_EQ(0, mkfifo((dir_ / "fifo").c_str(), 0600));
  EXPECT_EQ(kUnrecognized, DetectFileFormat(dir_ / "fifo")) << "a FIFO without a writer must not block";
}

}  // namespace
}  // namespace ravelin
