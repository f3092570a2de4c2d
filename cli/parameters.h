// Reading the command line by position: the key and value of a parameter, and the value
// rules that the front end and the option table share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ravelin {

using Parameters = std::vector<std::string>;

// The parameter trimmed of spaces; for "--NAME=VALUE" the part before the first "=";
// for "-X" all of it; else empty. Upper-cased.
std::string ParameterKey(const Parameters& params, size_t position);
// The trimmed parameter; for "--NAME=VALUE" the text after the first "=". Past the end: "".
std::string ParameterValue(const Parameters& params, size_t position);

// A same-parameter value (every valued long option): false when it is empty or begins
// with "--" (the caller reports "Incorrect number of parameters").
bool ReadSameParameterValue(const Parameters& params, size_t position, std::string* value);

// Quote joining: a value that opens a double quote and does not close it takes the
// following parameters (one blank between) until one ends with a quote, advancing
// *position; then the runs of double quotes at both ends are removed.
std::string JoinQuoted(const Parameters& params, size_t* position, std::string value);
// Removes the runs of double quotes at both ends; quotes inside stay.
std::string StripQuotesAtEnds(const std::string& value);

}  // namespace ravelin
