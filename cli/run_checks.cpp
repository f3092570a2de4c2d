#include "cli/run_checks.h"

#include <cmath>
#include <cstdio>

#include "settings/formats.h"
#include "settings/keywords.h"

namespace ravelin {
namespace {

using T = KeywordTable;

// One echo line: a label and a field, printed as a number or through a keyword table.
struct EchoField {
  const char* label;
  int32_t Settings::*number = nullptr;  // a 32-bit field
  Flag Settings::*flag = nullptr;       // an 8-bit field
  int table = -1;                       // keyword table, or -1 for a plain number
};

constexpr EchoField Number(const char* label, int32_t Settings::*field) { return {label, field, nullptr, -1}; }
constexpr EchoField Keyword(const char* label, int32_t Settings::*field, T table) {
  return {label, field, nullptr, static_cast<int>(table)};
}
constexpr EchoField Small(const char* label, Flag Settings::*field) {
  return {label, nullptr, field, -1};
}

std::string Value(const Settings& settings, const EchoField& field) {
  const int value = field.number != nullptr ? settings.*field.number : settings.*field.flag;
  return field.table >= 0 ? IndexToKeyword(field.table, value) : std::to_string(value);
}

void Print(const Settings& settings, const EchoField& field, const EchoLine& echo) {
  echo(std::string(field.label) + Value(settings, field));
}

struct InputFormatEcho {
  const char* ext;
  EchoField lines[5];
};

const InputFormatEcho kInputFormats[] = {
    {"dds", {Keyword("DDS Load As: ", &Settings::DDSLoadAs, T::DdsLoadAs)}},
    {"gif", {Keyword("GIF Frame Loading: ", &Settings::GIFFrameLoading, T::FrameLoading)}},
    {"ico", {Keyword("ICO Frame Loading: ", &Settings::ICOFrameLoading, T::FrameLoading)}},
    {"psd", {Keyword("PSD Color Mode: ", &Settings::PSDColorMode, T::ColorMode)}},
    {"raw",
     {Keyword("RAW Load As: ", &Settings::RAWLoadAs, T::RawLoadAs),
      Number("RAW Header Size: ", &Settings::RAWHeaderSize),
      Number("RAW Image Width: ", &Settings::RAWImageWidth),
      Number("RAW Image Height: ", &Settings::RAWImageHeight),
      Keyword("RAW Tone Mapping: ", &Settings::RAWToneMapping, T::ToneMapping)}},
    {"tiff", {Keyword("TIFF Frame Loading: ", &Settings::TIFFFrameLoading, T::FrameLoading)}},
};

// An output format: its echo lines (the first is its bits per pixel) and an optional quality
// that must lie in 1..100.
struct OutputFormatEcho {
  const char* ext;
  int32_t Settings::*bpp;
  EchoField lines[4];
  int32_t Settings::*quality = nullptr;
};

const OutputFormatEcho kOutputFormats[] = {
    {"bmp", &Settings::BMPBPP,
     {Number("BMP BPP: ", &Settings::BMPBPP),
      Keyword("BMP Compression: ", &Settings::BMPCompression, T::Compression),
      Keyword("BMP Color Table: ", &Settings::BMPColorTable, T::ColorTable)}},
    {"dds", &Settings::DDSBPP, {Number("DDS BPP: ", &Settings::DDSBPP)}},
    {"exr", &Settings::EXRBPP,
     {Number("EXR BPP: ", &Settings::EXRBPP),
      Keyword("EXR Compression: ", &Settings::EXRCompression, T::Compression)}},
    {"gif", &Settings::GIFBPP, {Number("GIF BPP: ", &Settings::GIFBPP)}},
    {"hdr", &Settings::HDRBPP, {Number("HDR BPP: ", &Settings::HDRBPP)}},
    {"ico", &Settings::ICOBPP, {Number("ICO BPP: ", &Settings::ICOBPP)}},
    {"j2k", &Settings::J2KBPP, {Number("J2K BPP: ", &Settings::J2KBPP)}},
    {"jng", &Settings::JNGBPP, {Number("JNG BPP: ", &Settings::JNGBPP)}},
    {"jp2", &Settings::JP2BPP, {Number("JP2 BPP: ", &Settings::JP2BPP)}},
    {"jpg", &Settings::JPGBPP,
     {Number("JPG BPP: ", &Settings::JPGBPP), Number("JPG Quality: ", &Settings::JPGQuality),
      Keyword("JPG Chroma Subsampling: ", &Settings::JPGChroma, T::ChromaSubsampling),
      Keyword("JPG Save As: ", &Settings::JPGSaveAs, T::JpegSaveAs)},
     &Settings::JPGQuality},
    {"jxr", &Settings::JXRBPP, {Number("JXR BPP: ", &Settings::JXRBPP)}},
    {"pbm", &Settings::PBMBPP, {Number("PBM BPP: ", &Settings::PBMBPP)}},
    {"pcx", &Settings::PCXBPP, {Number("PCX BPP: ", &Settings::PCXBPP)}},
    {"pfm", &Settings::PFMBPP, {Number("PFM BPP: ", &Settings::PFMBPP)}},
    {"pgm", &Settings::PGMBPP, {Number("PGM BPP: ", &Settings::PGMBPP)}},
    {"png", &Settings::PNGBPP,
     {Number("PNG BPP: ", &Settings::PNGBPP),
      Keyword("PNG Compression: ", &Settings::PNGCompression, T::Compression),
      Small("PNG Interlaced: ", &Settings::PNGInterlaced)}},
    {"ppm", &Settings::PPMBPP, {Number("PPM BPP: ", &Settings::PPMBPP)}},
    {"psd", &Settings::PSDBPP, {Number("PSD BPP: ", &Settings::PSDBPP)}},
    {"tga", &Settings::TGABPP,
     {Number("TGA BPP: ", &Settings::TGABPP),
      Keyword("TGA Compression: ", &Settings::TGACompression, T::Compression)}},
    {"tiff", &Settings::TIFFBPP,
     {Number("TIFF BPP: ", &Settings::TIFFBPP),
      Keyword("TIFF Compression: ", &Settings::TIFFCompression, T::Compression),
      Keyword("TIFF Color Mode: ", &Settings::TIFFColorMode, T::ColorMode)}},
    {"wbmp", &Settings::WBMPBPP, {Number("WBMP BPP: ", &Settings::WBMPBPP)}},
    {"webp", &Settings::WEBPBPP,
     {Number("WEBP BPP: ", &Settings::WEBPBPP), Number("WEBP Quality: ", &Settings::WEBPQuality)},
     &Settings::WEBPQuality},
    {"xpm", &Settings::XPMBPP, {Number("XPM BPP: ", &Settings::XPMBPP)}},
};

template <size_t N>
void PrintAll(const Settings& settings, const EchoField (&fields)[N], const EchoLine& echo) {
  for (const EchoField& field : fields) {
    if (field.label != nullptr) Print(settings, field, echo);
  }
}

bool OutsidePercent(int32_t value) { return value < -100 || value > 100; }

}  // namespace

std::string FormatGamma(float gamma) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(gamma));
  return buffer;
}

