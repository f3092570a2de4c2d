#include "settings/settings_layout.h"

#include <cctype>
#include <type_traits>

#include "settings/ini.h"

namespace ravelin {
namespace {

using S = Settings;
constexpr WrittenWhen kAlways = WrittenWhen::Always;
constexpr WrittenWhen kWindow = WrittenWhen::WindowPosition;
constexpr WrittenWhen kExt = WrittenWhen::ActiveExtension;

const SettingsKey kLayout[] = {
    {"General", "CFG", &S::CFG, kAlways, nullptr},
    {"General", "Language", &S::Language, kAlways, nullptr},
    {"General", "Update Range", &S::UpdateRange, kAlways, nullptr},
    {"General", "Update Date", &S::UpdateDate, kAlways, nullptr},
    {"General", "Save Window Position", &S::SaveWindowPosition, kAlways, nullptr},

    {"Window", "IsMaximized", &S::IsMaximized, kWindow, nullptr},
    {"Window", "Width", &S::Width, kWindow, nullptr},
    {"Window", "Height", &S::Height, kWindow, nullptr},
    {"Window", "X", &S::X, kWindow, nullptr},
    {"Window", "Y", &S::Y, kWindow, nullptr},

    {"Interface", "UI Theme", &S::UITheme, kAlways, nullptr},
    {"Interface", "UI Size", &S::UISize, kAlways, nullptr},

    {"Input", "Format", &S::InputFormat, kAlways, nullptr},
    {"Input", "DDS Load As", &S::DDSLoadAs, kExt, "dds"},
    {"Input", "GIF Frame Loading", &S::GIFFrameLoading, kExt, "gif"},
    {"Input", "ICO Frame Loading", &S::ICOFrameLoading, kExt, "ico"},
    {"Input", "PSD Color Mode", &S::PSDColorMode, kExt, "psd"},
    {"Input", "RAW Load As", &S::RAWLoadAs, kExt, "raw"},
    {"Input", "RAW Header Size", &S::RAWHeaderSize, kExt, "raw"},
    {"Input", "RAW Image Width", &S::RAWImageWidth, kExt, "raw"},
    {"Input", "RAW Image Height", &S::RAWImageHeight, kExt, "raw"},
    {"Input", "RAW Tone Mapping", &S::RAWToneMapping, kExt, "raw"},
    {"Input", "TIFF Frame Loading", &S::TIFFFrameLoading, kExt, "tiff"},

    {"Output", "Format", &S::OutputFormat, kAlways, nullptr},
    {"Output", "BMP BPP", &S::BMPBPP, kExt, "bmp"},
    {"Output", "BMP Compression", &S::BMPCompression, kExt, "bmp"},
    {"Output", "BMP Color Table", &S::BMPColorTable, kExt, "bmp"},
    {"Output", "DDS BPP", &S::DDSBPP, kExt, "dds"},
    {"Output", "EXR BPP", &S::EXRBPP, kExt, "exr"},
    {"Output", "EXR Compression", &S::EXRCompression, kExt, "exr"},
    {"Output", "GIF BPP", &S::GIFBPP, kExt, "gif"},
    {"Output", "HDR BPP", &S::HDRBPP, kExt, "hdr"},
    {"Output", "ICO BPP", &S::ICOBPP, kExt, "ico"},
    {"Output", "J2K BPP", &S::J2KBPP, kExt, "j2k"},
    {"Output", "JNG BPP", &S::JNGBPP, kExt, "jng"},
    {"Output", "JP2 BPP", &S::JP2BPP, kExt, "jp2"},
    {"Output", "JPG BPP", &S::JPGBPP, kExt, "jpg"},
    {"Output", "JPG Quality", &S::JPGQuality, kExt, "jpg"},
    {"Output", "JPG Chroma", &S::JPGChroma, kExt, "jpg"},
    {"Output", "JPG Save As", &S::JPGSaveAs, kExt, "jpg"},
    {"Output", "JXR BPP", &S::JXRBPP, kExt, "jxr"},
    {"Output", "PBM BPP", &S::PBMBPP, kExt, "pbm"},
    {"Output", "PCX BPP", &S::PCXBPP, kExt, "pcx"},
    {"Output", "PFM BPP", &S::PFMBPP, kExt, "pfm"},
    {"Output", "PGM BPP", &S::PGMBPP, kExt, "pgm"},
    {"Output", "PNG BPP", &S::PNGBPP, kExt, "png"},
    {"Output", "PNG Compression", &S::PNGCompression, kExt, "png"},
    {"Output", "PNG Interlaced", &S::PNGInterlaced, kExt, "png"},
    {"Output", "PPM BPP", &S::PPMBPP, kExt, "ppm"},
    {"Output", "PSD BPP", &S::PSDBPP, kExt, "psd"},
    {"Output", "TGA BPP", &S::TGABPP, kExt, "tga"},
    {"Output", "TGA Compression", &S::TGACompression, kExt, "tga"},
    {"Output", "TIFF BPP", &S::TIFFBPP, kExt, "tiff"},
    {"Output", "TIFF Compression", &S::TIFFCompression, kExt, "tiff"},
    {"Output", "TIFF Color Mode", &S::TIFFColorMode, kExt, "tiff"},
    {"Output", "WBMP BPP", &S::WBMPBPP, kExt, "wbmp"},
    {"Output", "WEBP BPP", &S::WEBPBPP, kExt, "webp"},
    {"Output", "WEBP Quality", &S::WEBPQuality, kExt, "webp"},
    {"Output", "XPM BPP", &S::XPMBPP, kExt, "xpm"},

    {"Transform", "Do Image Rotation", &S::DoImageRotation, kAlways, nullptr},
    {"Transform", "Image Rotation Type", &S::ImageRotationType, kAlways, nullptr},
    {"Transform", "Image Rotation", &S::ImageRotation, kAlways, nullptr},
    {"Transform", "Image Rotation Back Color", &S::ImageRotationBackColor, kAlways, nullptr},
    {"Transform", "Do Image Resize", &S::DoImageResize, kAlways, nullptr},
    {"Transform", "Image Width", &S::ImageWidth, kAlways, nullptr},
    {"Transform", "Image Width Unit", &S::ImageWidthUnit, kAlways, nullptr},
    {"Transform", "Image Height", &S::ImageHeight, kAlways, nullptr},
    {"Transform", "Image Height Unit", &S::ImageHeightUnit, kAlways, nullptr},
    {"Transform", "Keep Aspect Ratio", &S::KeepAspectRatio, kAlways, nullptr},
    {"Transform", "Image Resize Type", &S::ImageResizeType, kAlways, nullptr},
    {"Transform", "Image Resize Algorithm", &S::ImageResizeAlgorithm, kAlways, nullptr},
    {"Transform", "Do Image Flip Horizontal", &S::DoImageFlipHorizontal, kAlways, nullptr},
    {"Transform", "Do Image Flip Vertical", &S::DoImageFlipVertical, kAlways, nullptr},

    {"Adjustment", "Do Image Color Correction", &S::DoImageColorCorrection, kAlways, nullptr},
    {"Adjustment", "Image Brightness", &S::ImageBrightness, kAlways, nullptr},
    {"Adjustment", "Image Contrast", &S::ImageContrast, kAlways, nullptr},
    {"Adjustment", "Image Gamma", &S::ImageGamma, kAlways, nullptr},
    {"Adjustment", "Image Invert", &S::ImageInvert, kAlways, nullptr},
    {"Adjustment", "Do Image Greyscale", &S::DoImageGreyscale, kAlways, nullptr},
    {"Adjustment", "Do Image Threshold", &S::DoImageThreshold, kAlways, nullptr},
    {"Adjustment", "Image Threshold", &S::ImageThreshold, kAlways, nullptr},
    {"Adjustment", "Do Image Dither", &S::DoImageDither, kAlways, nullptr},
    {"Adjustment", "Image Dither Algorithm", &S::ImageDitherAlgorithm, kAlways, nullptr},

    {"Frame", "Do Frame", &S::DoFrame, kAlways, nullptr},
    {"Frame", "Solid Left", &S::SolidLeft, kAlways, nullptr},
    {"Frame", "Solid Right", &S::SolidRight, kAlways, nullptr},
    {"Frame", "Solid Top", &S::SolidTop, kAlways, nullptr},
    {"Frame", "Solid Bottom", &S::SolidBottom, kAlways, nullptr},
    {"Frame", "Solid Left Color", &S::SolidLeftColor, kAlways, nullptr},
    {"Frame", "Solid Right Color", &S::SolidRightColor, kAlways, nullptr},
    {"Frame", "Solid Top Color", &S::SolidTopColor, kAlways, nullptr},
    {"Frame", "Solid Bottom Color", &S::SolidBottomColor, kAlways, nullptr},
    {"Frame", "Solid Opacity", &S::SolidOpacity, kAlways, nullptr},

    {"Watermark", "Do Watermark", &S::DoWatermark, kAlways, nullptr},
    {"Watermark", "Text", &S::Text, kAlways, nullptr},
    {"Watermark", "Fonts", &S::Fonts, kAlways, nullptr},
    {"Watermark", "Font", &S::Font, kAlways, nullptr},
    {"Watermark", "Font Size", &S::FontSize, kAlways, nullptr},
    {"Watermark", "Font Leading", &S::FontLeading, kAlways, nullptr},
    {"Watermark", "Font Colors", &S::FontColors, kAlways, nullptr},
    {"Watermark", "Font Color", &S::FontColor, kAlways, nullptr},
    {"Watermark", "Font Style", &S::FontStyle, kAlways, nullptr},
    {"Watermark", "Font Effect", &S::FontEffect, kAlways, nullptr},
    {"Watermark", "Text Antialiasing", &S::TextAntialiasing, kAlways, nullptr},
    {"Watermark", "Text Alignment", &S::TextAlignment, kAlways, nullptr},
    {"Watermark", "Text Padding", &S::TextPadding, kAlways, nullptr},
    {"Watermark", "Text Opacity", &S::TextOpacity, kAlways, nullptr},
    {"Watermark", "Back Colors", &S::BackColors, kAlways, nullptr},
    {"Watermark", "Back Color", &S::BackColor, kAlways, nullptr},
    {"Watermark", "Back Opacity", &S::BackOpacity, kAlways, nullptr},
    {"Watermark", "Text Boundary", &S::TextBoundary, kAlways, nullptr},
    {"Watermark", "Text Position", &S::TextPosition, kAlways, nullptr},
    {"Watermark", "Text X Offset", &S::TextXOffset, kAlways, nullptr},
    {"Watermark", "Text Y Offset", &S::TextYOffset, kAlways, nullptr},
    {"Watermark", "Text Rotation", &S::TextRotation, kAlways, nullptr},
    {"Watermark", "Text Size", &S::TextSize, kAlways, nullptr},
    {"Watermark", "Text Scale", &S::TextScale, kAlways, nullptr},
    {"Watermark", "Image", &S::Image, kAlways, nullptr},
    {"Watermark", "Image Greyscale", &S::ImageGreyscale, kAlways, nullptr},
    {"Watermark", "Image Opacity", &S::ImageOpacity, kAlways, nullptr},
    {"Watermark", "Image Boundary", &S::ImageBoundary, kAlways, nullptr},
    {"Watermark", "Image Position", &S::ImagePosition, kAlways, nullptr},
    {"Watermark", "Image X Offset", &S::ImageXOffset, kAlways, nullptr},
    {"Watermark", "Image Y Offset", &S::ImageYOffset, kAlways, nullptr},
    {"Watermark", "Image Rotation", &S::WatermarkImageRotation, kAlways, nullptr},
    {"Watermark", "Image Size", &S::ImageSize, kAlways, nullptr},
    {"Watermark", "Image Scale", &S::ImageScale, kAlways, nullptr},

    {"Advanced", "Filename Mask", &S::FilenameMask, kAlways, nullptr},
    {"Advanced", "File Timestamp", &S::FileTimestamp, kAlways, nullptr},
    {"Advanced", "Custom Timestamp", &S::CustomTimestamp, kAlways, nullptr},
    {"Advanced", "Out Folders History", &S::OutFoldersHistory, kAlways, nullptr},
    {"Advanced", "Out Folders Number", &S::OutFoldersNumber, kAlways, nullptr},
    {"Advanced", "Keep Subfolders", &S::KeepSubfolders, kAlways, nullptr},

    {"File", "Recent Out Folders", &S::RecentOutFolders, kAlways, nullptr},
    {"File", "Recent Files", &S::RecentFiles, kAlways, nullptr},

    {"Privacy", "Clean Recent Files", &S::CleanRecentFiles, kAlways, nullptr},
};

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

const SettingsKey* SettingsLayout() { return kLayout; }
size_t SettingsLayoutSize() { return std::size(kLayout); }

std::string FormatField(const Settings& settings, const SettingsField& field) {
  return std::visit(
      Overloaded{
          [&](int8_t Settings::*member) { return std::to_string(settings.*member); },
          [&](int32_t Settings::*member) { return std::to_string(settings.*member); },
          [&](float Settings::*member) { return FormatReal(settings.*member); },
          [&](std::string Settings::*member) { return settings.*member; },
      },
      field);
}

bool AssignInteger(Settings& settings, const SettingsField& field, int32_t value) {
  if (auto member = std::get_if<int8_t Settings::*>(&field)) {
    settings.**member = static_cast<int8_t>(value);
    return true;
  }
  if (auto member = std::get_if<int32_t Settings::*>(&field)) {
    settings.**member = value;
    return true;
  }
  return false;
}

}  // namespace ravelin

namespace ravelin {

int OutputBppSetting(const Settings& settings, std::string_view ext) {
  std::string key;
  for (char c : ext) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  key += " BPP";
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = SettingsLayout()[i];
    if (std::string_view(row.group) != "Output" || key != row.key) continue;
    if (auto member = std::get_if<int32_t Settings::*>(&row.field)) return settings.**member;
  }
  return 0;
}

}  // namespace ravelin
