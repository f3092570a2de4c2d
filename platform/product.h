// The product's fixed identity: names, version number, the maker's notice and addresses.
// Every layer may read these; nothing here changes at run time.
#pragma once

namespace ravelin {

inline constexpr char kProductName[] = "Veltrano BMP to PSD";
// Folder name, help file, update file and temporary-file prefix.
inline constexpr char kProgramWord[] = "ravelin";
// Desktop entry, icon and metainfo name, and the window's app id (the build reads it from here).
inline constexpr char kAppId[] = "example.veltrano.ravelin";
// One decimal digit each for major, minor and patch level.
inline constexpr int kVersionNumber = 260;
inline constexpr char kMakerNotice[] = "\xC2\xA9 2004-2026 Veltrano Software";

inline constexpr char kWebSite[] = "https://www.veltrano.example";
inline constexpr char kUpdateDataAddress[] = "http://update.veltrano.example/files/ravelin.dat";
inline constexpr char kSupportAddress[] = "support@veltrano.example";
// Paths on the web site: the converter search ("/find/" + from + "-" + to + "/") and the
// uninstall page.
inline constexpr char kSearchPagePath[] = "/find/";
inline constexpr char kUninstallPagePath[] = "/ravelin/uninstall.html";
// Tests point the update check at a server of their own through this variable.
inline constexpr char kUpdateAddressVariable[] = "RAVELIN_UPDATE_URL";

}  // namespace ravelin
