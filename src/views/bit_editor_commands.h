#pragma once
// The bit editor's buttons wired to the engine: the byte buttons run single-byte commands, the
// description buttons load the selected device's description again or store the current bits
// into one.
#include <functional>
#include <string>

#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/programmer.h"
#include "views/lock_fuse_editor.h"

namespace tolmeo {

// What the bit editor's buttons need of the rest of the program.
struct BitEditorCommands {
  // Runs a single-byte command on the engine, the way the main window runs its commands.
  std::function<void(const std::function<void(Programmer&)>&)> run;
  ChipImage& image;
  EngineSeam& seam;
  std::function<std::string()> device_name;  // the device selected in the menu bar
  // False while a command runs: the description must not change under it (saying why is
  // the hook's business).
  std::function<bool()> may_change_description;
};

// Write and read run the engine's single-byte commands; reset loads the selected device's
// description again; save asks for a file in AvrSpec/ and writes the description there.
void ConnectBitEditor(LockFuseEditor& editor, const BitEditorCommands& commands);

// The description at the chosen path, written whole or not at all; a failure is shown. The
// dialog opens in AvrSpec/ with the description filter first; nothing is written on cancel.
void SaveToDescription(ChipImage& image, EngineSeam& seam);
// The selected device's description, loaded completely.
void ResetToDescription(const std::string& device_name, ChipImage& image, EngineSeam& seam);

}  // namespace tolmeo
