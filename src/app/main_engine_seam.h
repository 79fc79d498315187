#pragma once
// The engine seam of the running Tolmeo: the shell's message box and progress bars, the
// command panel's document labels, the programmer window's views, and the desktop's file
// dialogs.
#include <optional>
#include <string>

#include "app/main_panel.h"
#include "shell/gui_engine_seam.h"
#include "views/programmer_views.h"

namespace tolmeo {

class MainEngineSeam : public GuiEngineSeam {
 public:
  MainEngineSeam(MainPanel& panel, ProgrammerViews& views);

  void RefreshViewer() override { views_.RefreshViewer(); }
  void UpdateViewerScrollRange() override { views_.UpdateViewerScrollRange(); }
  void CollectBits(FuseGroup group) override { views_.CollectBits(group); }
  void ShowBits(FuseGroup group) override { views_.ShowBits(group); }
  BitBox GetBitBox(FuseGroup group, int bit) const override {
    return views_.GetBitBox(group, bit);
  }
  void SetBitBox(FuseGroup group, int bit, const BitBox& box) override {
    views_.SetBitBox(group, bit, box);
  }

  // The label's text and its balloon text are the same.
  std::string DocumentLabel(Memory memory) const override;
  void SetDocumentLabel(Memory memory, const std::string& text) override;

  // A desktop without a dialog program says which package to install, and the dialog counts as
  // cancelled.
  std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                              const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& title,
                                              const std::string& initial_folder,
                                              const std::string& filter) override;

 private:
  std::optional<std::string> Answer(Result<std::optional<std::string>> chosen);

  MainPanel& panel_;
  ProgrammerViews& views_;
};

}  // namespace tolmeo
