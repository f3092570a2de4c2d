// The format tables of the converter family: every input extension the family can read
// (grouped into format families), every output format it can write with its allowed bits per
// pixel, and the two active lists that say which of them this converter offers ("bmp" in,
// "psd" out). Start-up, the command-line run, the settings and the windows derive every
// format check, file-dialog filter and format choice from here. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin {

// The active extension lists; they are fixed for the life of the program and their first
// entries are the defaults of Input `Format` and Output `Format`.
const std::vector<std::string>& ActiveInputExtensions();
const std::vector<std::string>& ActiveOutputExtensions();

// Bucket of a text in the format hash maps (512 buckets): h = h * 65599 + UTF-16 code unit,
// 32-bit unsigned, then h modulo 512.
inline constexpr uint32_t kFormatBuckets = 512;
uint32_t FormatBucket(std::string_view text);

// Fills the input format table (its hash map) from scratch and the accepted input
// extensions with it. Called once at start-up by either mode.
void BuildFormatTables();
// Recomputes the accepted input extensions: every extension of the input table whose family
// is an active input extension, in the table's walking order.
void RebuildAcceptedInputExtensions();
const std::vector<std::string>& AcceptedInputExtensions();
// Exact comparison: the caller lowers the extension first.
bool IsAcceptedInputExtension(std::string_view ext);

// Input table lookups; "" for an extension the table does not hold.
std::string InputFormatFamily(std::string_view ext);
std::string InputFormatDescription(std::string_view ext);
// All extensions of the input table in walking order (buckets ascending, each front to back).
std::vector<std::string> InputTableExtensions();

// True when `text` is an active output extension, letter case included ("PSD" is not).
bool IsOutputExtension(std::string_view text);
// Output table lookups; "" and an empty list for an extension the table does not hold.
std::string OutputFormatDescription(std::string_view ext);
std::string AllowedBppText(std::string_view ext);
std::vector<int> AllowedBitDepths(std::string_view ext);
// True for 0 (automatic) or one of the extension's allowed bits per pixel.
bool IsValidBpp(std::string_view ext, int bpp);
size_t OutputTableSize();

// The filter of the "Select Input Files" dialog: fields separated by "|", taken from the
// accepted extensions, their descriptions and the process-wide language table.
std::string InputFileFilter();

}  // namespace ravelin
