// The thin file layer: sizes, folders, renames and dates, with UTF-8 paths.
// Called by the engine, the front ends and start-up; nothing here reports to the user.
#pragma once

#include <cstdint>
#include <string>

namespace ravelin {

// Size in bytes of a regular file; -1 for a missing path or a folder, so "not greater
// than 0" covers missing, folder and empty alike.
int64_t FileSize(const std::string& path);
bool IsDirectory(const std::string& path);

// The folder of the running executable (links resolved), ending in "/".
std::string ProgramFolder();
// The file name of the running executable without folder and extension.
std::string ProgramName();

// $XDG_CONFIG_HOME (or $HOME/.config) + "/" + vendor + "/" + program + "/", creating the
// missing levels; failures are not reported.
std::string AppDataFolder(const std::string& vendor, const std::string& program);

// POSIX rename over the target: replaces a read-only file in a writable folder.
bool RenameFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
// True when both paths name one existing file: the same device and inode (links and other
// spellings of the path included), or the very same path text.
bool SameFile(const std::string& a, const std::string& b);

// Sets the last-modification time from a local date value (seconds since 1970 counted in
// local time).
bool SetFileModificationTime(const std::string& path, int64_t localDate);
// Gives `to` the modification time of `from` exactly as it is (to the nanosecond), with no
// trip through local time.
bool CopyFileModificationTime(const std::string& from, const std::string& to);

// The folder part of a path: everything up to and including its last "/" (empty if none).
std::string FolderPart(const std::string& path);
// The file-name part: everything after the last "/".
std::string FileNamePart(const std::string& path);

}  // namespace ravelin
