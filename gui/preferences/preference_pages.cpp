#include <cctype>
#include <string>

#include "gui/preferences/preference_rows.h"
#include "update/update_build.h"

namespace ravelin {
namespace {

using S = Settings;
using R = PreferenceRow;
using K = RowKind;

const std::vector<const char*> kFrames = {"All Frames", "First Frame", "Middle Frame",
                                          "Last Frame", "Random Frame"};
const std::vector<const char*> kPositions = {
    "Top-Left",    "Top-Center",    "Top-Right",    "Middle-Left", "Middle-Center",
    "Middle-Right", "Bottom-Left", "Bottom-Center", "Bottom-Right"};
const std::vector<const char*> kBoundaries = {"Bound Image", "Bound Frame"};
const std::vector<const char*> kSizeUnits = {"Pixels", "Percent"};

R Choice(const char* label, SettingsField field, std::vector<const char*> items) {
  return {label, K::Choice, field, std::move(items)};
}
R Check(const char* label, SettingsField field) { return {label, K::Check, field}; }
R Number(const char* label, SettingsField field, const char* unit) {
  return {label, K::Number, field, {unit}};
}
R Slider(const char* label, SettingsField field, int low, int high, int offset = 0) {
  R row{label, K::Slider, field};
  row.low = low;
  row.high = high;
  row.sliderOffset = offset;
  return row;
}
R ColorList(const char* label, SettingsField field, SettingsField history) {
  R row{label, K::ColorList, field};
  row.history = history;
  return row;
}

// The layout field of "<EXT> BPP" in group Output.
SettingsField BppField(const char* extension) {
  std::string key;
  for (const char* c = extension; *c != '\0'; ++c) {
    key += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  }
  key += " BPP";
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = SettingsLayout()[i];
    if (std::string(row.group) == "Output" && key == row.key) return row.field;
  }
  return &S::PSDBPP;  // every output format of the table has its key
}

R Bpp(const char* extension) {
  R row{"Bits Per Pixel", K::Bpp, BppField(extension)};
  row.extension = extension;
  return row;
}

PreferenceSection OutputFormat(const char* extension, std::vector<R> further) {
  further.insert(further.begin(), Bpp(extension));
  return {nullptr, false, extension, std::move(further)};
}

std::vector<PreferencePage> BuildPages() {
  std::vector<PreferencePage> pages;
  pages.push_back({"General",
                   {{nullptr, false, nullptr,
                     {{"Language", K::Language, &S::Language},
#if RAVELIN_UPDATE_CHECK
                      Choice("Check for Updates", &S::UpdateRange,
                             {"Every day", "Every week", "Every month", "Every 3 months",
                              "Every 6 months", "Never"}),
#endif
                      Check("Save window position", &S::SaveWindowPosition)}}}});
  pages.push_back({"Interface",
                   {{nullptr, false, nullptr,
                     {{"UI Theme", K::Theme, &S::UITheme},
                      Choice("UI Size", &S::UISize, {"Small", "Medium", "Large"})}}}});

  R rawHeader = Number("Header Size", &S::RAWHeaderSize, "Bytes");
  pages.push_back(
      {"Input",
       {{nullptr, false, nullptr, {{"Input Format", K::InputFormat, &S::InputFormat}}},
        {nullptr, false, "dds", {Choice("Load As", &S::DDSLoadAs, {"Auto", "BGRA", "RGBA"})}},
        {nullptr, false, "gif", {Choice("Frame Loading", &S::GIFFrameLoading, kFrames)}},
        {nullptr, false, "ico", {Choice("Frame Loading", &S::ICOFrameLoading, kFrames)}},
        {nullptr, false, "psd", {Choice("Color Mode", &S::PSDColorMode, {"RGB", "CMYK", "LAB"})}},
        {nullptr, false, "raw",
         {Choice("Load As", &S::RAWLoadAs,
                 {"Auto", "RGB8", "RGB16", "RGB24", "RGB48HS", "RGB48"}),
          rawHeader, Number("Image Width", &S::RAWImageWidth, "Pixels"),
          Number("Image Height", &S::RAWImageHeight, "Pixels"),
          Choice("Tone Mapping", &S::RAWToneMapping,
                 {"None", "Linear", "Adaptive Logarithmic", "DR Reduction",
                  "Gradient Domain"})}},
        {nullptr, false, "tiff", {Choice("Frame Loading", &S::TIFFFrameLoading, kFrames)}}}});

  std::vector<PreferenceSection> output = {
      {nullptr, false, nullptr, {{"Output Format", K::OutputFormat, &S::OutputFormat}}},
      OutputFormat("bmp", {Choice("Compression", &S::BMPCompression, {"None", "RLE"}),
                           Choice("Color Table", &S::BMPColorTable, {"Auto", "Exact"})}),
      OutputFormat("exr", {Choice("Compression", &S::EXRCompression,
                                  {"None", "ZIP", "PIZ", "PXR24", "B44"})}),
      OutputFormat("jpg", {Slider("Image Quality", &S::JPGQuality, 1, 100),
                           Choice("Chroma Subsampling", &S::JPGChroma,
                                  {"None", "Low", "Medium", "High"}),
                           Choice("Save As", &S::JPGSaveAs,
                                  {"Baseline Standard", "Baseline Simple", "Baseline Optimized",
                                   "Progressive"})}),
      OutputFormat("pcx", {{"Compression", K::Fixed, std::nullopt, {"RLE"}}}),
      OutputFormat("png", {Choice("Compression", &S::PNGCompression,
                                  {"None", "ZLIB1", "ZLIB6", "ZLIB9"}),
                           Check("Interlaced", &S::PNGInterlaced)}),
      OutputFormat("tga", {Choice("Compression", &S::TGACompression, {"None", "RLE"})}),
      OutputFormat("tiff", {Choice("Compression", &S::TIFFCompression,
                                   {"None", "CCITTFAX3", "CCITTFAX4", "PACKBITS", "DEFLATE",
                                    "ADOBEDEFLATE", "LZW", "JPEG", "LOGLUV"}),
                            Choice("Color Mode", &S::TIFFColorMode, {"RGB", "CMYK"})}),
      OutputFormat("webp", {Slider("Image Quality", &S::WEBPQuality, 1, 100)}),
  };
  for (const char* extension : {"dds", "gif", "hdr", "ico", "j2k", "jng", "jp2", "jxr", "pbm",
                                "pfm", "pgm", "ppm", "psd", "wbmp", "xpm"}) {
    output.push_back(OutputFormat(extension, {}));
  }
  pages.push_back({"Output", std::move(output)});

  R width = Number("Image Width", &S::ImageWidth, nullptr);
  width.items = kSizeUnits;
  width.unit = &S::ImageWidthUnit;
  R height = Number("Image Height", &S::ImageHeight, nullptr);
  height.items = kSizeUnits;
  height.unit = &S::ImageHeightUnit;
  pages.push_back(
      {"Transform",
       {{nullptr, true, nullptr,
         {Check("Image Rotation", &S::DoImageRotation),
          Choice("Rotation Type", &S::ImageRotationType,
                 {"Simple Rotation", "Advanced Rotation"}),
          Slider("Rotation Angle", &S::ImageRotation, 0, 360),
          {"Background Color", K::Swatch, &S::ImageRotationBackColor},
          Check("Image Resize", &S::DoImageResize), width, height,
          Check("Keep Aspect Ratio", &S::KeepAspectRatio),
          Choice("Resize Type", &S::ImageResizeType, {"All Images", "Large Images"}),
          Choice("Resize Algorithm", &S::ImageResizeAlgorithm,
                 {"Box", "Bilinear", "Bspline", "Bicubic", "Catmullrom", "Lanczos"}),
          Check("Image Flip Horizontal", &S::DoImageFlipHorizontal),
          Check("Image Flip Vertical", &S::DoImageFlipVertical)}}}});

  pages.push_back(
      {"Adjustment",
       {{nullptr, true, nullptr,
         {Slider("Image Brightness", &S::ImageBrightness, -100, 100, 100),
          Slider("Image Contrast", &S::ImageContrast, -100, 100, 100),
          {"Image Gamma", K::Gamma, &S::ImageGamma},
          Check("Image Invert", &S::ImageInvert),
          Check("Image Greyscale", &S::DoImageGreyscale),
          Check("Image Threshold", &S::DoImageThreshold),
          Slider("Threshold Level", &S::ImageThreshold, 0, 255),
          Check("Image Dither", &S::DoImageDither),
          Choice("Dither Algorithm", &S::ImageDitherAlgorithm,
                 {"FS", "Bayer4", "Bayer8", "Bayer16", "Cluster6", "Cluster8",
                  "Cluster16"})}}}});

  pages.push_back(
      {"Frame",
       {{nullptr, false, nullptr, {Choice("Frame Type", &S::DoFrame, {"None", "Frame Solid"})}},
        {"frame details", true, nullptr,
         {Number("Left", &S::SolidLeft, "Pixels"), Number("Right", &S::SolidRight, "Pixels"),
          Number("Top", &S::SolidTop, "Pixels"), Number("Bottom", &S::SolidBottom, "Pixels"),
          {"Left Color", K::Swatch, &S::SolidLeftColor},
          {"Right Color", K::Swatch, &S::SolidRightColor},
          {"Top Color", K::Swatch, &S::SolidTopColor},
          {"Bottom Color", K::Swatch, &S::SolidBottomColor},
          Slider("Opacity", &S::SolidOpacity, 1, 255)}}}});

  pages.push_back(
      {"Watermark",
       {{nullptr, false, nullptr,
         {Choice("Watermark Type", &S::DoWatermark,
                 {"None", "Watermark Text", "Watermark Image"})}},
        {"watermark text", true, nullptr,
         {{"Text", K::Text, &S::Text},
          {"Font", K::FontList, &S::Font},
          Number("Font Size", &S::FontSize, "Points"),
          Number("Font Leading", &S::FontLeading, "Pixels"),
          ColorList("Font Color", &S::FontColor, &S::FontColors),
          Choice("Font Style", &S::FontStyle, {"Regular", "Bold", "Italic", "Bold Italic"}),
          Choice("Font Effect", &S::FontEffect, {"None", "Underline", "Strikeout"}),
          Check("Antialiasing", &S::TextAntialiasing),
          Choice("Text Alignment", &S::TextAlignment,
                 {"Align Left", "Align Center", "Align Right"}),
          Number("Text Padding", &S::TextPadding, "Pixels"),
          Slider("Text Opacity", &S::TextOpacity, 1, 255),
          ColorList("Background Color", &S::BackColor, &S::BackColors),
          Slider("Background Opacity", &S::BackOpacity, 1, 255),
          Choice("Boundary", &S::TextBoundary, kBoundaries),
          Choice("Position", &S::TextPosition, kPositions),
          Number("X-Offset", &S::TextXOffset, "Pixels"),
          Number("Y-Offset", &S::TextYOffset, "Pixels"),
          Slider("Rotation Angle", &S::TextRotation, 0, 360),
          Choice("Size", &S::TextSize, {"Fixed"}),
          Slider("Scale", &S::TextScale, 1, 200)}},
        {"watermark image", true, nullptr,
         {{"Image", K::ImageFile, &S::Image},
          Check("Image Greyscale", &S::ImageGreyscale),
          Slider("Opacity", &S::ImageOpacity, 1, 255),
          Choice("Boundary", &S::ImageBoundary, kBoundaries),
          Choice("Position", &S::ImagePosition, kPositions),
          Number("X-Offset", &S::ImageXOffset, "Pixels"),
          Number("Y-Offset", &S::ImageYOffset, "Pixels"),
          Slider("Rotation Angle", &S::WatermarkImageRotation, 0, 360),
          Choice("Size", &S::ImageSize, {"Fixed"}),
          Slider("Scale", &S::ImageScale, 1, 200)}}}});

  pages.push_back(
      {"Advanced",
       {{nullptr, false, nullptr,
         {{"Filename Mask", K::Text, &S::FilenameMask},
          Choice("File Timestamp", &S::FileTimestamp, {"Current", "Original", "Custom"}),
          {"Custom Timestamp", K::Date, &S::CustomTimestamp},
          Choice("Out Folders History", &S::OutFoldersHistory, {"Clean On Exit", "Keep Folders"}),
          Slider("Out Folders Number", &S::OutFoldersNumber, 1, 50),
          {"Keep Subfolders", K::HiddenCheck, &S::KeepSubfolders}}}}});
  return pages;
}

}  // namespace

