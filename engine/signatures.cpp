#include "engine/signatures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>

namespace ravelin {
namespace {

using namespace std::string_view_literals;

constexpr char kUnrecognized[] = "[ERROR] UNRECOGNIZED";
// Bytes read from the start of a file: enough for the farthest test of the table.
constexpr size_t kProbeBytes = 20;

// A signature: the bytes expected at offset 0 and, for some, a second run at `offset`.
// Inside the group of one first byte the last matching signature wins.
struct Signature {
  uint8_t first;
  const char* name;
  std::string_view start;
  size_t offset;
  std::string_view more;
};

const Signature kSignatures[] = {
    {0x00, "ICO", "\x00\x00\x01\x00"sv, 0, {}},
    {0x00, "MPEG", "\x00\x00\x01\xB3"sv, 0, {}},
    {0x00, "MPG/VOB", "\x00\x00\x01\xBA"sv, 0, {}},
    {0x1A, "MKV/MKA/WEBM", "\x1A\x45\xDF\xA3"sv, 0, {}},
    {0x1B, "LUAC", "\x1B\x4C\x75\x61"sv, 0, {}},
    {0x1F, "GZ", "\x1F\x8B"sv, 0, {}},
    {0x25, "PS", "%!PS"sv, 0, {}},
    {0x25, "PDF", "%PDF"sv, 4, "-"sv},
    {0x2A, "ACE", "**ACE**"sv, 0, {}},
    {0x2F, "XPM", "/* XPM */"sv, 0, {}},
    {0x30, "ASF/WMA/WMV", "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"sv, 0, {}},
    {0x31, "SRT", "1\n00"sv, 0, {}},
    {0x37, "7Z", "\x37\x7A\xBC\xAF\x27\x1C"sv, 0, {}},
    {0x38, "PSD", "8BPS"sv, 0, {}},
    {0x41, "FH8", "AGD3"sv, 0, {}},
    {0x41, "DJVU", "AT&TFORM"sv, 12, "DJV"sv},
    {0x42, "BLEND", "BLENDER"sv, 0, {}},
    {0x42, "BMP", "BM"sv, 0, {}},
    {0x42, "BPG", "\x42\x50\x47\xFB"sv, 0, {}},
    {0x42, "BZ2", "BZh"sv, 0, {}},
    {0x43, "SWF", "CWS"sv, 0, {}},
    {0x44, "DRC", "DRACO"sv, 0, {}},
    {0x46, "FLIF", "FLIF"sv, 0, {}},
    {0x46, "SWF", "FWS"sv, 0, {}},
    {0x46, "FLV", "FLV"sv, 0, {}},
    {0x47, "GIF87A", "GIF87a"sv, 0, {}},
    {0x47, "GIF89A", "GIF89a"sv, 0, {}},
    {0x49, "TIFF (LE)", "\x49\x49\x2A\x00"sv, 0, {}},
    {0x49, "CR2", "\x49\x49\x2A\x00\x10\x00\x00\x00"sv, 8, "CR"sv},
    {0x49, "CHM", "\x49\x54\x53\x46\x03\x00\x00\x00\x60\x00\x00\x00"sv, 0, {}},
    {0x49, "MP3/ID3V2", "ID3"sv, 0, {}},
    {0x49, "CAB (IS)", "ISc("sv, 0, {}},
    {0x4C, "LZ", "LZIP"sv, 0, {}},
    {0x4D, "MLV", "MLVI"sv, 0, {}},
    {0x4D, "TIFF (BE)", "\x4D\x4D\x00\x2A"sv, 0, {}},
    {0x4D, "CAB", "MSCF"sv, 0, {}},
    {0x4D, "MID/MIDI", "MThd"sv, 0, {}},
    {0x4D, "EXE/DLL (MZ/PE/NE)", "MZ"sv, 0, {}},
    {0x4E, "NUI", "NURUIMG"sv, 0, {}},
    {0x4E, "NUP", "NURUPAL"sv, 0, {}},
    {0x4F, "OGG/OGA/OGV", "OggS"sv, 0, {}},
    {0x50, "PBM", "P1\n"sv, 0, {}},
    {0x50, "PGM", "P2\n"sv, 0, {}},
    {0x50, "PPM", "P3\n"sv, 0, {}},
    {0x50, "ZIP", "\x50\x4B\x03\x04"sv, 0, {}},
    {0x50, "ZIP (E)", "\x50\x4B\x05\x06"sv, 0, {}},
    {0x50, "ZIP (S)", "\x50\x4B\x07\x08"sv, 0, {}},
    {0x52, "ANI", "RIFF"sv, 8, "ACON"sv},
    {0x52, "AVI", "RIFF"sv, 8, "AVI "sv},
    {0x52, "WAV", "RIFF"sv, 8, "WAVE"sv},
    {0x52, "WEBP", "RIFF"sv, 8, "WEBP"sv},
    {0x52, "RAR (1.5+)", "\x52\x61\x72\x21\x1A\x07\x00"sv, 0, {}},
    {0x52, "RAR (5.0+)", "\x52\x61\x72\x21\x1A\x07\x01\x00"sv, 0, {}},
    {0x53, "DPX (BE)", "SDPX"sv, 0, {}},
    {0x53, "SQLITE/DB", "SQLite format 3\x00"sv, 0, {}},
    {0x58, "DPX (LE)", "XPDS"sv, 0, {}},
    {0x5A, "EXE (ZM)", "ZM"sv, 0, {}},
    {0x60, "ARJ", "\x60\xEA"sv, 0, {}},
    {0x66, "FLAC", "fLaC"sv, 0, {}},
    {0x66, "3GP", "ftyp3g"sv, 0, {}},
    {0x67, "XCF", "gimp xcf"sv, 0, {}},
    {0x74, "TOX", "tox3"sv, 0, {}},
    {0x76, "EXR", "\x76\x2F\x31\x01"sv, 0, {}},
    {0x78, "XAR", "xar!"sv, 0, {}},
    {0x7B, "RTF", "{\\rtf1"sv, 0, {}},
    {0x80, "CIN", "\x80\x2A\x5F\xD7"sv, 0, {}},
    {0x89, "PNG", "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A"sv, 0, {}},
    {0xCA, "CLASS", "\xCA\xFE\xBA\xBE"sv, 0, {}},
    {0xCF, "LEP", "\xCF\x84\x01"sv, 0, {}},
    {0xD0, "DOC/XLS/PPT", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv, 0, {}},
    {0xD7, "WMF", "\xD7\xCD\xC6\x9A"sv, 0, {}},
    {0xFD, "XZ", "\xFD\x37\x7A\x58\x5A\x00"sv, 0, {}},
    {0xFF, "JPG", "\xFF\xD8\xFF\xDB"sv, 0, {}},
    {0xFF, "JPEG/JFIF", "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46\x00\x01"sv, 0, {}},
    {0xFF, "JPEG", "\xFF\xD8\xFF\xEE"sv, 0, {}},
    {0xFF, "JPEG/EXIF", "\xFF\xD8\xFF\xE1"sv, 6, "Exif\x00\x00"sv},
    {0xFF, "MP3", "\xFF\xF2"sv, 0, {}},
    {0xFF, "MP3", "\xFF\xF3"sv, 0, {}},
    {0xFF, "MP3", "\xFF\xFB"sv, 0, {}},
};

// A run of bytes that reaches beyond what was read does not hold.
bool Holds(std::string_view head, size_t offset, std::string_view expected) {
  return offset <= head.size() && head.size() - offset >= expected.size() &&
         head.substr(offset, expected.size()) == expected;
}

// Up to kProbeBytes from the start of a regular file; O_NONBLOCK keeps a FIFO from
// blocking the open, and anything but a regular file reads as nothing.
std::string ReadHead(const std::string& path) {
  std::string head;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return head;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    char buffer[kProbeBytes];
    size_t done = 0;
    while (done < sizeof buffer) {
      const ssize_t got = read(fd, buffer + done, sizeof buffer - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    head.assign(buffer, done);
  }
  close(fd);
  return head;
}

}  // namespace

std::string DetectFileFormat(const std::string& path) {
  const std::string head = ReadHead(path);
  const char* result = kUnrecognized;
  if (head.empty()) return result;
  const uint8_t first = static_cast<uint8_t>(head[0]);
  for (const Signature& signature : kSignatures) {
    if (signature.first != first) continue;
    if (Holds(head, 0, signature.start) && (signature.more.empty() || Holds(head, signature.offset, signature.more))) {
      result = signature.name;
    }
  }
  return result;
}

}  // namespace ravelin
