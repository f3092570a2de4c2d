// A console that keeps the printed lines, for testing the front end as a function from
// parameters to settings and lines.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"

namespace ravelin::test {

class CaptureConsole final : public Console {
 public:
  void SetTitle(const std::string& title) override { titles.push_back(title); }
  void PrintLine(const std::string& line) override { lines.push_back(line); }
  void WaitForKey() override { ++keyWaits; }

  std::vector<std::string> titles;
  std::vector<std::string> lines;
  int keyWaits = 0;
};

}  // namespace ravelin::test
