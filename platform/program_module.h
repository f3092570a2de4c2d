// Loads the program's own loadable modules (the frame and watermark drawing, the window mode)
// from the program folder. Each module exports one entry that returns its table of functions,
// whose first member is the table's version number.
#pragma once

#include <string>

namespace ravelin {

// Opens ProgramFolder() + name and calls its entry; a program below the build folder (a test
// program) also tries the build folder, where the modules are built. Returns the module's table
// when its version is `version`, the module then staying loaded for the rest of the process;
// otherwise null, with `why` saying what went wrong with the program folder's copy.
const void* LoadProgramModule(const std::string& name, const char* entry, int version,
                              std::string* why);

}  // namespace ravelin
