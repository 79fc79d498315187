#include "base/run_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/cp949.h"
#include "base/file_system.h"

namespace tolmeo {
namespace {

// The installed layout: PREFIX/bin/tolmeo reads PREFIX/share/tolmeo/.
std::string FindDataFolder(const std::string& exe_folder) {
  std::optional<std::string> native = ExactUtf8FromCp949(exe_folder + "../share/tolmeo");
  if (!native) return exe_folder;
  std::error_code error;
  std::filesystem::path installed = std::filesystem::canonical(*native, error);
  if (error || !std::filesystem::is_directory(installed, error)) return exe_folder;
  return ReachableFolder(installed.string());
}

bool Writable(const std::string& cp949_folder) {
  std::optional<std::string> native = ExactUtf8FromCp949(cp949_folder);
  return native && ::access(native->c_str(), W_OK) == 0;
}

// The XDG configuration home, native: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config; empty when the user has no home at all.
std::string NativeConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/') {
    return std::string(entry->pw_dir) + "/.config";
  }
  return {};
}

void MakeFolders(const std::string& cp949_folder) {
  if (std::optional<std::string> native = ExactUtf8FromCp949(cp949_folder)) {
    std::error_code error;
    std::filesystem::create_directories(*native, error);  // a failure shows at the first save
  }
}

// Nothing at all at the path, not even a dangling link: only then is a seed copy put there.
bool NothingAt(const std::string& cp949_path) {
  std::optional<std::string> native = ExactUtf8FromCp949(cp949_path);
  std::error_code error;
  return native && !std::filesystem::exists(std::filesystem::symlink_status(*native, error));
}

std::string FolderOf(const std::string& cp949_path) {
  return cp949_path.substr(0, cp949_path.rfind('/') + 1);
}

}  // namespace

const std::string& DataFolder() {
  // Tests move the executable's folder; the lookup follows it.
  static std::string exe_folder;
  static std::string data_folder;
  if (exe_folder != ExeFolder() || data_folder.empty()) {
    exe_folder = ExeFolder();
    data_folder = FindDataFolder(exe_folder);
  }
  return data_folder;
}

bool StateApartFromData() { return DataFolder() != ExeFolder() || !Writable(DataFolder()); }

std::string StateFolder() {
  if (!StateApartFromData()) return DataFolder();
  std::string config_home = NativeConfigHome();
  if (config_home.empty()) return DataFolder();  // nowhere else to go: saves then say why not
  std::string native = config_home + "/tolmeo";
  // A folder reached through a descriptor is opened once per folder, not once per call.
  static std::string last_native;
  static std::string last_folder;
  if (native != last_native) {
    std::error_code error;
    std::filesystem::create_directories(native, error);
    last_native = native;
    last_folder = ReachableFolder(native);
  }
  return last_folder;
}

std::string StateFile(std::string_view relative) {
  std::string shipped = DataFolder() + std::string(relative);
  if (!StateApartFromData()) return shipped;
  std::string own = StateFolder() + std::string(relative);
  MakeFolders(FolderOf(own));
  if (NothingAt(own) && FileExists(shipped)) {
    if (Result<std::string> bytes = ReadWholeFile(shipped)) (void)WriteWholeFile(own, *bytes);
  }
  return own;
}

std::optional<std::string> ShadowFolder(std::string_view relative) {
  if (!StateApartFromData()) return std::nullopt;
  std::string folder = StateFolder() + std::string(relative);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  MakeFolders(folder);
  return folder;
}

}  // namespace tolmeo
