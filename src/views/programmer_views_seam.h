#pragma once
// The engine seam as the programmer window answers it: the memory viewer's refresh and scroll
// range and the bit editor's boxes go to the programmer window's controls; every other
// operation (message box, progress bars, document labels, dialogs, pending messages) goes on
// to the seam of the rest of the windows. It also wires the bit editor's buttons to the
// engine.
#include <functional>
#include <optional>
#include <string>

#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/programmer.h"
#include "views/ide_avr.h"
#include "views/programmer_views.h"

namespace tolmeo {

class ProgrammerViewsSeam : public EngineSeam {
 public:
  ProgrammerViewsSeam(Tide_AVR_Form& window, EngineSeam& rest);

  void RefreshViewer() override;
  void UpdateViewerScrollRange() override;
  void CollectBits(FuseGroup group) override;
  void ShowBits(FuseGroup group) override;
  BitBox GetBitBox(FuseGroup group, int bit) const override;
  void SetBitBox(FuseGroup group, int bit, const BitBox& box) override;

  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;
  void SetProgressMin(Memory bar, std::int64_t value) override;
  void SetProgressMax(Memory bar, std::int64_t value) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void ShowProgress(Memory bar) override;
  void HideProgress(Memory bar) override;
  std::string DocumentLabel(Memory memory) const override;
  void SetDocumentLabel(Memory memory, const std::string& text) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                              const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& title,
                                              const std::string& initial_folder,
                                              const std::string& filter) override;
  void RunPendingMessages() override;

 private:
  AvrWindowViews views_;
  EngineSeam& rest_;
};

// What the bit editor's buttons need of the rest of the program.
struct BitEditorCommands {
  // Runs a single-byte command on the engine, the way the main window runs its commands.
  std::function<void(const std::function<void(Programmer&)>&)> run;
  ChipImage& image;
  EngineSeam& seam;  // the whole seam, so a loaded description reaches the editor
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
