#pragma once
// The device descriptions (AvrSpec/<name>.avrspec): listing them for the device menu, loading
// one into the chip image and the bit editor, and saving the current one. An installed Tolmeo
// keeps the user's own descriptions in a folder of theirs that shadows the shipped one.
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "isp/chip_image.h"
#include "isp/engine_seam.h"

namespace tolmeo {

// Where a saved description goes: the run folder's AvrSpec/, or the user's own one.
std::string DescriptionFolder();

// The file of the description named (without leading and trailing blanks) + ".avrspec": the
// user's own when there is one, else the shipped one.
std::string DescriptionPath(std::string_view name);

// The names of the description files (without ".avrspec"), shipped and the user's own once
// each, in name order; empty when there is none.
std::vector<std::string> ListDescriptions();

// Reads the description at path and, only when all of it is sound, puts it in force: the
// ChipImage fields, the bit editor's boxes (state, name, fixed mark) and lock and fuse bytes,
// both images erased, open documents read again (their paths kept), and the windows told. A
// refused file changes nothing; the reason names the file.
Status LoadDescription(const std::string& path, ChipImage& image, EngineSeam& seam);

// Writes the description in force, with the bit editor's current boxes, whole or not at all.
Status SaveDescription(const std::string& path, ChipImage& image);

}  // namespace tolmeo
