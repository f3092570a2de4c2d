// Writes the manual page ravelin(1) in roff, from the program's own help
// text and option table. Run at build time, so the page always describes the program it ships
// with. Parameters: the file to write and the version text for the page header.
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "packaging/option_catalog.h"
#include "platform/product.h"

namespace ravelin {
namespace {

// Text as roff prints it literally: backslashes and hyphens escaped, no control character at
// the start of a line.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::string Bold(const std::string& text) { return "\\fB" + Roff(text) + "\\fR"; }
std::string Italic(const std::string& text) { return "\\fI" + Roff(text) + "\\fR"; }

std::string Sentence(std::string text) {
  if (!text.empty() && text.back() != '.' && text.back() != ')') text += '.';
  if (!text.empty() && text.back() == ')') text += '.';
  return text;
}

// "-i <filename> [options]": options bold, <names> and words in brackets in italics.
std::string UsageLine(const std::string& usage) {
  std::string out;
  size_t from = 0;
  while (from < usage.size()) {
    size_t end = usage.find(' ', from);
    if (end == std::string::npos) end = usage.size();
    const std::string word = usage.substr(from, end - from);
    if (!out.empty()) out += ' ';
    if (word.size() > 2 && word.front() == '<' && word.back() == '>') {
      out += Italic(word.substr(1, word.size() - 2));
    } else if (word.size() > 2 && word.front() == '[' && word.back() == ']') {
      out += "[" + Italic(word.substr(1, word.size() - 2)) + "]";
    } else if (!word.empty() && word.front() == '-') {
      out += Bold(word);
    } else {
      out += Roff(word);
    }
    from = end + 1;
  }
  return out;
}

std::string HelpOptionTerm(const HelpOption& option) {
  std::string term;
  for (const std::string& name : option.names) {
    if (!term.empty()) term += ", ";
    term += Bold(name);
    if (option.argument.empty()) continue;
    term += (name.compare(0, 2, "--") == 0 ? "=" : " ") + Italic(option.argument);
  }
  return term;
}

const char* ValueName(ValueKind kind) {
  switch (kind) {
    case ValueKind::Keyword: return "WORD";
    case ValueKind::Integer: return "NUM";
    case ValueKind::Real: return "NUM";
    case ValueKind::Text: return "STR";
    case ValueKind::Flag: return "";
  }
  return "";
}

std::string Join(const std::vector<std::string>& words, const std::string& separator) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
  return out;
}

void WriteTableOption(const TableOption& option, const std::map<std::string, std::string>& help) {
  std::cout << ".TP\n" << Bold(option.name);
  if (option.kind != ValueKind::Flag) std::cout << "=" << Italic(ValueName(option.kind));
  std::cout << "\n";
  const auto described = help.find(option.name);
  if (described != help.end()) std::cout << Roff(Sentence(described->second)) << "\n";
  std::string sets = "Sets " + Italic(option.settingKey);
  if (option.kind == ValueKind::Flag) sets += " to " + std::to_string(option.flagValue);
  if (!option.switchedKey.empty()) {
    sets += " and " + Italic(option.switchedKey) + " to " + std::to_string(option.switchedValue);
  }
  std::cout << sets << ".\n";
  if (option.kind == ValueKind::Keyword) {
    std::vector<std::string> words;
    for (const std::string& word : option.keywords) words.push_back(Bold(word));
    std::cout << (words.size() == 1 ? "The only value is " : "One of ") << Join(words, ", ") << ".\n";
  }
  if (option.kind == ValueKind::Text && option.defaultText.empty()) {
    std::cout << "Default: empty.\n";
  } else {
    std::cout << "Default: " << Roff(option.defaultText) << ".\n";
  }
  if (!option.profileName.empty()) {
    std::cout << "In a profile the key is " << Bold(option.profileName) << ".\n";
  }
}

void WriteManual(const std::string& version) {
  const std::string program = kProgramWord;
  const HelpSummary help = ReadHelp(program);
  const std::vector<TableOption> table = ReadOptionTable();
  std::map<std::string, std::string> tableNames;
  for (const TableOption& option : table) tableNames[option.name] = "";
  std::map<std::string, std::string> helpDescriptions;
  for (const HelpOption& option : help.options) {
    for (const std::string& name : option.names) helpDescriptions[name] = option.description;
  }

  std::cout << ".\\\" Written at build time from the program's help text and option table.\n"
            << ".TH RAVELIN 1 \"\" \"" << Roff(program + " " + version) << "\" \"User Commands\"\n"
            << ".SH NAME\n"
            << program << " \\- convert Windows bitmaps (BMP) into Photoshop documents (PSD)\n"
            << ".SH SYNOPSIS\n"
            << UsageLine(help.usage) << "\n.br\n" << Bold(program) << "\n"
            << ".SH DESCRIPTION\n"
            << Roff(kProductName) << " converts a Windows bitmap (BMP) into a Photoshop document (PSD).\n"
            << "Started without parameters, " << Bold(program) << " opens its window.\n"
            << "Started with " << Bold("-i") << ", it converts that one file in the terminal, into the folder\n"
            << "named by " << Bold("-o") << " or else the folder of the input file, and ends.\n"
            << ".PP\n"
            << "Options are matched in any letter case.\n"
            << "Long options take their value after an equals sign in the same parameter\n"
            << "(" << Bold("--width=640") << "); the short options " << Bold("-i") << ", " << Bold("-o")
            << " and " << Bold("-c") << "\ntake it from the next parameter.\n"
            << "A text value that begins with a double quote goes on over the following parameters\n"
            << "up to the one that ends with a double quote; the quotes are removed.\n"
            << "Parameters that are neither options nor their values are ignored.\n"
            << "Help and version are recognised only as the first parameter.\n"
            << ".PP\n"
            << "This converter reads BMP and writes PSD.\n"
            << "It shares its options with converters for other formats: those options are accepted\n"
            << "and stored, but of the per-format options only those of PSD output take effect.\n"
            << ".SH OPTIONS\n";
  for (const HelpOption& option : help.options) {
    bool inTable = false;
    for (const std::string& name : option.names) inTable = inTable || tableNames.count(name) != 0;
    if (inTable) continue;
    std::cout << ".TP\n" << HelpOptionTerm(option) << "\n" << Roff(Sentence(option.description)) << "\n";
  }

  std::cout << ".SH CONVERSION SETTINGS\n"
            << "Each of these options sets a field of the conversion settings, named here by its key in\n"
            << "the configuration file of the window mode; some also switch their feature on.\n"
            << "The same names are the keys of a profile (see\n.BR \"PROFILE FILES\" ).\n"
            << "Defaults are those of a run from the command line, which never reads the\n"
            << "configuration file.\n"
            << ".PP\n"
            << Italic("WORD") << " is a keyword of the list shown, in any letter case; a word not in the\n"
            << "list selects the first entry.\n"
            << Italic("NUM") << " is a decimal number; whole numbers may also be written as "
            << Bold("$") << " and hexadecimal digits\nor " << Bold("%")
            << " and binary digits; reading stops at the first other character.\n"
            << Italic("STR") << " is taken as written; colours are six hexadecimal digits "
            << Italic("RRGGBB") << ".\n";
  std::string group;
  for (const TableOption& option : table) {
    if (option.group != group) {
      group = option.group;
      std::cout << ".SS " << Roff(group) << "\n";
    }
    WriteTableOption(option, helpDescriptions);
  }

  std::cout << ".SH PROFILE FILES\n"
            << Bold("--profile=") << Italic("FILE")
            << " applies a profile where it stands in the command line; options after it\n"
            << "override it.\n"
            << "A profile is a text file in the syntax of the configuration file (UTF-8, or ISO-8859-1\n"
            << "when it is not valid UTF-8): group names in square brackets, then\n"
            << Italic("key") << " = " << Italic("value") << " lines.\n"
            << "Only the group " << Bold("[CLI]") << " is read, its name in any case.\n"
            << "Its keys are the options of\n.B \"CONVERSION SETTINGS\"\n"
            << "in any case, and each value loses its blanks at both ends.\n"
            << "Text values are taken whole; only " << Bold("--FILENAME-MASK")
            << " also loses double quotes at both ends.\n"
            << "A switch takes effect whatever its value.\n"
            << "Other keys are skipped, among them " << Bold("--INPUT") << ", " << Bold("--OUTPUT")
            << ", " << Bold("--CONVERSION") << " and " << Bold("--PROFILE") << ".\n"
            << "A profile that cannot be opened ends the run with " << Bold("Error: Invalid profile file") << ".\n"
            << ".PP\n"
            << "An example:\n"
            << ".PP\n.RS\n.nf\n"
            << "[CLI]\n"
            << Roff("--WIDTH = 800") << "\n"
            << Roff("--HEIGHT = 600") << "\n"
            << Roff("--RESIZE-ALGORITHM = lanczos") << "\n"
            << Roff("--WM-TEXT = Sample text") << "\n"
            << Roff("--FILENAME-MASK = \"%filename%_small.%ext%\"") << "\n"
            << ".fi\n.RE\n";

  std::cout << ".SH FILES\n"
            << ".TP\n" << Italic("$XDG_CONFIG_HOME/Veltrano/ravelin/config.ini") << "\n"
            << "The settings of the window mode, read at its start and written when it ends;\n"
            << "without " << Bold("XDG_CONFIG_HOME") << " the folder is " << Italic("~/.config")
            << ".\nA run from the command line neither reads nor writes it.\n"
            << ".TP\n" << Italic("prefix/lib/ravelin/") << "\n"
            << "The program folder: the program, its modules " << Bold("ravelin-marks.so")
            << " (frames and watermarks)\nand " << Bold("ravelin-gui.so")
            << " (the window), and the themes.\n"
            << Italic("prefix/bin/ravelin") << " is a link to the program, which finds its folder "
            << "through it.\n"
            << ".TP\n" << Italic("prefix/lib/ravelin/gfx/*.zip") << "\n"
            << "Icon themes of the window: ZIP archives of PNG pictures with a " << Bold("theme.cfg")
            << ".\n";

  std::cout << ".SH EXIT STATUS\n"
            << Bold(program) << " always ends with status 0.\n"
            << "A run from the command line reports a failure as a line beginning with\n"
            << Bold("Error:") << " or as " << Bold("Conversion stopped") << ".\n";

  std::cout << ".SH EXAMPLES\n";
  for (const std::string& example : help.examples) std::cout << ".PP\n.RS\n" << Roff(example) << "\n.RE\n";
  std::cout << ".PP\n.RS\n" << Roff(program + " -i photo.bmp --profile=small.ini --greyscale") << "\n.RE\n";
}

}  // namespace
}  // namespace ravelin

int main(int argc, char** argv) {
  if (argc != 3 || std::freopen(argv[1], "w", stdout) == nullptr) {
    std::fprintf(stderr, "usage: make_manual OUTPUT VERSION\n");
    return 2;
  }
  ravelin::WriteManual(argv[2]);
  std::cout.flush();
  return std::cout.good() && std::fflush(stdout) == 0 ? 0 : 1;
}
