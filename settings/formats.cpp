#include "settings/formats.h"

#include <array>
#include <cstddef>
#include <utility>

#include "i18n/language_table.h"
#include "platform/text.h"

namespace ravelin {
namespace {

// A map of texts in kFormatBuckets buckets. A new key goes to the front of its bucket, and a
// walk visits the buckets in ascending order, each from front to back: that order is what
// the accepted list and the dialog filter show, so it must not depend on a library's map.
template <typename Value>
class FormatMap {
 public:
  FormatMap() : buckets_(kFormatBuckets) {}

  void Clear() {
    for (auto& bucket : buckets_) bucket.clear();
  }

  const Value* Find(std::string_view key) const {
    for (const auto& item : buckets_[FormatBucket(key)]) {
      if (item.first == key) return &item.second;
    }
    return nullptr;
  }

  Value* Find(std::string_view key) {
    for (auto& item : buckets_[FormatBucket(key)]) {
      if (item.first == key) return &item.second;
    }
    return nullptr;
  }

  // Replaces the value of a known key in place; a new key goes to the front of its bucket.
  void Set(std::string_view key, Value value) {
    if (Value* known = Find(key)) {
      *known = std::move(value);
      return;
    }
    auto& bucket = buckets_[FormatBucket(key)];
    bucket.insert(bucket.begin(), {std::string(key), std::move(value)});
  }

  template <typename Visit>
  void Walk(Visit visit) const {
    for (const auto& bucket : buckets_) {
      for (const auto& item : bucket) visit(item.first, item.second);
    }
  }

