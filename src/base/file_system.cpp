#include "base/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/cp949.h"

namespace tolmeo {
namespace {

std::filesystem::path NativePath(const std::string& cp949_path) {
  return std::filesystem::path(Utf8FromCp949(cp949_path));
}

std::string RealExeFolder() {
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return Cp949FromUtf8(exe.parent_path().string()) + "/";
}

std::string& ExeFolderOverride() {
  static std::string folder;
  return folder;
}

Failure SystemFailure(std::string_view what, const std::string& cp949_path) {
  return Failure{std::string(what) + " " + cp949_path + ": " + Cp949FromUtf8(std::strerror(errno))};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

const std::string& ExeFolder() {
  static const std::string real = RealExeFolder();
  const std::string& override_folder = ExeFolderOverride();
  return override_folder.empty() ? real : override_folder;
}

void SetExeFolderForTesting(const std::string& cp949_folder) {
  std::string folder = cp949_folder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  ExeFolderOverride() = folder;
}

bool FileExists(const std::string& cp949_path) {
  std::error_code error;
  return std::filesystem::is_regular_file(NativePath(cp949_path), error);
}

Result<std::string> ReadWholeFile(const std::string& cp949_path) {
  if (!FileExists(cp949_path)) return Failure{"no file " + cp949_path};
  std::ifstream in(NativePath(cp949_path), std::ios::binary);
  if (!in) return SystemFailure("cannot open", cp949_path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return SystemFailure("cannot read", cp949_path);
  return bytes;
}

Status WriteWholeFile(const std::string& cp949_path, std::string_view bytes) {
  std::string native = NativePath(cp949_path).string();
  std::string temporary = native + ".tmp-XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return SystemFailure("cannot create", cp949_path);
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int saved_errno = errno;
  ::fchmod(fd, 0644);
  if (::close(fd) != 0) written = false;
  if (!written || std::rename(temporary.c_str(), native.c_str()) != 0) {
    if (written) saved_errno = errno;
    ::unlink(temporary.c_str());
    errno = saved_errno;
    return SystemFailure("cannot write", cp949_path);
  }
  return Success();
}

std::vector<std::string> ListFolder(const std::string& cp949_folder, std::string_view extension) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(NativePath(cp949_folder), error);
  if (error) return names;
  const std::string suffix = "." + std::string(extension);
  for (const auto& entry : it) {
    if (!entry.is_regular_file(error)) continue;
    std::string name = Cp949FromUtf8(entry.path().filename().string());
    if (name.size() > suffix.size() && name.ends_with(suffix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CutAtLastDot(std::string_view name) {
  auto dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace tolmeo