void EchoInputFormat(const Settings& settings, const std::string& inputFormat, const EchoLine& echo) {
  for (const InputFormatEcho& format : kInputFormats) {
    if (inputFormat == format.ext) PrintAll(settings, format.lines, echo);
  }
}

std::string CheckOutputFormat(const Settings& settings, const std::string& outputExt, const EchoLine& echo) {
  for (const OutputFormatEcho& format : kOutputFormats) {
    if (outputExt != format.ext) continue;
    PrintAll(settings, format.lines, echo);
    if (!IsValidBpp(format.ext, settings.*format.bpp)) {
      return "Error: Invalid " + std::string(format.ext) + "-bpp value";
    }
    if (format.quality != nullptr) {
      const int32_t quality = settings.*format.quality;
      if (quality < 1 || quality > 100) return "Error: Invalid " + std::string(format.ext) + "-quality value";
    }
  }
  return std::string();
}

std::string CheckOperations(const Settings& s, const EchoLine& echo) {
  if (s.DoImageRotation) {
    echo("Image Rotation Type: " + IndexToKeyword(T::RotationType, s.ImageRotationType));
    echo("Image Rotation: " + std::to_string(s.ImageRotation));
    echo("Image Rotation Back Color: " + s.ImageRotationBackColor);
  }
  if (s.DoImageResize) {
    echo("Width: " + std::to_string(s.ImageWidth) + " " + IndexToKeyword(T::SizeUnit, s.ImageWidthUnit));
    if (s.ImageWidth == 0) return "Error: Invalid width value";
    echo("Height: " + std::to_string(s.ImageHeight) + " " + IndexToKeyword(T::SizeUnit, s.ImageHeightUnit));
    if (s.ImageHeight == 0) return "Error: Invalid height value";
    echo("Keep Aspect Ratio: " + std::to_string(s.KeepAspectRatio));
    echo("Image Resize Type: " + IndexToKeyword(T::ResizeType, s.ImageResizeType));
    echo("Image Resize Algorithm: " + IndexToKeyword(T::ResizeFilter, s.ImageResizeAlgorithm));
  }
  echo("Flip Horizontal: " + std::to_string(s.DoImageFlipHorizontal));
  echo("Flip Vertical: " + std::to_string(s.DoImageFlipVertical));
  if (s.DoImageColorCorrection) {
    echo("Brightness: " + std::to_string(s.ImageBrightness));
    if (OutsidePercent(s.ImageBrightness)) return "Error: Invalid brightness value";
    echo("Contrast: " + std::to_string(s.ImageContrast));
    if (OutsidePercent(s.ImageContrast)) return "Error: Invalid contrast value";
    echo("Gamma: " + FormatGamma(s.ImageGamma));
    if (std::isnan(s.ImageGamma) || s.ImageGamma < 0.01f || s.ImageGamma > 9.99f) {
      return "Error: Invalid gamma value";
    }
    echo("Invert: " + std::to_string(s.ImageInvert));
  }
  echo("Greyscale: " + std::to_string(s.DoImageGreyscale));
  if (s.DoImageThreshold) echo("Image Threshold: " + std::to_string(s.ImageThreshold));
  if (s.DoImageDither) {
    echo("Image Dithering Algorithm: " + IndexToKeyword(T::DitherAlgorithm, s.ImageDitherAlgorithm));
  }
  echo("Frame: " + IndexToKeyword(T::FrameType, s.DoFrame));
  if (s.DoFrame == 1) {
    echo("Frame left: " + std::to_string(s.SolidLeft));
    echo("Frame right: " + std::to_string(s.SolidRight));
    echo("Frame top: " + std::to_string(s.SolidTop));
    echo("Frame bottom: " + std::to_string(s.SolidBottom));
    echo("Frame left color: " + s.SolidLeftColor);
    echo("Frame right color: " + s.SolidRightColor);
    echo("Frame top color: " + s.SolidTopColor);
    echo("Frame bottom color: " + s.SolidBottomColor);
    echo("Frame opacity: " + std::to_string(s.SolidOpacity));
  }
  return std::string();
}

