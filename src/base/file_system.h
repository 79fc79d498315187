#pragma once
// The file-system boundary. Paths inside Tolmeo are CP949 texts with '/' separators; they
// become UTF-8 here and nowhere else.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tolmeo {

// The folder of the running executable, CP949, ending in '/'. base/run_folders finds the data
// and the user's files from here.
const std::string& ExeFolder();
// Tests and tools point the run folder elsewhere; an empty folder restores the real one.
void SetExeFolderForTesting(const std::string& cp949_folder);

// A native (UTF-8) folder as a CP949 folder ending in '/'. A folder whose name CP949 cannot
// hold is reached through a descriptor kept open for the whole run, so every file in it is
// still found by its exact name; a folder that cannot be opened gives "./".
std::string ReachableFolder(const std::string& native_folder);

bool FileExists(const std::string& cp949_path);
// Why the path names no regular file (Korean, without the path): "파일이 없습니다" only when
// nothing is there; otherwise what is there instead (a folder, a FIFO, a device, a link loop).
std::string NoFileReason(const std::string& cp949_path);

// Every data file Tolmeo reads is far smaller; a larger one is refused instead of filling memory.
inline constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;

// The whole regular file, or why it could not be read (Korean, naming the path and the reason).
Result<std::string> ReadWholeFile(const std::string& cp949_path);

// Writes the file whole or not at all. A regular file (or the file a symbolic link points to)
// is replaced by a complete new file that keeps the old one's permissions, so any failure, a
// crash included, leaves the old file as it was and no temporary file behind. A FIFO or a
// character device (/dev/null, a terminal) is written in place and stays what it is; a
// folder, block device or socket is refused. A path whose bytes are not CP949 is refused, never
// changed into another name.
Status WriteWholeFile(const std::string& cp949_path, std::string_view bytes);

// Tests stand in for a file system without O_TMPFILE, where a save writes under a short hidden
// name first; false restores the normal way.
void UseNamedTemporaryFilesForTesting(bool named);

// What the system's error number means, in Korean, for a message about a file.
std::string SystemReason(int error);

// Names (CP949) of the plain files directly in folder whose name ends in "." + extension,
// sorted by name so the order is the same on every file system. Sub-folders are skipped.
std::vector<std::string> ListFolder(const std::string& cp949_folder, std::string_view extension);

// The name up to its last '.', or the whole name when it has none.
std::string CutAtLastDot(std::string_view name);

}  // namespace tolmeo
