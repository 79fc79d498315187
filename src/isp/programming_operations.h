#pragma once
// The memory-wide loops of the programming commands: write, verify and read the Flash and the
// EEPROM with the progress bar of the memory moving, letting pending window messages run once
// per word or byte.
#include <cstdint>
#include <string>

#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/isp_instructions.h"

namespace tolmeo {

// The first difference a verify found. Values are 16-bit; EEPROM values in the low byte.
struct Mismatch {
  std::uint32_t address = 0;  // word address for Flash, byte address for EEPROM
  std::uint16_t written = 0;
  std::uint16_t read = 0;
};

// The message a failed verify shows, with 4 hex digits per value for Flash and 2 for EEPROM.
std::string MismatchText(Memory memory, const Mismatch& mismatch);

class ProgrammingOperations {
 public:
  ProgrammingOperations(IspInstructions& isp, ChipImage& image, EngineSeam& seam);

  // The Flash range page by page, each page read back right after its write: pages the
  // document defines no word of are left alone, pages of 0xFFFF words only read back. False
  // (message shown) when a page never reads back equal.
  bool WriteFlash();
  // The words the document defines. False with the first difference in mismatch, or (message
  // shown, isp silent) when the chip stopped answering.
  bool VerifyFlash(Mismatch& mismatch);
  // The whole chip into the image; the range stays as it was. False (message shown) when the
  // chip stopped answering.
  bool ReadFlash();

  // Byte by byte; a byte the chip already holds is only read.
  bool WriteEeprom();
  bool VerifyEeprom(Mismatch& mismatch);
  bool ReadEeprom();

  // The verify of an automatic sequence, called right after a write of the memory that
  // succeeded in the same programming session. The write read back every item the document
  // defines right after writing it, so only what that read-back cannot vouch for is read
  // again: nothing on a chip whose signature is the description's (its memory is the
  // description's size, so no later write can land on an item checked before); everything on
  // a chip that was let through with another signature, whose smaller memory may wrap. The
  // probe at the end makes sure the chip answered to the last.
  bool VerifyAfterWrite(Memory memory, Mismatch& mismatch);

 private:
  // Shows a bar with its min, max and start position and hides it again, however the loop
  // ends.
  class ProgressShown {
   public:
    ProgressShown(EngineSeam& seam, Memory bar, std::int64_t min, std::int64_t max);
    ~ProgressShown() { seam_.HideProgress(bar_); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;
    void Position(std::int64_t value) { seam_.SetProgressPosition(bar_, value); }

   private:
    EngineSeam& seam_;
    Memory bar_;
  };

  // False, with the message naming memory and address, when the chip fell silent.
  bool StillAnswering(Memory memory, std::uint32_t address);
  // The same after the last item of a loop, with the probe that makes sure of its answer.
  bool AnsweredToTheEnd(Memory memory, std::uint32_t last);
  bool ProgramPage(std::uint32_t first, PageWork work);
  bool WriteEepromByteIfDifferent(std::uint32_t address);
  template <typename ReadItem, typename ImageItem, typename Defined>
  bool VerifyRange(Memory memory, std::uint32_t first, std::uint32_t last, ReadItem read_item,
                   ImageItem image_item, Defined defined, Mismatch& mismatch);

  IspInstructions& isp_;
  ChipImage& image_;
  EngineSeam& seam_;
};

}  // namespace tolmeo
