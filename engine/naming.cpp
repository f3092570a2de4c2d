#include "engine/naming.h"

#include <cstdio>
#include <ctime>

#include "platform/local_time.h"
#include "platform/product.h"
#include "platform/random.h"
#include "platform/text.h"

namespace ravelin {

const char* const kMaskTokens[kMaskTokenCount] = {
    "%filename%", "%filename[u]%", "%filename[l]%", "%filename[t]%", "%ext%",
    "%ext[u]%",   "%ext[t]%",      "%yyyy%",        "%mm%",          "%dd%",
    "%hh%",       "%ii%",          "%ss%",          "%bpp%",         "%width%",
    "%height%",   "%frame%",       "%rnd%",         "%n%"};

namespace {

// First character upper case, the rest lower case.
std::string TitleCase(const std::string& text) {
  if (text.empty()) return text;
  // The first character may be several bytes long in UTF-8.
  size_t first = 1;
  while (first < text.size() && (static_cast<unsigned char>(text[first]) & 0xC0) == 0x80) ++first;
  return ToUpperUnicode(text.substr(0, first)) + ToLowerUnicode(text.substr(first));
}

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

// Right-aligned in five characters filled with "0"; a longer number keeps its first five.
std::string FiveDigits(int value) {
  std::string digits = std::to_string(value);
  if (digits.size() > 5) return digits.substr(0, 5);
  return std::string(5 - digits.size(), '0') + digits;
}

// The file-name part of the input (after the last "/" or "\") without its extension.
std::string BaseName(const JobContext& job) {
  const size_t separator = job.InputPath.find_last_of("/\\");
  const std::string name =
      separator == std::string::npos ? job.InputPath : job.InputPath.substr(separator + 1);
  return StripExtension(name);
}

}  // namespace

std::string MaskTokenValue(size_t order, const JobContext& job) {
  switch (order) {
    case 0: return BaseName(job);
    case 1: return ToUpperUnicode(BaseName(job));
    case 2: return ToLowerUnicode(BaseName(job));
    case 3: return TitleCase(BaseName(job));
    case 4: return job.OutputExt;
    case 5: return ToUpperUnicode(job.OutputExt);
    case 6: return TitleCase(job.OutputExt);
    case 7: return std::to_string(LocalTimeNow().tm_year + 1900);
    case 8: return TwoDigits(LocalTimeNow().tm_mon + 1);
    case 9: return TwoDigits(LocalTimeNow().tm_mday);
    case 10: return TwoDigits(LocalTimeNow().tm_hour);
    case 11: return TwoDigits(LocalTimeNow().tm_min);
    case 12: return TwoDigits(LocalTimeNow().tm_sec);
    case 13: return std::to_string(job.TargetBpp);
    case 14: return std::to_string(job.MaskWidth);
    case 15: return std::to_string(job.MaskHeight);
    case 16: return std::to_string(job.MaskFrame);
    case 17: return FiveDigits(job.RandomValue);
    case 18: return FiveDigits(job.Counter);
    default: return std::string();
  }
}

std::string ExpandMask(const Settings& settings, const JobContext& job) {
  std::string name = ToLowerUnicode(settings.FilenameMask);
  if (name.empty()) name = "%filename%.%ext%";
  for (size_t order = 0; order < kMaskTokenCount; ++order) {
    const std::string token = kMaskTokens[order];
    if (ToLowerAscii(name).find(token) == std::string::npos) continue;
    name = ReplaceAllIgnoreCase(name, token, MaskTokenValue(order, job));
  }
  return name;
}

namespace {
std::string OutputFolderOf(const Settings& settings, const JobContext& job) {
  return settings.KeepSubfolders ? job.OutputFolder + job.SubFolder : job.OutputFolder;
}
}  // namespace

std::string BuildOutputPath(const Settings& settings, const JobContext& job) {
  return OutputFolderOf(settings, job) + ExpandMask(settings, job);
}

std::string BuildTempPath(const Settings& settings, const JobContext& job) {
  std::string letters = kProgramWord;
  for (char digit : std::to_string(LocalDateNow())) {
    letters += digit == '-' ? 'z' : static_cast<char>('a' + (digit - '0'));
  }
  for (int i = 0; i < 5; ++i) letters += static_cast<char>('a' + RandomInt(0, 25));
  return OutputFolderOf(settings, job) + letters + "." + job.OutputExt;
}

std::string StripExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (name.empty() || dot == std::string::npos || dot == 0) return name;
  if (name.find_first_of(" /\\", dot + 1) != std::string::npos) return name;
  return name.substr(0, dot);
}

}  // namespace ravelin
