#include "gui/recent_folders.h"

#include <zlib.h>

#include "platform/text.h"

namespace ravelin {

namespace {

uLong UpperChecksum(const std::string& text) {
  const std::string upper = ToUpperUnicode(text);
  return crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(upper.data()),
               static_cast<uInt>(upper.size()));
}

}  // namespace

bool SameRecentFolder(const std::string& a, const std::string& b) {
  return UpperChecksum(a) == UpperChecksum(b);
}

std::string RecentOutFolderAt(const Settings& settings, int index) {
  if (index < 0) return std::string();
  const std::string& all = settings.RecentOutFolders;
  size_t start = 0;
  for (int i = 0; i < index; ++i) {
    const size_t tab = all.find('\t', start);
    if (tab == std::string::npos) return std::string();
    start = tab + 1;
  }
  const size_t end = all.find('\t', start);
  return TrimSpaces(all.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

bool AddRecentOutFolder(Settings& settings, const std::string& folder) {
  if (folder.empty()) return false;
  const int limit = settings.OutFoldersNumber;
  std::string list = folder;
  int count = 1;
  for (int i = 0; i < limit; ++i) {
    const std::string entry = RecentOutFolderAt(settings, i);
    if (entry.empty() || count >= limit || SameRecentFolder(entry, folder)) continue;
    list += "\t" + entry;
    ++count;
  }
  settings.RecentOutFolders = list;
  return true;
}

}  // namespace ravelin
