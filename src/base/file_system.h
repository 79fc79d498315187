#pragma once
// The file-system boundary. Paths inside Tolmeo are CP949 texts with '/' separators; they
// become UTF-8 here and nowhere else.
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tolmeo {

// The folder of the running executable, CP949, ending in '/'. Data files are found from here.
const std::string& ExeFolder();
// Tests and tools point the run folder elsewhere; an empty folder restores the real one.
void SetExeFolderForTesting(const std::string& cp949_folder);

bool FileExists(const std::string& cp949_path);

// The whole file, or why it could not be read.
Result<std::string> ReadWholeFile(const std::string& cp949_path);

// Writes the file whole or not at all: a temporary file beside it, flushed, then renamed over
// the old one, so a crash in the middle leaves the old file as it was.
Status WriteWholeFile(const std::string& cp949_path, std::string_view bytes);

// Names (CP949) of the plain files directly in folder whose name ends in "." + extension,
// sorted by name so the order is the same on every file system. Sub-folders are skipped.
std::vector<std::string> ListFolder(const std::string& cp949_folder, std::string_view extension);

// The name up to its last '.', or the whole name when it has none.
std::string CutAtLastDot(std::string_view name);

}  // namespace tolmeo
