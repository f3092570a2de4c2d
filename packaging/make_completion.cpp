// Writes the bash completion of ravelin into the file named by its parameter, from the program's own help text
// and option table: every option, the keywords of the keyword options and file names where a
// value names a file or a folder.
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "packaging/option_catalog.h"
#include "platform/product.h"

namespace ravelin {
namespace {

// The options whose value is a file or a folder, by any of their names.
struct PathOption {
  const char* name;
  const char* compgenAction;
};
const PathOption kPathOptions[] = {
    {"-i", "-f"}, {"--input", "-f"}, {"--profile", "-f"}, {"--wm-image", "-f"},
    {"-o", "-d"}, {"--output", "-d"},
};

std::string Join(const std::vector<std::string>& words, const std::string& separator) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
  return out;
}

void WriteCompletion() {
  const std::string program = kProgramWord;
  const std::string function = "_" + program;
  const HelpSummary help = ReadHelp(program);
  const std::vector<TableOption> table = ReadOptionTable();

  // Offered words: long options that take a value end in "=".
  std::vector<std::string> words;
  std::set<std::string> seen;
  std::vector<std::string> separateValue;  // short options whose value is the next word
  for (const HelpOption& option : help.options) {
    for (const std::string& name : option.names) {
      const bool isLong = name.compare(0, 2, "--") == 0;
      const std::string word = name + (isLong && !option.argument.empty() ? "=" : "");
      if (seen.insert(name).second) words.push_back(word);
      if (!isLong && !option.argument.empty()) separateValue.push_back(name);
    }
  }
  for (const TableOption& option : table) {
    if (seen.insert(option.name).second) {
      words.push_back(option.name + (option.kind == ValueKind::Flag ? "" : "="));
    }
  }

  std::cout << "# bash completion for " << program << ", written at build time from its option table.\n"
            << "# Options match in any letter case; keyword values are offered in lower case.\n\n"
            << function << "_values() {\n"
            << "  local option=$1 value=$2\n"
            << "  case ${option,,} in\n";
  for (const PathOption& path : kPathOptions) {
    std::cout << "    " << path.name << ")\n"
              << "      compopt -o filenames 2>/dev/null\n"
              << "      COMPREPLY=($(compgen " << path.compgenAction << " -- \"$value\"));;\n";
  }
  for (const TableOption& option : table) {
    if (option.keywords.empty()) continue;
    std::cout << "    " << option.name << ")\n"
              << "      COMPREPLY=($(compgen -W '" << Join(option.keywords, " ") << "' -- \"${value,,}\"));;\n";
  }
  std::cout << "    *) COMPREPLY=();;\n"
            << "  esac\n"
            << "}\n\n"
            << function << "() {\n"
            << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=\n"
            << "  (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}\n"
            << "  COMPREPLY=()\n"
            << "  # \"--name=value\" as one word, or split at \"=\" when it is a word break.\n"
            << "  if [[ $cur == --*=* ]]; then\n"
            << "    " << function << "_values \"${cur%%=*}\" \"${cur#*=}\"\n"
            << "    local i\n"
            << "    for i in \"${!COMPREPLY[@]}\"; do COMPREPLY[i]=\"${cur%%=*}=${COMPREPLY[i]}\"; done\n"
            << "    return\n"
            << "  fi\n"
            << "  if [[ $cur == = ]]; then " << function << "_values \"$prev\" \"\"; return; fi\n"
            << "  if [[ $prev == = ]] && (( COMP_CWORD > 1 )); then\n"
            << "    " << function << "_values \"${COMP_WORDS[COMP_CWORD-2]}\" \"$cur\"\n"
            << "    return\n"
            << "  fi\n"
            << "  case ${prev,,} in\n"
            << "    " << Join(separateValue, "|") << ")\n"
            << "      " << function << "_values \"$prev\" \"$cur\"\n"
            << "      return;;\n"
            << "  esac\n"
            << "  if [[ $cur == -* ]]; then\n"
            << "    COMPREPLY=($(compgen -W '" << Join(words, " ") << "' -- \"${cur,,}\"))\n"
            << "    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null\n"
            << "  else\n"
            << "    compopt -o filenames 2>/dev/null\n"
            << "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
            << "  fi\n"
            << "}\n\n"
            << "complete -F " << function << " " << program << "\n";
}

}  // namespace
}  // namespace ravelin

int main(int argc, char** argv) {
  if (argc != 2 || std::freopen(argv[1], "w", stdout) == nullptr) {
    std::fprintf(stderr, "usage: make_completion OUTPUT\n");
    return 2;
  }
  ravelin::WriteCompletion();
  std::cout.flush();
  return std::cout.good() && std::fflush(stdout) == 0 ? 0 : 1;
}
