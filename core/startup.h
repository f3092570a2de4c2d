// Start-up and the run modes: initialises the libraries, takes the single-instance guard,
// hands the parameters to the command-line front end and runs the window mode when it asks.
#pragma once

#include <string>
#include <vector>

namespace ravelin {

// Runs the program with the parameters (the program name not included); the process exit
// code, which is always 0.
int RunProgram(const std::vector<std::string>& params);

}  // namespace ravelin
