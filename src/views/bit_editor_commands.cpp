#include "views/bit_editor_commands.h"

#include "base/cp949.h"
#include "isp/device_description.h"

namespace tolmeo {

void SaveToDescription(ChipImage& image, EngineSeam& seam) {
  // The main window's save dialog, opened on the descriptions' folder with their filter
  // chosen; the dialog keeps no folder or filter of its own between uses, so nothing is left
  // changed for the next save of a HEX file.
  std::optional<std::string> path =
      seam.ChooseFileToSave(Ktext(u8"::: 저장 ::: Darimsol :::"), DescriptionFolder(),
                            "*.avrspec|*.avrspec|*.hex|*.hex");
  if (!path) return;
  if (Status saved = SaveDescription(*path, image); !saved) {
    seam.ShowNotice(kNoticeFailure, saved.reason());
  }
}

void ResetToDescription(const std::string& device_name, ChipImage& image, EngineSeam& seam) {
  if (Status loaded = LoadDescription(DescriptionPath(device_name), image, seam); !loaded) {
    seam.ShowNotice(kNoticeFailure, loaded.reason());
  }
}

void ConnectBitEditor(LockFuseEditor& editor, const BitEditorCommands& commands) {
  editor.on_write = [run = commands.run](FuseGroup group) {
    run([group](Programmer& programmer) { programmer.FuseByteWrite(group); });
  };
  editor.on_read = [run = commands.run](FuseGroup group) {
    run([group](Programmer& programmer) { programmer.FuseByteRead(group); });
  };
  editor.on_reset = [commands] {
    if (commands.may_change_description && !commands.may_change_description()) return;
    ResetToDescription(commands.device_name ? commands.device_name() : std::string(),
                       commands.image, commands.seam);
  };
  editor.on_save = [commands] { SaveToDescription(commands.image, commands.seam); };
}

}  // namespace tolmeo
