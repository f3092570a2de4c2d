// The one record of all options of the converter and its windows, grouped and named as the
// configuration file groups and keys them. Every layer above reads its fields directly;
// the configuration file, the option table and the preferences window write them.
#pragma once

#include <cstdint>
#include <string>

namespace ravelin {

// Value kinds of the record: flags, choices and small numbers are 8-bit, choice32 and int
// are 32-bit, dates are seconds since 1970 counted in local time.
using Flag = int8_t;
using Choice = int8_t;
using Choice32 = int32_t;
using Small = int8_t;
using Date = int32_t;

struct Settings {
  // General
  int32_t CFG = 19;
  std::string Language = "en";
  int32_t UpdateRange = 2;
  Date UpdateDate = 0;
  Flag SaveWindowPosition = 1;

  // Window
  Flag IsMaximized = 0;
  int32_t Width = 510;
  int32_t Height = 260;
  int32_t X = 100;
  int32_t Y = 100;

  // Interface
  std::string UITheme = "handdrawn";
  int32_t UISize = 2;

  // Input
  std::string InputFormat = "bmp";
  Choice32 DDSLoadAs = 0;
  Choice32 GIFFrameLoading = 0;
  Choice32 ICOFrameLoading = 0;
  Choice32 TIFFFrameLoading = 0;
  Choice32 PSDColorMode = 0;
  Choice32 RAWLoadAs = 0;
  int32_t RAWHeaderSize = 0;
  int32_t RAWImageWidth = 0;
  int32_t RAWImageHeight = 0;
  Choice32 RAWToneMapping = 2;

  // Output
  std::string OutputFormat = "psd";
  int32_t BMPBPP = 0;
  int32_t DDSBPP = 0;
  int32_t EXRBPP = 0;
  int32_t GIFBPP = 0;
  int32_t HDRBPP = 0;
  int32_t ICOBPP = 0;
  int32_t J2KBPP = 0;
  int32_t JNGBPP = 0;
  int32_t JP2BPP = 0;
  int32_t JPGBPP = 0;
  int32_t JXRBPP = 0;
  int32_t PBMBPP = 0;
  int32_t PCXBPP = 0;
  int32_t PFMBPP = 0;
  int32_t PGMBPP = 0;
  int32_t PNGBPP = 0;
  int32_t PPMBPP = 0;
  int32_t PSDBPP = 0;
  int32_t TGABPP = 0;
  int32_t TIFFBPP = 0;
  int32_t WBMPBPP = 0;
  int32_t WEBPBPP = 0;
  int32_t XPMBPP = 0;
  Choice32 BMPCompression = 0;
  Choice32 BMPColorTable = 0;
  Choice32 EXRCompression = 0;
  int32_t JPGQuality = 95;
  Choice32 JPGChroma = 0;
  Choice32 JPGSaveAs = 0;
  Choice32 PNGCompression = 0;
  Flag PNGInterlaced = 0;
  Choice32 TGACompression = 0;
  Choice32 TIFFCompression = 0;
  Choice32 TIFFColorMode = 0;
  int32_t WEBPQuality = 100;

  // Transform
  Flag DoImageRotation = 0;
  Choice ImageRotationType = 0;
  int32_t ImageRotation = 0;
  std::string ImageRotationBackColor = "000000";
  Flag DoImageResize = 0;
  int32_t ImageWidth = 0;
  Choice ImageWidthUnit = 0;
  int32_t ImageHeight = 0;
  Choice ImageHeightUnit = 0;
  Flag KeepAspectRatio = 1;
  Choice ImageResizeType = 0;
  Choice ImageResizeAlgorithm = 3;
  Flag DoImageFlipHorizontal = 0;
  Flag DoImageFlipVertical = 0;

  // Adjustment
  Flag DoImageColorCorrection = 0;
  int32_t ImageBrightness = 0;
  int32_t ImageContrast = 0;
  float ImageGamma = 1.0f;
  Flag ImageInvert = 0;
  Flag DoImageGreyscale = 0;
  Flag DoImageThreshold = 0;
  int32_t ImageThreshold = 0;
  Flag DoImageDither = 0;
  Choice ImageDitherAlgorithm = 0;

  // Frame
  Choice DoFrame = 0;
  int32_t SolidLeft = 0;
  int32_t SolidRight = 0;
  int32_t SolidTop = 0;
  int32_t SolidBottom = 0;
  std::string SolidLeftColor = "000000";
  std::string SolidRightColor = "000000";
  std::string SolidTopColor = "000000";
  std::string SolidBottomColor = "000000";
  int32_t SolidOpacity = 255;

  // Watermark
  Choice DoWatermark = 0;
  std::string Text;  // the maker's notice after a reset
  std::string Fonts = "Arial,Tahoma,Verdana";
  std::string Font = "Arial";
  int32_t FontSize = 14;
  int32_t FontLeading = 0;
  std::string FontColors = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  std::string FontColor = "FFFFFF";
  Choice FontStyle = 0;
  Choice FontEffect = 0;
  Flag TextAntialiasing = 0;
  Choice TextAlignment = 0;
  int32_t TextPadding = 0;
  int32_t TextOpacity = 255;
  std::string BackColors = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  std::string BackColor = "000000";
  int32_t BackOpacity = 1;
  Choice TextBoundary = 0;
  Choice TextPosition = 8;
  int32_t TextXOffset = 10;
  int32_t TextYOffset = 10;
  int32_t TextRotation = 0;
  Choice TextSize = 0;
  int32_t TextScale = 10;
  std::string Image;
  Flag ImageGreyscale = 0;
  int32_t ImageOpacity = 255;
  Choice ImageBoundary = 0;
  Choice ImagePosition = 8;
  int32_t ImageXOffset = 10;
  int32_t ImageYOffset = 10;
  // Key "Image Rotation" of group Watermark (Transform has a key of the same name).
  int32_t WatermarkImageRotation = 0;
  Choice ImageSize = 0;
  int32_t ImageScale = 10;

  // Advanced
  std::string FilenameMask = "%filename%.%ext%";
  Choice FileTimestamp = 0;
  Date CustomTimestamp = 0;
  Flag OutFoldersHistory = 1;
  Small OutFoldersNumber = 5;
  Flag KeepSubfolders = 1;

  // File
  std::string RecentOutFolders;  // TAB-separated
  std::string RecentFiles;

  // Privacy
  Flag CleanRecentFiles = 0;

  // Not an option: the full path of config.ini, set by the window-mode start-up.
  std::string ConfigPath;
};

// The primary desktop's size, for centring the main window; 0 x 0 when there is none.
struct DesktopSize {
  int width = 0;
  int height = 0;
};

// Sets every option to its default. The command-line flavour leaves `Keep Aspect Ratio`
// off; the window flavour switches it on. "Now" is the local date value of this moment.
void ResetSettings(Settings& settings, bool commandLineMode, DesktopSize desktop = {});

// Builds the maker's notice with the program's year range; also the default watermark text.
std::string MakerNotice();

}  // namespace ravelin
