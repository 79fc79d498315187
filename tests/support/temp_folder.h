#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// test ends.
#include <filesystem>
#include <string>
#include <string_view>

namespace tolmeo::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Native path (UTF-8), and the same as a CP949 path ending in '/' for the system's calls.
  const std::filesystem::path& path() const { return path_; }
  std::string Cp949Path() const;
  // Writes a file (name relative to the folder, UTF-8) and returns its CP949 path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace tolmeo::testing
