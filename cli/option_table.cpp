#include "cli/option_table.h"

#include <string_view>

#include "cli/option_values.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/keywords.h"
#include "settings/settings_layout.h"

namespace ravelin {
namespace {

using S = Settings;
using KT = KeywordTable;

struct OptionRow {
  const char* key;
  ValueKind kind;
  SettingsField field;                 // receives the value (flags: `flagValue`)
  KeywordTable table;                  // keyword rows
  int8_t flagValue;                    // flag rows
  int8_t Settings::*switchField;       // the feature this option switches on, if any
  int8_t switchValue;
  const char* profileKey;              // a profile's spelling of the key, when it differs
  bool unquoteInProfile;               // a profile value loses its double quotes at both ends
};

OptionRow Row(const char* key, ValueKind kind, SettingsField field) {
  return OptionRow{key, kind, field, KT::DdsLoadAs, 1, nullptr, 0, nullptr, false};
}
OptionRow Keyword(const char* key, KT table, SettingsField field) {
  OptionRow row = Row(key, ValueKind::Keyword, field);
  row.table = table;
  return row;
}
OptionRow Integer(const char* key, int32_t Settings::*field) { return Row(key, ValueKind::Integer, field); }
OptionRow Real(const char* key, float Settings::*field) { return Row(key, ValueKind::Real, field); }
OptionRow Text(const char* key, std::string Settings::*field) { return Row(key, ValueKind::Text, field); }
OptionRow Flag(const char* key, int8_t Settings::*field, int8_t value = 1) {
  OptionRow row = Row(key, ValueKind::Flag, field);
  row.flagValue = value;
  return row;
}
OptionRow Switching(OptionRow row, int8_t Settings::*field, int8_t value = 1) {
  row.switchField = field;
  row.switchValue = value;
  return row;
}
OptionRow ProfileKey(OptionRow row, const char* profileKey) {
  row.profileKey = profileKey;
  return row;
}
OptionRow UnquotedInProfile(OptionRow row) {
  row.unquoteInProfile = true;
  return row;
}

const OptionRow kOptions[] = {
    // Input
    Keyword("--DDS-LOAD-AS", KT::DdsLoadAs, &S::DDSLoadAs),
    Keyword("--GIF-FRAME-LOADING", KT::FrameLoading, &S::GIFFrameLoading),
    Keyword("--ICO-FRAME-LOADING", KT::FrameLoading, &S::ICOFrameLoading),
    Keyword("--PSD-COLOR-MODE", KT::ColorMode, &S::PSDColorMode),
    Keyword("--RAW-LOAD-AS", KT::RawLoadAs, &S::RAWLoadAs),
    Integer("--RAW-HEADER-SIZE", &S::RAWHeaderSize),
    Integer("--RAW-WIDTH", &S::RAWImageWidth),
    Integer("--RAW-HEIGHT", &S::RAWImageHeight),
    Keyword("--RAW-TONE-MAPPING", KT::ToneMapping, &S::RAWToneMapping),
    Keyword("--TIFF-FRAME-LOADING", KT::FrameLoading, &S::TIFFFrameLoading),

    // Output
    Integer("--BMP-BPP", &S::BMPBPP),
    Keyword("--BMP-COMPRESSION", KT::Compression, &S::BMPCompression),
    Keyword("--BMP-COLOR-TABLE", KT::ColorTable, &S::BMPColorTable),
    Integer("--DDS-BPP", &S::DDSBPP),
    Integer("--EXR-BPP", &S::EXRBPP),
    Keyword("--EXR-COMPRESSION", KT::Compression, &S::EXRCompression),
    Integer("--GIF-BPP", &S::GIFBPP),
    Integer("--HDR-BPP", &S::HDRBPP),
    Integer("--ICO-BPP", &S::ICOBPP),
    Integer("--J2K-BPP", &S::J2KBPP),
    Integer("--JNG-BPP", &S::JNGBPP),
    Integer("--JP2-BPP", &S::JP2BPP),
    Integer("--JPG-BPP", &S::JPGBPP),
    Integer("--JPG-QUALITY", &S::JPGQuality),
    Keyword("--JPG-CHROMA", KT::ChromaSubsampling, &S::JPGChroma),
    Keyword("--JPG-SAVE-AS", KT::JpegSaveAs, &S::JPGSaveAs),
    Integer("--JXR-BPP", &S::JXRBPP),
    Integer("--PBM-BPP", &S::PBMBPP),
    Integer("--PCX-BPP", &S::PCXBPP),
    Integer("--PFM-BPP", &S::PFMBPP),
    Integer("--PGM-BPP", &S::PGMBPP),
    Integer("--PNG-BPP", &S::PNGBPP),
    Keyword("--PNG-COMPRESSION", KT::Compression, &S::PNGCompression),
    Flag("--PNG-INTERLACED", &S::PNGInterlaced),
    Integer("--PPM-BPP", &S::PPMBPP),
    Integer("--PSD-BPP", &S::PSDBPP),
    Integer("--TGA-BPP", &S::TGABPP),
    Keyword("--TGA-COMPRESSION", KT::Compression, &S::TGACompression),
    Integer("--TIFF-BPP", &S::TIFFBPP),
    Keyword("--TIFF-COMPRESSION", KT::Compression, &S::TIFFCompression),
    Keyword("--TIFF-COLOR-MODE", KT::ColorMode, &S::TIFFColorMode),
    Integer("--WBMP-BPP", &S::WBMPBPP),
    Integer("--WEBP-BPP", &S::WEBPBPP),
    Integer("--WEBP-QUALITY", &S::WEBPQuality),
    Integer("--XPM-BPP", &S::XPMBPP),

    // Transform
    Keyword("--ROTATION-TYPE", KT::RotationType, &S::ImageRotationType),
    Switching(Integer("--ROTATION", &S::ImageRotation), &S::DoImageRotation),
    Text("--ROTATION-BACK-COLOR", &S::ImageRotationBackColor),
    Switching(Integer("--WIDTH", &S::ImageWidth), &S::DoImageResize),
    Keyword("--WIDTH-UNIT", KT::SizeUnit, &S::ImageWidthUnit),
    Switching(Integer("--HEIGHT", &S::ImageHeight), &S::DoImageResize),
    Keyword("--HEIGHT-UNIT", KT::SizeUnit, &S::ImageHeightUnit),
    Flag("--KEEP-ASPECT-RATIO", &S::KeepAspectRatio),
    Keyword("--RESIZE-TYPE", KT::ResizeType, &S::ImageResizeType),
    Keyword("--RESIZE-ALGORITHM", KT::ResizeFilter, &S::ImageResizeAlgorithm),
    Flag("--FLIP-HORIZONTAL", &S::DoImageFlipHorizontal),
    Flag("--FLIP-VERTICAL", &S::DoImageFlipVertical),

    // Adjustment
    Switching(Integer("--BRIGHTNESS", &S::ImageBrightness), &S::DoImageColorCorrection),
    Switching(Integer("--CONTRAST", &S::ImageContrast), &S::DoImageColorCorrection),
    Switching(Real("--GAMMA", &S::ImageGamma), &S::DoImageColorCorrection),
    Switching(Flag("--INVERT", &S::ImageInvert), &S::DoImageColorCorrection),
    Flag("--GREYSCALE", &S::DoImageGreyscale),
    Switching(Integer("--THRESHOLD", &S::ImageThreshold), &S::DoImageThreshold),
    Switching(Keyword("--DITHER", KT::DitherAlgorithm, &S::ImageDitherAlgorithm), &S::DoImageDither),

    // Frame
    Switching(Integer("--FR-SOLID-LEFT", &S::SolidLeft), &S::DoFrame),
    Switching(Integer("--FR-SOLID-RIGHT", &S::SolidRight), &S::DoFrame),
    Switching(Integer("--FR-SOLID-TOP", &S::SolidTop), &S::DoFrame),
    Switching(Integer("--FR-SOLID-BOTTOM", &S::SolidBottom), &S::DoFrame),
    Text("--FR-SOLID-LEFT-COLOR", &S::SolidLeftColor),
    Text("--FR-SOLID-RIGHT-COLOR", &S::SolidRightColor),
    Text("--FR-SOLID-TOP-COLOR", &S::SolidTopColor),
    Text("--FR-SOLID-BOTTOM-COLOR", &S::SolidBottomColor),
    ProfileKey(Integer("--FR-SOLID-OPACITY", &S::SolidOpacity), "--WM-SOLID-OPACITY"),

    // Watermark
    Switching(Text("--WM-TEXT", &S::Text), &S::DoWatermark, 1),
    Text("--WM-FONT", &S::Font),
    Integer("--WM-FONT-SIZE", &S::FontSize),
    Integer("--WM-FONT-LEADING", &S::FontLeading),
    Text("--WM-FONT-COLOR", &S::FontColor),
    Keyword("--WM-FONT-STYLE", KT::FontStyle, &S::FontStyle),
    Keyword("--WM-FONT-EFFECT", KT::FontEffect, &S::FontEffect),
    Flag("--WM-TEXT-ANTIALIASING", &S::TextAntialiasing),
    Keyword("--WM-TEXT-ALIGNMENT", KT::TextAlignment, &S::TextAlignment),
    Integer("--WM-TEXT-PADDING", &S::TextPadding),
    Integer("--WM-TEXT-OPACITY", &S::TextOpacity),
    Text("--WM-BACK-COLOR", &S::BackColor),
    Integer("--WM-BACK-OPACITY", &S::BackOpacity),
    Keyword("--WM-TEXT-BOUNDARY", KT::Boundary, &S::TextBoundary),
    Keyword("--WM-TEXT-POSITION", KT::Position, &S::TextPosition),
    Integer("--WM-TEXT-X-OFFSET", &S::TextXOffset),
    Integer("--WM-TEXT-Y-OFFSET", &S::TextYOffset),
    Integer("--WM-TEXT-ROTATION", &S::TextRotation),
    Keyword("--WM-TEXT-SIZE", KT::SizeMode, &S::TextSize),
    Switching(Text("--WM-IMAGE", &S::Image), &S::DoWatermark, 2),
    Flag("--WM-IMAGE-GREYSCALE", &S::ImageGreyscale),
    Integer("--WM-IMAGE-OPACITY", &S::ImageOpacity),
    Keyword("--WM-IMAGE-BOUNDARY", KT::Boundary, &S::ImageBoundary),
    Keyword("--WM-IMAGE-POSITION", KT::Position, &S::ImagePosition),
    Integer("--WM-IMAGE-X-OFFSET", &S::ImageXOffset),
    Integer("--WM-IMAGE-Y-OFFSET", &S::ImageYOffset),
    Integer("--WM-IMAGE-ROTATION", &S::WatermarkImageRotation),
    Keyword("--WM-IMAGE-SIZE", KT::SizeMode, &S::ImageSize),

    // Advanced
    UnquotedInProfile(Text("--FILENAME-MASK", &S::FilenameMask)),
    Keyword("--FILE-TIMESTAMP", KT::FileTimestamp, &S::FileTimestamp),
    Integer("--FILE-TIMESTAMP-CUSTOM", &S::CustomTimestamp),
    Flag("--NO-SUBFOLDERS", &S::KeepSubfolders, 0),
};

const OptionRow* FindRow(std::string_view key, bool profile) {
  for (const OptionRow& row : kOptions) {
    const char* rowKey = profile && row.profileKey != nullptr ? row.profileKey : row.key;
    if (key == rowKey) return &row;
  }
  return nullptr;
}

// Converts `value` by the row's kind and assigns the row's fields; flags ignore the value.
void ApplyRow(const OptionRow& row, Settings& settings, std::string_view value) {
  switch (row.kind) {
    case ValueKind::Keyword:
      AssignInteger(settings, row.field, ParseOptionKeyword(row.table, value));
      break;
    case ValueKind::Integer:
      AssignInteger(settings, row.field, ParseOptionInteger(value));
      break;
    case ValueKind::Real:
      if (auto member = std::get_if<float Settings::*>(&row.field)) settings.**member = ParseOptionReal(value);
      break;
    case ValueKind::Text:
      if (auto member = std::get_if<std::string Settings::*>(&row.field)) settings.**member = std::string(value);
      break;
    case ValueKind::Flag:
      AssignInteger(settings, row.field, row.flagValue);
      break;
  }
  if (row.switchField != nullptr) settings.*row.switchField = row.switchValue;
}

std::string_view StripQuotes(std::string_view text) {
  while (!text.empty() && text.front() == '"') text.remove_prefix(1);
  while (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return text;
}

}  // namespace

OptionOutcome ApplyCommandLineOption(Settings& settings, const Parameters& params, size_t* position) {
  const OptionRow* row = FindRow(ParameterKey(params, *position), false);
  if (row == nullptr) return OptionOutcome::NotInTable;
  std::string value;
  if (row->kind != ValueKind::Flag) {
    if (!ReadSameParameterValue(params, *position, &value)) return OptionOutcome::MissingValue;
    if (row->kind == ValueKind::Text) value = JoinQuoted(params, position, value);
  }
  ApplyRow(*row, settings, value);
  return OptionOutcome::Applied;
}

bool ApplyProfileOption(Settings& settings, const std::string& key, const std::string& value) {
  const OptionRow* row = FindRow(ToUpperAscii(TrimBlanksAndTabs(key)), true);
  if (row == nullptr) return false;
  const std::string trimmed = TrimBlanksAndTabs(value);
  ApplyRow(*row, settings, row->unquoteInProfile ? StripQuotes(trimmed) : std::string_view(trimmed));
  return true;
}

bool LoadProfile(Settings& settings, const std::string& path) {
  if (path.empty()) return false;
  IniFile file;
  if (!file.Load(path)) return false;
  const IniGroup group = file.Group("CLI");
  for (size_t i = 0; i < group.size(); ++i) {
    ApplyProfileOption(settings, std::string(group.key(i)), std::string(group.value(i)));
  }
  return true;
}

size_t OptionTableSize() { return std::size(kOptions); }

const char* OptionTableKey(size_t index) { return index < std::size(kOptions) ? kOptions[index].key : nullptr; }

OptionDescription DescribeOption(size_t index) {
  const OptionRow& row = kOptions[index];
  return OptionDescription{row.key,         row.kind,        row.table,     row.field,
                           row.switchField, row.switchValue, row.flagValue, row.profileKey};
}

}  // namespace ravelin