void EchoWatermark(const Settings& s, const EchoLine& echo) {
  echo("Watermark: " + IndexToKeyword(T::WatermarkType, s.DoWatermark));
  if (s.DoWatermark == 1) {
    echo("Watermark text: " + s.Text);
    echo("Watermark font: " + s.Font);
    echo("Watermark font size: " + std::to_string(s.FontSize));
    echo("Watermark font leading: " + std::to_string(s.FontLeading));
    echo("Watermark font color: " + s.FontColor);
    echo("Watermark font style: " + IndexToKeyword(T::FontStyle, s.FontStyle));
    echo("Watermark font effect: " + IndexToKeyword(T::FontEffect, s.FontEffect));
    echo("Watermark text antialiasing: " + std::to_string(s.TextAntialiasing));
    echo("Watermark text alignment: " + IndexToKeyword(T::TextAlignment, s.TextAlignment));
    echo("Watermark text padding: " + std::to_string(s.TextPadding));
    echo("Watermark text opacity: " + std::to_string(s.TextOpacity));
    echo("Watermark background color: " + s.BackColor);
    echo("Watermark background opacity: " + std::to_string(s.BackOpacity));
    echo("Watermark boundary: " + IndexToKeyword(T::Boundary, s.TextBoundary));
    echo("Watermark position: " + IndexToKeyword(T::Position, s.TextPosition));
    echo("Watermark offset (x/y): " + std::to_string(s.TextXOffset) + "/" + std::to_string(s.TextYOffset));
    echo("Watermark rotation: " + std::to_string(s.TextRotation));
    echo("Watermark size/mode: " + IndexToKeyword(T::SizeMode, s.TextSize));
  } else if (s.DoWatermark == 2) {
    echo("Watermark image: " + s.Image);
    echo("Watermark greyscale: " + std::to_string(s.ImageGreyscale));
    echo("Watermark opacity: " + std::to_string(s.ImageOpacity));
    echo("Watermark boundary: " + IndexToKeyword(T::Boundary, s.ImageBoundary));
    echo("Watermark position: " + IndexToKeyword(T::Position, s.ImagePosition));
    echo("Watermark offset (x/y): " + std::to_string(s.ImageXOffset) + "/" + std::to_string(s.ImageYOffset));
    echo("Watermark rotation: " + std::to_string(s.WatermarkImageRotation));
    echo("Watermark size/mode: " + IndexToKeyword(T::SizeMode, s.ImageSize));
  }
}

void EchoAdvanced(const Settings& s, const EchoLine& echo) {
  echo("Filename Mask: " + s.FilenameMask);
  echo("File Timestamp: " + IndexToKeyword(T::FileTimestamp, s.FileTimestamp));
  if (s.FileTimestamp == 2) echo("Custom Timestamp: " + std::to_string(s.CustomTimestamp));
  echo("Keep Subfolders: " + std::to_string(s.KeepSubfolders));
}

}  // namespace ravelin