const std::vector<PreferencePage>& PreferencePages() {
  static const std::vector<PreferencePage> pages = BuildPages();
  return pages;
}

const std::vector<PreferenceRule>& PreferenceRules() {
  using A = RuleAction;
  static const std::vector<PreferenceRule> rules = {
      {&S::RAWLoadAs, {1, 2}, A::Enable,
       {&S::RAWHeaderSize, &S::RAWImageWidth, &S::RAWImageHeight}},
      {&S::RAWLoadAs, {4, 5}, A::Enable, {&S::RAWToneMapping}},
      {&S::DoImageRotation, {1}, A::Enable,
       {&S::ImageRotationType, &S::ImageRotation, &S::ImageRotationBackColor}},
      {&S::DoImageResize, {1}, A::Enable,
       {&S::ImageWidth, &S::ImageHeight, &S::KeepAspectRatio, &S::ImageResizeType,
        &S::ImageResizeAlgorithm}},
      {&S::DoImageThreshold, {1}, A::Enable, {&S::ImageThreshold}},
      {&S::DoImageDither, {1}, A::Enable, {&S::ImageDitherAlgorithm}},
      {&S::DoFrame, {1}, A::Show, {}, "frame details"},
      {&S::DoWatermark, {1}, A::Show, {}, "watermark text"},
      {&S::DoWatermark, {2}, A::Show, {}, "watermark image"},
      {&S::TextSize, {1}, A::Show, {&S::TextScale}},
      {&S::ImageSize, {1}, A::Show, {&S::ImageScale}},
      {&S::FileTimestamp, {2}, A::Enable, {&S::CustomTimestamp}},
  };
  return rules;
}

std::string SettingName(const SettingsField& field) {
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = SettingsLayout()[i];
    if (row.field == field) return std::string(row.group) + "/" + row.key;
  }
  return {};
}

}  // namespace ravelin
