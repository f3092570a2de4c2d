// The record of one conversion run, shared by the front ends, the batch worker, the
// pipeline, the bit-depth step and output naming, and the job state kept beside it.
#pragma once

#include <string>

namespace ravelin {

struct JobContext {
  std::string InputPath;     // full path of the current input file
  std::string SubFolder;     // relative subfolder of the entry: empty, or ending in "/"
  std::string OutputFolder;  // ending in "/"
  std::string OutputExt;     // "psd"
  int TargetBpp = 0;         // 0 means automatic
  bool AutoBpp = false;      // the bit-depth step chooses TargetBpp anew for every file
  int SourceBpp = 0;         // bits per pixel of the image as loaded
  int MaskWidth = 0;         // size after rotation and resizing, for the filename mask
  int MaskHeight = 0;
  int MaskFrame = 1;
  std::string OutputPath;
  std::string TempPath;
  int RandomValue = 1;       // the "%rnd%" token, 1 to 99999
  int Counter = 1;           // the "%n%" token

  // Job state kept beside the record.
  bool ConsoleRun = false;   // an input option was given on the command line
  std::string BaseFolder;    // holds the command-line input path until the console run starts
  std::string InputFormat;   // set by the console run
};

}  // namespace ravelin
