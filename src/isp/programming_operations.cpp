#include "isp/programming_operations.h"

#include "base/cp949.h"
#include "isp/hex_text.h"

namespace tolmeo {

std::string MismatchText(Memory memory, const Mismatch& mismatch) {
  int digits = memory == Memory::Flash ? 4 : 2;
  return Ktext(u8"오류가 발견 되었습니다!\r\n\r\n") + Ktext(u8"주소 : ") +
         HexDigits(mismatch.address, 8) + "\r\n" + Ktext(u8"쓰기 : ") +
         HexDigits(mismatch.written, digits) + "\r\n" + Ktext(u8"읽기 : ") +
         HexDigits(mismatch.read, digits) + "\r\n\r\n" +
         Ktext(u8"와 같이 기록한 값과 읽은 값이 서로 일치하지 않습니다.");
}

ProgrammingOperations::ProgressShown::ProgressShown(EngineSeam& seam, Memory bar,
                                                    std::int64_t min, std::int64_t max)
    : seam_(seam), bar_(bar) {
  seam_.ShowProgress(bar_, min, max);
}

ProgrammingOperations::ProgrammingOperations(IspInstructions& isp, ChipImage& image,
                                             EngineSeam& seam)
    : isp_(isp), image_(image), seam_(seam) {}

bool ProgrammingOperations::WriteFlash() {
  image_.AlignFlashPages();
  std::uint32_t page_words = image_.PageWords();
  ProgressShown bar(seam_, Memory::Flash, image_.flashPageStart, image_.flashPageEnd);
  // 64 bits so that a page end near the top of the address space cannot wrap the loop.
  for (std::uint64_t page = image_.flashPageStart; page <= image_.flashPageEnd; page += page_words) {
    std::uint32_t first = static_cast<std::uint32_t>(page);
    const PageWork work = image_.FlashPageWork(first);
    if (work == PageWork::kNone) continue;
    if (!ProgramPage(first, work)) return false;
    bar.Position(first);
  }
  return AnsweredToTheEnd(Memory::Flash, image_.flashPageEnd);
}

// A page of 0xFFFF words is only read back: it is loaded and written after all when the chip
// holds something else there (it was not erased), so the write's bounded retries report it.
bool ProgrammingOperations::ProgramPage(std::uint32_t first, PageWork work) {
  std::uint32_t page_words = image_.PageWords();
  if (work == PageWork::kCheck) {
    seam_.RunPendingMessages();
    if (isp_.CompareFlash(first, first + page_words - 1)) return true;
    if (!StillAnswering(Memory::Flash, first)) return false;
  }
  isp_.HoldLoads();
  for (std::uint32_t i = 0; i < page_words; ++i) {
    seam_.RunPendingMessages();
    isp_.LoadFlashWord(i, image_.flashWords[first + i]);
  }
  return isp_.WriteFlashPage(first);
}

bool ProgrammingOperations::StillAnswering(Memory memory, std::uint32_t address) {
  if (!isp_.silent()) return true;
  isp_.ReportSilence(IspInstructions::AddressText(memory, address));
  return false;
}

bool ProgrammingOperations::AnsweredToTheEnd(Memory memory, std::uint32_t last) {
  isp_.ConfirmContact();
  return StillAnswering(memory, last);
}

template <typename ReadItem, typename ImageItem, typename Defined>
bool ProgrammingOperations::VerifyRange(Memory memory, std::uint32_t first, std::uint32_t last,
                                        ReadItem read_item, ImageItem image_item, Defined defined,
                                        Mismatch& mismatch) {
  ProgressShown bar(seam_, memory, first, last);
  for (std::uint64_t address = first; address <= last; ++address) {
    auto at = static_cast<std::uint32_t>(address);
    if (!defined(at)) continue;
    seam_.RunPendingMessages();
    std::uint16_t read = read_item(at);
    if (!StillAnswering(memory, at)) return false;
    if (read != image_item(at)) {
      // A difference in the last answer may be a chip gone silent rather than a wrong value.
      if (!AnsweredToTheEnd(memory, at)) return false;
      mismatch = {at, image_item(at), read};
      return false;
    }
    bar.Position(at);
  }
  return AnsweredToTheEnd(memory, last);
}

bool ProgrammingOperations::VerifyFlash(Mismatch& mismatch) {
  return VerifyRange(
      Memory::Flash, image_.flashStart, image_.flashEnd,
      [this](std::uint32_t w) { return isp_.ReadFlashWord(w); },
      [this](std::uint32_t w) { return image_.flashWords[w]; },
      [this](std::uint32_t w) { return image_.flashDefined.test(w); }, mismatch);
}

bool ProgrammingOperations::VerifyEeprom(Mismatch& mismatch) {
  return VerifyRange(
      Memory::Eeprom, image_.eepromStart, image_.eepromEnd,
      [this](std::uint32_t a) -> std::uint16_t { return isp_.ReadEepromByte(a); },
      [this](std::uint32_t a) -> std::uint16_t { return image_.eepromBytes[a]; },
      [this](std::uint32_t a) { return image_.eepromDefined.test(a); }, mismatch);
}

bool ProgrammingOperations::VerifyAfterWrite(Memory memory, Mismatch& mismatch) {
  if (!isp_.signature_matched()) return memory == Memory::Flash ? VerifyFlash(mismatch) : VerifyEeprom(mismatch);
  return AnsweredToTheEnd(memory, memory == Memory::Flash ? image_.flashEnd : image_.eepromEnd);
}

bool ProgrammingOperations::ReadFlash() {
  std::uint32_t words = image_.FlashWordCount();
  ProgressShown bar(seam_, Memory::Flash, 0, words);
  for (std::uint32_t w = 0; w < words; ++w) {
    seam_.RunPendingMessages();
    image_.flashWords[w] = isp_.ReadFlashWord(w);
    if (!StillAnswering(Memory::Flash, w)) return false;
    bar.Position(w);
  }
  return AnsweredToTheEnd(Memory::Flash, words - 1);
}

bool ProgrammingOperations::WriteEeprom() {
  ProgressShown bar(seam_, Memory::Eeprom, image_.eepromStart, image_.eepromEnd);
  for (std::uint64_t address = image_.eepromStart; address <= image_.eepromEnd; ++address) {
    seam_.RunPendingMessages();
    auto at = static_cast<std::uint32_t>(address);
    if (!WriteEepromByteIfDifferent(at)) return false;
    bar.Position(at);
  }
  return AnsweredToTheEnd(Memory::Eeprom, image_.eepromEnd);
}

// A byte the chip holds already is not written again.
bool ProgrammingOperations::WriteEepromByteIfDifferent(std::uint32_t address) {
  const std::uint8_t value = image_.eepromBytes[address];
  const std::uint8_t held = isp_.ReadEepromByte(address);
  if (!StillAnswering(Memory::Eeprom, address)) return false;
  return held == value || isp_.WriteEepromByte(address, value);
}

bool ProgrammingOperations::ReadEeprom() {
  ProgressShown bar(seam_, Memory::Eeprom, 0, image_.eepromSize);
  for (std::uint32_t a = 0; a < image_.eepromSize; ++a) {
    seam_.RunPendingMessages();
    image_.eepromBytes[a] = isp_.ReadEepromByte(a);
    if (!StillAnswering(Memory::Eeprom, a)) return false;
    bar.Position(a);
  }
  return AnsweredToTheEnd(Memory::Eeprom, image_.eepromSize - 1);
}

}  // namespace tolmeo
