// Bounded reading of a theme archive with libarchive: the list of its entries and the bytes
// of the entries asked for, all in memory, nothing ever written to disk (so an entry named
// "../x" is only a name). Used by the icon themes; knows nothing of pictures or Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

namespace ravelin {

// An archive file larger than this is not read at all: its central directory alone could take
// more memory than any theme needs.
inline constexpr int64_t kMaxThemeArchiveBytes = 64 * 1024 * 1024;

// Entry name (as stored, compared exactly) to unpacked size.
using ThemeEntries = std::map<std::string, int64_t>;

// Lists the regular entries of the ZIP archive at `path` whose size is greater than 0 and at
// most `maxEntryBytes`, looking at no more than `maxEntries` entries (the first name of a
// repeated one counts). False when the file is missing, empty, too large or not a ZIP archive.
bool ListThemeArchive(const std::string& path, int64_t maxEntryBytes, int maxEntries,
                      ThemeEntries* entries);

// Unpacks, in one pass, the first entry of each of `names` and hands its bytes to `visit`.
// An entry that unpacks to more than `maxBytes` is skipped, or, with `truncate`, handed over
// cut to its first `maxBytes` bytes. An entry that fails to unpack is skipped. False when the
// archive cannot be opened.
bool ReadThemeEntries(const std::string& path, const std::set<std::string>& names,
                      int64_t maxBytes, bool truncate, int maxEntries,
                      const std::function<void(const std::string& name, const std::string& bytes)>& visit);

}  // namespace ravelin
