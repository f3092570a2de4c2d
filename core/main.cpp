#include <string>
#include <vector>

#include "core/startup.h"

int main(int argc, char** argv) {
  const std::vector<std::string> params(argv + 1, argv + argc);
  return ravelin::RunProgram(params);
}
