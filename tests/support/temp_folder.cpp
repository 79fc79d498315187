#include "support/temp_folder.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/cp949.h"

namespace tolmeo::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolmeo-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Cp949Path() const { return Cp949FromUtf8(path_.string()) + "/"; }

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  auto file = path_ / std::string(name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return Cp949FromUtf8(file.string());
}

std::string TempFolder::Read(std::string_view name) const {
  std::ifstream in(path_ / std::string(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tolmeo::testing
