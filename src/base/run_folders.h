#pragma once
// Where Tolmeo finds what it ships and keeps what the user changes. In the build's run folder
// both are the executable's own folder, as they always were. Installed (bin/tolmeo beside
// share/tolmeo/), the shipped data is read from ../share/tolmeo and never written; the user's
// files live under $XDG_CONFIG_HOME/tolmeo/ (~/.config/tolmeo/ when it is not set).
#include <optional>
#include <string>
#include <string_view>

namespace tolmeo {

// The shipped data: descriptions, fonts, bitmaps, pictures, help, the shipped options. CP949,
// ending in '/'.
const std::string& DataFolder();

// True when the user's files are kept apart from the data: an installed Tolmeo, or a data
// folder the user may not write.
bool StateApartFromData();

// Where the user's files go: DataFolder() itself, or the per-user folder (made when missing).
std::string StateFolder();

// The user's copy of DataFolder() + relative: the same file in the run folder; apart, the file
// below StateFolder(), which starts as a copy of the shipped one when nothing is there yet.
std::string StateFile(std::string_view relative);

// The user's folder that shadows DataFolder() + relative (made when missing); none when the
// user's files and the data are one folder.
std::optional<std::string> ShadowFolder(std::string_view relative);

}  // namespace tolmeo
