// The process's first steps, taken by start-up before anything else is opened: descriptors 0
// to 2 are made to exist, and a reader that went away no longer kills the process.
#pragma once

namespace ravelin {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so no file the program
// opens later (the lock file, an output) can take their place and receive printed lines.
void OpenStandardDescriptors();

// Printing into a pipe whose reader has gone gives an error the console drops, instead of
// SIGPIPE ending the conversion part-way.
void IgnoreBrokenPipes();

// The processor cores this process may run on (at least 1).
unsigned UsableCores();

}  // namespace ravelin
