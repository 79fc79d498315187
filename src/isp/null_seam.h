#pragma once
// An engine seam without windows: every operation does nothing, questions are answered OK so
// the engine goes on, and the dialogs are cancelled. Seams that show only part of the engine's
// work derive from it and override what they show.
#include <cstdint>
#include <optional>
#include <string>

#include "isp/engine_seam.h"

namespace tolmeo {

class NullSeam : public EngineSeam {
 public:
  void ShowNotice(int, const std::string&) override {}
  bool AskConfirm(int, const std::string&) override { return true; }
  void ShowProgress(Memory, std::int64_t, std::int64_t) override {}
  void SetProgressPosition(Memory, std::int64_t) override {}
  void HideProgress(Memory) override {}
  void ImageChanged() override {}
  void BitsChanged() override {}
  void DocumentChanged(Memory) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFileToSave(const std::string&, const std::string&,
                                              const std::string&) override {
    return std::nullopt;
  }
  void RunPendingMessages() override {}
};

}  // namespace tolmeo
