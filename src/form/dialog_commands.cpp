#include "form/dialog_commands.h"

#include <cctype>
#include <cstdio>

namespace tolmeo {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : separator) + part;
  return joined;
}

std::vector<std::string> EitherCasePatterns(const FileFilter& filter) {
  std::vector<std::string> patterns;
  for (const std::string& pattern : filter.patterns) patterns.push_back(EitherCase(pattern));
  return patterns;
}

std::string HexColor(Color color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  return text;
}

Color FromChannels(unsigned red, unsigned green, unsigned blue) {
  return static_cast<Color>(red | (green << 8) | (blue << 16));
}

// The program's name, then the option that attaches its dialog to the parent window.
std::vector<std::string> Program(DialogProgram program, ParentWindow parent) {
  std::vector<std::string> command;
  if (program == DialogProgram::Zenity) {
    command.push_back("zenity");
    if (parent) command.push_back("--attach=" + std::to_string(*parent));
  } else {
    command.push_back("kdialog");
    if (parent) command.insert(command.end(), {"--attach", std::to_string(*parent)});
  }
  return command;
}

std::vector<std::string> ZenityFileCommand(const FileChoice& choice) {
  std::vector<std::string> command = Program(DialogProgram::Zenity, choice.parent);
  command.insert(command.end(), {"--file-selection", "--title=" + choice.title});
  if (choice.save) command.push_back("--save");
  if (!choice.initial_folder.empty()) {
    std::string folder = choice.initial_folder;
    if (folder.back() != '/') folder += '/';  // a trailing slash opens the folder itself
    command.push_back("--filename=" + folder);
  }
  for (const FileFilter& filter : choice.filters) {
    command.push_back("--file-filter=" + filter.name + " | " + Join(EitherCasePatterns(filter), " "));
  }
  return command;
}

std::vector<std::string> KdialogFileCommand(const FileChoice& choice) {
  std::vector<std::string> filters;
  for (const FileFilter& filter : choice.filters) {
    filters.push_back(Join(EitherCasePatterns(filter), " ") + "|" + filter.name);
  }
  std::vector<std::string> command = Program(DialogProgram::Kdialog, choice.parent);
  command.insert(command.end(), {"--title", choice.title, choice.save ? "--getsavefilename" : "--getopenfilename",
                                 choice.initial_folder.empty() ? "." : choice.initial_folder, Join(filters, "\n")});
  return command;
}

}  // namespace

std::vector<FileFilter> ParseFilter(const std::string& filter) {
  std::vector<FileFilter> filters;
  if (filter.empty()) return filters;
  std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter entry{parts[i], {}};
    for (const std::string& pattern : Split(parts[i + 1], ';')) {
      if (!pattern.empty()) entry.patterns.push_back(pattern);
    }
    if (!entry.patterns.empty()) filters.push_back(std::move(entry));
  }
  return filters;
}

std::string EitherCase(const std::string& pattern) {
  std::string result;
  for (char c : pattern) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte) && byte < 0x80) {
      result += '[';
      result += static_cast<char>(std::tolower(byte));
      result += static_cast<char>(std::toupper(byte));
      result += ']';
    } else {
      result += c;
    }
  }
  return result;
}

std::vector<std::string> FileDialogCommand(DialogProgram program, const FileChoice& choice) {
  return program == DialogProgram::Zenity ? ZenityFileCommand(choice) : KdialogFileCommand(choice);
}

std::vector<std::string> ColorDialogCommand(DialogProgram program, Color initial, ParentWindow parent) {
  std::vector<std::string> command = Program(program, parent);
  if (program == DialogProgram::Zenity) {
    command.insert(command.end(), {"--color-selection", "--color=" + HexColor(initial)});
  } else {
    command.insert(command.end(), {"--getcolor", "--default", HexColor(initial)});
  }
  return command;
}

std::optional<std::string> PathFromOutput(const std::string& output) {
  std::string path = output.substr(0, output.find('\n'));
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<Color> ColorFromOutput(const std::string& output) {
  std::string text = output.substr(0, output.find('\n'));
  unsigned red = 0, green = 0, blue = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "rgb(%u,%u,%u%c", &red, &green, &blue, &end) == 4 && end == ')') {
    if (red < 256 && green < 256 && blue < 256) return FromChannels(red, green, blue);
    return std::nullopt;
  }
  if (std::sscanf(text.c_str(), "rgba(%u,%u,%u,", &red, &green, &blue) == 3) {
    if (red < 256 && green < 256 && blue < 256) return FromChannels(red, green, blue);
    return std::nullopt;
  }
  bool hex = text.size() > 1 && text[0] == '#' &&
             text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
  std::size_t digits = text.size() - 1;
  if (!hex || (digits != 6 && digits != 12)) return std::nullopt;
  std::size_t width = digits / 3;  // 2 or 4 digits a channel; the top two count
  auto channel = [&](std::size_t index) {
    return static_cast<unsigned>(std::stoul(text.substr(1 + index * width, 2), nullptr, 16));
  };
  return FromChannels(channel(0), channel(1), channel(2));
}

}  // namespace tolmeo
