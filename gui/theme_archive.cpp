#include "gui/theme_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "platform/files.h"

namespace ravelin {
namespace {

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

// Opens a ZIP archive for reading; null when the file cannot be a theme archive.
ArchivePtr OpenZip(const std::string& path) {
  const int64_t size = FileSize(path);
  if (size <= 0 || size > kMaxThemeArchiveBytes) return nullptr;
  ArchivePtr a(archive_read_new());
  if (!a) return nullptr;
  // ZIP only: the seekable reader takes names and sizes from the central directory.
  archive_read_support_format_zip(a.get());
  if (archive_read_open_filename(a.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK) return nullptr;
  return a;
}

// The next regular entry's name, or false at the end, after a damaged header or past the
// entry limit. Directories and links are passed over but count towards the limit.
bool NextFile(archive* a, int maxEntries, int* seen, archive_entry** entry, std::string* name) {
  while (*seen < maxEntries) {
    const int status = archive_read_next_header(a, entry);
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) return false;
    ++*seen;
    if (archive_entry_filetype(*entry) != AE_IFREG) continue;
    const char* text = archive_entry_pathname_utf8(*entry);
    if (text == nullptr) text = archive_entry_pathname(*entry);
    if (text == nullptr) continue;
    *name = text;
    return true;
  }
  return false;
}

// Not a ZIP archive at all: the reader failed on the very first header (an archive without
// entries ends cleanly instead).
bool NotZip(archive* a, int seen) { return seen == 0 && archive_errno(a) != 0; }

}  // namespace

bool ListThemeArchive(const std::string& path, int64_t maxEntryBytes, int maxEntries,
                      ThemeEntries* entries) {
  entries->clear();
  ArchivePtr a = OpenZip(path);
  if (!a) return false;
  archive_entry* entry = nullptr;
  std::string name;
  int seen = 0;
  while (NextFile(a.get(), maxEntries, &seen, &entry, &name)) {
    if (!archive_entry_size_is_set(entry)) continue;
    const int64_t size = archive_entry_size(entry);
    if (size > 0 && size <= maxEntryBytes) entries->emplace(name, size);
  }
  return !NotZip(a.get(), seen);
}

bool ReadThemeEntries(const std::string& path, const std::set<std::string>& names,
                      int64_t maxBytes, bool truncate, int maxEntries,
                      const std::function<void(const std::string& name, const std::string& bytes)>& visit) {
  ArchivePtr a = OpenZip(path);
  if (!a) return false;
  std::set<std::string> wanted = names;
  archive_entry* entry = nullptr;
  std::string name;
  int seen = 0;
  while (!wanted.empty() && NextFile(a.get(), maxEntries, &seen, &entry, &name)) {
    if (wanted.erase(name) == 0) continue;
    // A claimed size beyond the bound is not even started on (the data may still be shorter).
    if (!truncate && archive_entry_size_is_set(entry) && archive_entry_size(entry) > maxBytes) {
      continue;
    }
    std::string bytes;
    char chunk[16 * 1024];
    bool failed = false;
    for (;;) {
      const la_ssize_t got = archive_read_data(a.get(), chunk, sizeof chunk);
      if (got < 0) {
        failed = true;
        break;
      }
      if (got == 0) break;
      const int64_t room = maxBytes - static_cast<int64_t>(bytes.size());
      if (got > room) {
        bytes.append(chunk, static_cast<size_t>(room));
        failed = !truncate;
        break;
      }
      bytes.append(chunk, static_cast<size_t>(got));
    }
    if (!failed) visit(name, bytes);
  }
  return !NotZip(a.get(), seen);
}

}  // namespace ravelin
