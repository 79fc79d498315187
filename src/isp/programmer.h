#pragma once
// The programming commands behind the command panel's buttons and the bit editor's
// single-byte buttons. Each one but Run enters programming mode anew and checks the signature,
// re-reads the open documents it needs, works on the ChipImage and reports through the seam.
// A command started while another runs (from the pending-message step of a long loop) is
// refused, and so is any command while no usable description is loaded.
#include <optional>
#include <string>

#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/isp_instructions.h"
#include "isp/programming_operations.h"

namespace tolmeo {

enum class CommandOutcome {
  kDone,
  kChipFailed,       // no programming mode, signature refused, a write or verify failed
  kNoDocument,       // the write or verify had no document to work from
  kDocumentFailed,   // the document could not be read
  kRefused,          // another command runs, or no usable description
};

// Why the loaded description cannot be programmed with (CP949), or nullopt when it can.
std::optional<std::string> DescriptionProblem(const ChipImage& image);

// What a command, a document change or a device change started while another command runs
// is told.
const std::string& BusyRefusalText();

class Programmer {
 public:
  Programmer(IspInstructions& isp, ChipImage& image, EngineSeam& seam);

  CommandOutcome Erase();
  CommandOutcome FlashWrite();
  CommandOutcome FlashRead();
  CommandOutcome FlashVerify();
  CommandOutcome EepromWrite();
  CommandOutcome EepromRead();
  CommandOutcome EepromVerify();
  // All four bytes from the bit editor: extended, high, low fuse, then the lock bits.
  CommandOutcome LockFuseWrite();
  CommandOutcome LockFuseRead();
  // One byte of the bit editor.
  CommandOutcome FuseByteWrite(FuseGroup group);
  CommandOutcome FuseByteRead(FuseGroup group);
  // Erase, Flash write and verify, EEPROM write and verify, lock and fuses, in one go.
  CommandOutcome AutoSequence();
  // Releases the target to run; needs neither programming mode nor a description.
  CommandOutcome Run();

  bool busy() const { return busy_; }

 private:
  template <typename Body>
  CommandOutcome Guarded(bool needs_description, Body body);
  template <typename Body>
  CommandOutcome OnChip(Body body);
  // The memory-wide loops; a verify difference shows the mismatch message. A verify right
  // after the write in the same session reads only what the write's read-back cannot vouch
  // for.
  bool WriteLoop(Memory memory);
  bool VerifyLoop(Memory memory, bool after_write);
  CommandOutcome WriteMemory(Memory memory);
  CommandOutcome VerifyMemory(Memory memory);
  // nullopt when ready; otherwise the outcome, with its message shown.
  std::optional<CommandOutcome> RequireDocument(Memory memory, const std::string& missing_text);
  bool WriteAllFuseBytes();
  bool ReadAllFuseBytes();

  IspInstructions& isp_;
  ChipImage& image_;
  EngineSeam& seam_;
  ProgrammingOperations operations_;
  bool busy_ = false;
};

}  // namespace tolmeo
