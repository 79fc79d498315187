#pragma once
// The user's settings, kept in the tagged text file opt/opt.opt beside the executable: read
// once at start-up, edited in memory by the settings dialog, written back when the main window
// closes. Windows and controls keep a reference to the one record and read it when they draw.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

namespace tolmeo {

// A background picture path or a cable name must stay below this many bytes (CP949).
inline constexpr std::size_t kMaxOptionPathBytes = 400;

struct IdeOptions {
  std::uint32_t overallColor = 0;         // 0x00BBGGRR, in effect for this run
  std::uint32_t savedColor = 0;           // written back; the settings dialog changes only this one
  std::string backgroundPicturePath;      // CP949, fewer than kMaxOptionPathBytes bytes
  std::int32_t brightness = 0;            // 0..255, how far the picture is lightened
  std::int32_t alphaBlendOn = 0;          // 0 or 1
  std::int32_t alphaBlendValue = 0;       // 0..255, 255 = opaque
  std::int32_t balloonHelpOn = 0;         // 0 or 1
  std::int32_t balloonTransparentOn = 0;  // 0 or 1
  std::int32_t ispSpeed = 0;              // busy-wait count between clock edges, 0 or more
  // "parport0" (or another libieee1284 port name), "sim" (a virtual AVR of the selected
  // description) or "sim:FILE" (a virtual AVR whose memories persist in FILE).
  std::string cable;
  // The device description chosen last (its name without ".avr"); empty when none was.
  std::string deviceName;

  bool operator==(const IdeOptions&) const = default;
};

// What a missing file or a missing or unreadable value gives: a calm dark slate blue, the
// default picture of the run folder, balloon help on, no translucency, a moderate ISP speed,
// the first parallel port.
IdeOptions DefaultOptions();

// The values of an options text over the defaults. Values out of range are clamped (a negative
// ISP speed to 0, brightness and opacity to 0..255, flags to 0 or 1); a blank value line is an
// empty value: 0, or an empty picture path. A value that is not a number, an overall colour
// beyond 0xFFFFFF, an empty cable, a path or cable of kMaxOptionPathBytes bytes or more, and a
// value line that is itself a tag keep the default. Tags may stand in any order.
IdeOptions ParseOptions(std::string_view cp949_text);
// The file text, in the layout ParseOptions reads back unchanged. Values the reader would not
// take are written as it would read them: numbers clamped, the colour without its unused top
// byte, a path it would refuse as an empty line (the memory viewer then shows the default
// picture), an unusable cable as the default.
std::string FormatOptions(const IdeOptions& options);

// The user's "opt/opt.opt": the run folder's, or once installed the per-user copy that starts
// as the shipped one (base/run_folders).
std::string OptionsPath();

// The text of an options file in CP949, the format written. A file a modern editor saved as
// UTF-8 (with a byte-order mark, or with its tags in UTF-8) is converted; a line CP949 cannot
// hold refuses it with the line's number.
Result<std::string> OptionsTextInCp949(std::string_view file_text);

// Reads the file at path into options. options always ends up usable: a missing or unreadable
// file gives DefaultOptions() and the reason is returned. A file without the end tag (empty,
// cut short, or not an options file at all) is unreadable too: its values are not trusted.
Status LoadOptions(const std::string& path, IdeOptions& options);
// A copy of the file at path under path + ".bak", made before defaults are written over a file
// that could not be read; returns the copy's path, or why there is none (then the file must
// not be written over).
Result<std::string> KeepUnreadableOptions(const std::string& path);
// Writes the file whole or not at all.
Status SaveOptions(const std::string& path, const IdeOptions& options);

// The one record of the run, and the start-up and close calls on it.
IdeOptions& OptionsRef();
Status LoadOptions();
Status SaveOptions();

}  // namespace tolmeo
