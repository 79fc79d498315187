#pragma once
// The command lines of the desktop's dialog programs (zenity, kdialog) for a file or colour
// choice, and the reading of their answers. Texts here are UTF-8, as the programs take them.
#include <optional>
#include <string>
#include <vector>

#include "gfx/bitmap.h"

namespace tolmeo {

enum class DialogProgram { Zenity, Kdialog };

struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};

// "name|pattern[;pattern]|name|pattern..." as pairs; a name without patterns is dropped.
std::vector<FileFilter> ParseFilter(const std::string& filter);
// A pattern that matches letters in either case, as the filters of the original desktop did:
// "*.hex" also shows "BOOT.HEX".
std::string EitherCase(const std::string& pattern);

// The X window the dialog belongs to (kept above it by the window manager); none when unknown.
using ParentWindow = std::optional<unsigned long>;

struct FileChoice {
  std::string title;
  std::string initial_folder;  // may be empty
  std::vector<FileFilter> filters;
  bool save = false;
  ParentWindow parent;
};

std::vector<std::string> FileDialogCommand(DialogProgram program, const FileChoice& choice);
std::vector<std::string> ColorDialogCommand(DialogProgram program, Color initial, ParentWindow parent);

// The chosen path from a dialog program's output (one line); nullopt when it printed none.
std::optional<std::string> PathFromOutput(const std::string& output);
// The colour from "#rrggbb", "#rrrrggggbbbb", "rgb(r,g,b)" or "rgba(r,g,b,a)".
std::optional<Color> ColorFromOutput(const std::string& output);

}  // namespace tolmeo
