#include "settings/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/files.h"
#include "platform/text.h"

namespace ravelin {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i + k]);
      if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

// Reads a whole regular file of at most kMaxIniFileBytes. O_NONBLOCK keeps a FIFO from
// blocking the open; it is then refused as not regular.
bool ReadWholeFile(const std::string& path, std::string* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxIniFileBytes;
  if (ok) {
    bytes->assign(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    // Read until the end even if the file changed size meanwhile, but never past the cap.
    while (ok) {
      if (done == bytes->size()) {
        if (bytes->size() > static_cast<size_t>(kMaxIniFileBytes)) { ok = false; break; }
        bytes->resize(bytes->size() + 4096);
      }
      const ssize_t got = read(fd, &(*bytes)[done], bytes->size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) ok = false;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    bytes->resize(done);
    if (done > static_cast<size_t>(kMaxIniFileBytes)) ok = false;
  }
  close(fd);
  if (!ok) bytes->clear();
  return ok;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

// ---- Reading ----------------------------------------------------------------------------

bool IniFile::Load(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    Parse(std::string_view());
    return false;
  }
  Parse(bytes);
  return true;
}

void IniFile::Parse(std::string_view bytes) {
  // Offsets are 32-bit; what Load would refuse is not parsed either.
  if (bytes.size() > static_cast<size_t>(kMaxIniFileBytes)) bytes = std::string_view();
  if (StartsWith(bytes, kByteOrderMark)) {
    text_.assign(bytes.substr(kByteOrderMark.size()));
  } else if (IsValidUtf8(bytes)) {
    // Editors here write UTF-8 without a mark; ASCII reads the same either way.
    text_.assign(bytes);
  } else {
    text_ = Latin1ToUtf8(bytes);
  }
  entries_.clear();
  groups_.clear();
  auto span = [](size_t begin, size_t end) {
    return Span{static_cast<uint32_t>(begin), static_cast<uint32_t>(end - begin)};
  };

  const size_t size = text_.size();
  size_t pos = 0;
  while (pos < size) {
    size_t end = pos;
    while (end < size && text_[end] != '\r' && text_[end] != '\n') ++end;
    size_t begin = pos;
    pos = end + 1;
    while (begin < end && IsBlankOrTab(text_[begin])) ++begin;
    if (begin == end || text_[begin] == ';') continue;

    if (text_[begin] == '[') {
      size_t close = begin + 1;
      while (close < end && text_[close] != ']') ++close;
      const uint32_t first = static_cast<uint32_t>(entries_.size());
      groups_.push_back(GroupRange{span(begin + 1, close), first, first});
      continue;
    }
    // Lines before the first header belong to no group and cannot be looked up.
    if (groups_.empty()) continue;

    size_t equals = begin;
    while (equals < end && text_[equals] != '=') ++equals;
    size_t keyEnd = equals;
    while (keyEnd > begin && IsBlankOrTab(text_[keyEnd - 1])) --keyEnd;
    size_t valueBegin = equals < end ? equals + 1 : end;
    while (valueBegin < end && IsBlankOrTab(text_[valueBegin])) ++valueBegin;
    entries_.push_back(Entry{span(begin, keyEnd), span(valueBegin, end)});
    groups_.back().endEntry = static_cast<uint32_t>(entries_.size());
  }
}

IniGroup IniFile::Group(std::string_view name) const {
  IniGroup group;
  for (const GroupRange& range : groups_) {
    if (EqualsIgnoreAsciiCase(View(range.name), name)) {
      group.file_ = this;
      group.begin_ = range.firstEntry;
      group.end_ = range.endEntry;
      break;
    }
  }
  return group;
}

std::string_view IniGroup::key(size_t i) const { return file_->View(file_->entries_[begin_ + i].key); }

std::string_view IniGroup::value(size_t i) const { return file_->View(file_->entries_[begin_ + i].value); }

bool IniGroup::Find(std::string_view wanted, std::string_view* found) const {
  for (size_t i = 0; i < size(); ++i) {
    if (EqualsIgnoreAsciiCase(key(i), wanted)) {
      *found = value(i);
      return true;
    }
  }
  return false;
}

int32_t IniGroup::ReadInteger(std::string_view key, int32_t fallback) const {
  std::string_view text;
  return Find(key, &text) ? ParseDecimalInteger(text) : fallback;
}

float IniGroup::ReadReal(std::string_view key, float fallback) const {
  std::string_view text;
  return Find(key, &text) ? ParseReal(text) : fallback;
}

std::string IniGroup::ReadText(std::string_view key, const std::string& fallback) const {
  std::string_view text;
  return Find(key, &text) ? TrimBlanksAndTabs(text) : fallback;
}

// ---- Values -----------------------------------------------------------------------------

int32_t ParseDecimalInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Unsigned arithmetic wraps, which keeps exactly the low 32 bits of a long number.
  uint32_t value = 0;
  while (i < text.size() && IsDigit(text[i])) value = value * 10u + static_cast<uint32_t>(text[i++] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

float ParseReal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  const std::string word = TrimBlanksAndTabs(text.substr(i));
  if (EqualsIgnoreAsciiCase(word, "+Infinity")) return std::numeric_limits<float>::infinity();
  if (EqualsIgnoreAsciiCase(word, "-Infinity")) return -std::numeric_limits<float>::infinity();
  if (EqualsIgnoreAsciiCase(word, "NaN")) return std::numeric_limits<float>::quiet_NaN();

  // Find the extent of [sign] digits [. digits] [e [sign] digits] by hand, so that words
  // such as "inf" and hexadecimal forms are not taken as numbers.
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  size_t integerDigits = 0;  // significant digits before the point
  size_t fractionZeros = 0;  // zeros after the point before the first significant digit
  bool anyDigit = false, nonZero = false;
  while (i < text.size() && IsDigit(text[i])) {
    anyDigit = true;
    if (text[i] != '0' || nonZero) { nonZero = true; ++integerDigits; }
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      anyDigit = true;
      if (text[i] != '0') nonZero = true;
      if (!nonZero) ++fractionZeros;
      ++i;
    }
  }
  if (!anyDigit) return 0.0f;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) {
        if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
        ++j;
      }
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }
  float value = 0.0f;
  const char* first = text.data() + start;
  const auto result = std::from_chars(first, text.data() + i, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Decimal magnitude of the first significant digit decides overflow or underflow.
    const long magnitude = integerDigits > 0 ? static_cast<long>(integerDigits) - 1
                                             : -static_cast<long>(fractionZeros) - 1;
    value = nonZero && magnitude + exponent > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
  } else if (result.ec != std::errc()) {
    value = 0.0f;
  }
  return negative ? -value : value;
}