 private:
  std::vector<std::vector<std::pair<std::string, Value>>> buckets_;
};

struct InputFormat {
  std::string family;
  std::string description;
};

// A family's first row names it and gives its description; members with a null
// description take the family's.
struct InputRow {
  const char* ext;
  const char* family;
  const char* description;
};

constexpr InputRow kInputRows[] = {
    {"bmp", "bmp", "Windows or OS/2 Bitmap"},
    {"rle", "bmp", nullptr},
    {"dib", "bmp", nullptr},
    {"dds", "dds", "DirectDraw Surface File"},
    {"emf", "emf", "Enhanced Metafile Format"},
    {"emz", "emf", nullptr},
    {"gif", "gif", "GIF File"},
    {"hdr", "hdr", "High Dynamic Range File"},
    {"hdri", "hdr", nullptr},
    {"ico", "ico", "Windows Icon"},
    {"jpg", "jpg", "JPEG File"},
    {"jpeg", "jpg", nullptr},
    {"jpe", "jpg", nullptr},
    {"jif", "jpg", nullptr},
    {"pcd", "pcd", "Kodak PhotoCD File"},
    {"pcd1", "pcd", nullptr},
    {"pcds", "pcd", nullptr},
    {"ppcd", "pcd", nullptr},
    {"pcx", "pcx", "ZSoft Paintbrush File"},
    {"pic", "pic", "Macintosh PICT"},
    {"pict", "pic", nullptr},
    {"pct", "pic", nullptr},
    {"png", "png", "Portable Network Graphics"},
    {"psd", "psd", "Adobe Photoshop File"},
    {"tga", "tga", "Truevision Targa"},
    {"targa", "tga", nullptr},
    {"tiff", "tiff", "Tagged Image File Format"},
    {"tif", "tiff", nullptr},
    {"wmf", "wmf", "Windows Metafile Format"},
    {"wmz", "wmf", nullptr},
    {"apm", "wmf", "Aldus Placeable Metafile"},
    {"raw", "raw", "Camera RAW Image"},
    {"raw1", "raw", nullptr},
    {"raw2", "raw", nullptr},
    {"3fr", "raw", "Hasselblad Camera RAW Image"},
    {"arw", "raw", "Sony Camera RAW Image"},
    {"sr2", "raw", "Sony Camera RAW Image"},
    {"srf", "raw", "Sony Camera RAW Image"},
    {"bay", "raw", "Casio Camera RAW Image"},
    {"bmq", "raw", "NuCore RAW Image"},
    {"cap", "raw", "Phase One Camera RAW Image"},
    {"iiq", "raw", "Phase One Camera RAW Image"},
    {"eip", "raw", "Phase One Camera RAW Image"},
    {"cine", "raw", "Phantom RAW Image"},
    {"cr2", "raw", "Canon Camera RAW Image"},
    {"crw", "raw", "Canon Camera RAW Image"},
    {"cs1", "raw", "Capture Shop RAW Image"},
    {"dc2", "raw", "Kodak Camera RAW Image"},
    {"dcr", "raw", "Kodak Camera RAW Image"},
    {"drf", "raw", "Kodak Camera RAW Image"},
    {"dsc", "raw", "Kodak Camera RAW Image"},
    {"k25", "raw", "Kodak Camera RAW Image"},
    {"kc2", "raw", "Kodak Camera RAW Image"},
    {"kdc", "raw", "Kodak Camera RAW Image"},
    {"dcs", "raw", "Kodak Camera RAW Image"},
    {"dng", "raw", "Adobe Digital Negative Image"},
    {"erf", "raw", "Epson Camera RAW Image"},
    {"fff", "raw", "Imacon Camera RAW Image"},
    {"ia", "raw", "Sinar RAW Image"},
    {"sti", "raw", "Sinar RAW Image"},
    {"mdc", "raw", "Minolta Camera RAW Image"},
    {"mrw", "raw", "Minolta Camera RAW Image"},
    {"mef", "raw", "Mamiya Camera RAW Image"},
    {"mos", "raw", "Mamiya Camera RAW Image"},
    {"nef", "raw", "Nikon Camera RAW Image"},
    {"nrw", "raw", "Nikon Camera RAW Image"},
    {"orf", "raw", "Olympus Camera RAW Image"},
    {"pef", "raw", "Pentax Camera RAW Image"},
    {"ptx", "raw", "Pentax Camera RAW Image"},
    {"pxn", "raw", "Logitech Camera RAW Image"},
    {"qtk", "raw", "Apple Quicktake Camera RAW Image"},
    {"raf", "raw", "Fuji Camera RAW Image"},
    {"rdc", "raw", "Digital Foto Maker RAW Image"},
    {"rw2", "raw", "Panasonic Camera RAW Image"},
    {"rwz", "raw", "Rawzor Camera RAW Image"},
    {"x3f", "raw", "Sigma Camera RAW Image"},
    {"ari", "raw", "ARRI RAW Image"},
    {"r3d", "raw", "RED RAW Image"},
    {"rwl", "raw", "Leica Camera RAW Image"},
};

struct OutputRow {
  const char* ext;
  const char* description;
  const char* bpp;  // ascending, comma-separated
};

constexpr OutputRow kOutputRows[] = {
    {"bmp", "Windows or OS/2 Bitmap", "1,4,8,16,24,32"},
    {"exr", "ILM OpenEXR", "96"},
    {"gif", "Graphics Interchange Format", "8"},
    {"hdr", "High Dynamic Range Image", "96"},
    {"ico", "Windows Icon", "1,4,8,16,24,32"},
    {"j2k", "JPEG-2000 Codestream", "8,24,32,48"},
    {"jng", "JPEG Network Graphics", "24,32"},
    {"jp2", "JPEG-2000 File Format", "8,24,32,48"},
    {"jpg", "JPEG File Format", "8,24"},
    {"jxr", "JPEG XR Image Format", "1,8,16,24,32,48,96"},
    {"pbm", "Portable Bitmap", "1"},
    {"pfm", "Portable Floatmap", "96"},
    {"pgm", "Portable Greymap", "8"},
    {"png", "Portable Network Graphics", "1,4,8,24,32,48"},
    {"ppm", "Portable Pixelmap", "24,48"},
    {"tga", "Truevision Targa", "8,16,24,32"},
    {"tiff", "Tagged Image File Format", "1,4,8,24,32,48,96"},
    {"wbmp", "Wireless Bitmap", "1"},
    {"webp", "Google WebP Image Format", "24,32"},
    {"xpm", "X11 Pixmap Format", "24"},
    {"psd", "Adobe Photoshop", "32"},
    {"dds", "DirectDraw Surface", "32"},
    {"pcx", "ZSoft Paintbrush", "24"},
};

struct FormatState {
  FormatMap<InputFormat> input;
  std::vector<std::string> accepted;
};

FormatState& State() {
  static FormatState state;
  return state;
}

const OutputRow* FindOutput(std::string_view ext) {
  for (const OutputRow& row : kOutputRows) {
    if (ext == row.ext) return &row;
  }
  return nullptr;
}

// The table's hash over the UTF-16 code units of the text.
uint32_t HashUtf16(std::string_view text) {
  uint32_t h = 0;
  for (char16_t unit : Utf8ToUtf16(text)) h = h * 65599u + unit;
  return h;
}

bool Contains(const std::vector<std::string>& list, std::string_view text) {
  for (const std::string& item : list) {
    if (item == text) return true;
  }
  return false;
}

}  // namespace

const std::vector<std::string>& ActiveInputExtensions() {
  static const std::vector<std::string> list = {"bmp"};
  return list;
}

const std::vector<std::string>& ActiveOutputExtensions() {
  static const std::vector<std::string> list = {"psd"};
  return list;
}

uint32_t FormatBucket(std::string_view text) { return HashUtf16(text) % kFormatBuckets; }

void BuildFormatTables() {
  FormatState& state = State();
  state.input.Clear();
  const char* familyDescription = "";
  for (const InputRow& row : kInputRows) {
    if (std::string_view(row.ext) == row.family) familyDescription = row.description;
    state.input.Set(row.ext, InputFormat{row.family,
                                         row.description ? row.description : familyDescription});
  }
  RebuildAcceptedInputExtensions();
}

void RebuildAcceptedInputExtensions() {
  FormatState& state = State();
  state.accepted.clear();
  const std::vector<std::string>& active = ActiveInputExtensions();
  state.input.Walk([&](const std::string& ext, const InputFormat& format) {
    if (Contains(active, format.family)) state.accepted.push_back(ext);
  });
}

const std::vector<std::string>& AcceptedInputExtensions() { return State().accepted; }

bool IsAcceptedInputExtension(std::string_view ext) {
  return Contains(State().accepted, ext);
}

std::string InputFormatFamily(std::string_view ext) {
  const InputFormat* format = State().input.Find(ext);
  return format ? format->family : std::string();
}

std::string InputFormatDescription(std::string_view ext) {
  const InputFormat* format = State().input.Find(ext);
  return format ? format->description : std::string();
}

std::vector<std::string> InputTableExtensions() {
  std::vector<std::string> out;
  State().input.Walk([&](const std::string& ext, const InputFormat&) { out.push_back(ext); });
  return out;
}

bool IsOutputExtension(std::string_view text) {
  return Contains(ActiveOutputExtensions(), text);
}

std::string OutputFormatDescription(std::string_view ext) {
  const OutputRow* row = FindOutput(ext);
  return row ? row->description : std::string();
}

std::string AllowedBppText(std::string_view ext) {
  const OutputRow* row = FindOutput(ext);
  return row ? row->bpp : std::string();
}

std::vector<int> AllowedBitDepths(std::string_view ext) {
  std::vector<int> depths;
  const OutputRow* row = FindOutput(ext);
  if (row == nullptr) return depths;
  int value = 0;
  for (const char* c = row->bpp;; ++c) {
    if (*c >= '0' && *c <= '9') {
      value = value * 10 + (*c - '0');
    } else {
      depths.push_back(value);
      value = 0;
      if (*c == '\0') break;
    }
  }
  return depths;
}

bool IsValidBpp(std::string_view ext, int bpp) {
  if (bpp == 0) return true;
  for (int allowed : AllowedBitDepths(ext)) {
    if (allowed == bpp) return true;
  }
  return false;
}

size_t OutputTableSize() { return sizeof(kOutputRows) / sizeof(kOutputRows[0]); }

std::string InputFileFilter() {
  FormatState& state = State();
  std::string allPatterns;
  // Keyed by description; the newest pattern goes first in its entry.
  FormatMap<std::string> byDescription;
  for (const std::string& ext : state.accepted) {
    const InputFormat* format = state.input.Find(ext);
    const std::string description = format ? format->description : std::string();
    const std::string pattern = "*." + ext;
    allPatterns += pattern + ";";
    if (std::string* patterns = byDescription.Find(description)) {
      *patterns = pattern + ";" + *patterns;
    } else {
      byDescription.Set(description, pattern);
    }
  }
  if (!allPatterns.empty()) allPatterns.pop_back();

  std::string filter = GetText("Dialog", "All Supported Files") + "|" + allPatterns + "|";
  byDescription.Walk([&](const std::string& description, const std::string& patterns) {
    filter += description + "|" + patterns + "|";
  });
  filter += GetText("Dialog", "All Files") + " (*.*)|*.*";
  return filter;
}

}  // namespace ravelin