std::string FormatReal(float value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

// ---- Writing ----------------------------------------------------------------------------

IniWriter::IniWriter() : bytes_(kByteOrderMark) {}

void IniWriter::Line(std::string_view text) {
  bytes_.append(text);
  bytes_.append("\r\n");
}

void IniWriter::EmptyLine() { Line({}); }

void IniWriter::Header(std::string_view group) {
  bytes_.push_back('[');
  bytes_.append(group);
  Line("]");
}

void IniWriter::Key(std::string_view key, std::string_view value) {
  bytes_.append(key);
  bytes_.append(" = ");
  // A line break inside a value would end the line and turn the rest into stray lines
  // (even a header); each run of CR and LF is written as one blank instead.
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\r' && value[i] != '\n') {
      bytes_.push_back(value[i]);
      continue;
    }
    while (i + 1 < value.size() && (value[i + 1] == '\r' || value[i + 1] == '\n')) ++i;
    bytes_.push_back(' ');
  }
  Line({});
}

void IniWriter::Comment(std::string_view text) {
  bytes_.append("; ");
  Line(text);
}

bool IniWriter::Save(const std::string& path) const {
  if (path.empty()) return false;
  // Replace the file a symbolic link points at, not the link.
  std::string target = path;
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  std::string pattern = FolderPart(target) + "." + FileNamePart(target) + ".XXXXXX";
  const int fd = mkstemp(&pattern[0]);
  if (fd < 0) return false;
  // An existing file keeps its permissions; a new one stays private to the user.
  struct stat old;
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
  bool ok = WriteAll(fd, bytes_) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(pattern.c_str(), target.c_str()) == 0;
  if (!ok) unlink(pattern.c_str());
  return ok;
}

}  // namespace ravelin
