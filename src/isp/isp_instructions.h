#pragma once
// The AVR serial-programming instruction set on any programmer (port/isp_link.h): the
// four-byte instructions, and whole pages where the programmer has page commands. Values
// come from and go to the ChipImage; messages go through the engine seam.
//
// A chip echoes the second byte of every instruction during the third. Where the programmer
// hands that echo back, each read checks it, so a chip that stopped answering (cable pulled,
// power lost: MISO stuck at 1 or 0) is noticed instead of read as 0xFF or 0x00. Where the echo
// cannot tell (a second byte of 0x00 or 0xFF answered by data of the same value), one probe
// instruction with the second byte 0x08 decides. Without the echo the probe reads the first
// signature byte again, which a stuck line cannot give. A programmer that itself stopped
// answering counts as a silent chip. Once the chip fell silent, silent() stays true until the
// next programming-mode entry; the caller reports it with ReportSilence.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "isp/bit_bang_link.h"
#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/line_driver.h"
#include "port/isp_link.h"

namespace tolmeo {

// A write that never reads back equal (bad contact, bits that need an erase) is tried this
// many times, then the command stops with a message.
inline constexpr int kWriteAttempts = 5;

using Signature = std::array<std::uint8_t, 3>;

// The question asked when the chip's signature is not the description's: the mismatch, the
// signature read and the one expected, then the line that says which button answers how.
std::string SignatureQuestion(const Signature& read, const Signature& expected);
// That last line: a seam without buttons puts its own way of answering in its place.
const std::string& AnswerByButtonsLine();

class IspInstructions {
 public:
  // A bit-bang cable through its line driver, clocked at the driver's ISP speed.
  IspInstructions(LineDriver& driver, ChipImage& image, EngineSeam& seam);
  // Any programmer; a programmer that clocks SCK itself is asked for phases at least as long
  // as the ISP speed's busy-wait.
  IspInstructions(IspLink& link, ChipImage& image, EngineSeam& seam, const std::int32_t& isp_speed);

  // Single bytes on a bit-bang cable (nothing, and 0xFF read, on any other programmer).
  void SendByte(std::uint8_t value);
  std::uint8_t ReceiveByte();
  std::uint8_t TransferByte(std::uint8_t value);

  IspLink& link() { return link_; }
  const IspLink& link() const { return link_; }

  // Resets the target into programming mode and checks the 0x53 echo; on failure the message
  // has been shown. A cable that is not open is opened again first.
  bool EnterProgrammingMode();
  // Mode line 1 and a reset pulse: the target runs.
  void ReleaseTarget();
  // Asks whether to go on when the chip's signature is not the description's; a chip that
  // fell silent while it was read fails with a message.
  bool CheckSignature();

  // True once a read's echo showed that the chip no longer answers.
  bool silent() const { return silent_; }
  // True when the last CheckSignature since programming-mode entry read the description's.
  bool signature_matched() const { return signature_matched_; }
  // The last answer of a read is not followed by an echo: after the last read of an operation
  // one probe makes sure the chip was still there. False (silent) when it was not.
  bool ConfirmContact();
  // The failure message (kind 3) for a chip that fell silent while `what` was read.
  void ReportSilence(const std::string& what);
  // "Flash 의 주소 00001234" and its EEPROM twin, for messages.
  static std::string AddressText(Memory memory, std::uint32_t address);

  void ChipErase();
  Signature ReadSignature();

  bool WriteLowFuse() { return WriteFuseByte(FuseGroup::Low); }
  bool WriteHighFuse() { return WriteFuseByte(FuseGroup::High); }
  bool WriteExtendedFuse() { return WriteFuseByte(FuseGroup::Extended); }
  // Repeats until the lock byte reads back equal; false (message shown) when it never does.
  bool WriteLockBits() { return WriteLockBits(image_.lockBits); }
  bool ReadLowFuse() { return ReadFuseByte(FuseGroup::Low); }
  bool ReadHighFuse() { return ReadFuseByte(FuseGroup::High); }
  bool ReadExtendedFuse() { return ReadFuseByte(FuseGroup::Extended); }
  bool ReadLockBits() { return ReadFuseByte(FuseGroup::Lock); }
  // Any of the four bytes by group, read back after its write delay: a fuse byte that reads
  // back different fails at once, the lock byte is tried again. Bits the description names
  // "-" (the chip lacks them and reads them as it likes) are not compared. False with the
  // message shown.
  bool WriteFuseByte(FuseGroup group);
  // False (message shown) when the chip fell silent.
  bool ReadFuseByte(FuseGroup group);

  // A programmer with page commands keeps the words until the page is written.
  void LoadFlashWord(std::uint32_t index, std::uint16_t word);
  // The loads of a page may go out together, with the page write.
  void HoldLoads() { link_.HoldSends(); }
  // Writes the page holding address and reads back the words the image defines; false
  // (message shown) when it never reads back equal or the chip fell silent.
  bool WriteFlashPage(std::uint32_t address);
  std::uint16_t ReadFlashWord(std::uint32_t address);
  // The words from first to last that the image defines.
  bool CompareFlash(std::uint32_t first, std::uint32_t last);

  // Writes, then polls the byte until it reads back (see AwaitEepromByte); false (message
  // shown) when it never reads back equal or the chip fell silent.
  bool WriteEepromByte(std::uint32_t address, std::uint8_t value);
  std::uint8_t ReadEepromByte(std::uint32_t address);

 private:
  // The words or bytes last read by page from a programmer with page commands or queued reads.
  struct ReadCache {
    std::uint32_t first = 0;
    std::vector<std::uint16_t> values;
    bool Holds(std::uint32_t address) const { return address >= first && address - first < values.size(); }
  };

  void SendInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
  bool WriteFlashPageOnce(std::uint32_t page);
  std::uint16_t ReadCachedFlashWord(std::uint32_t address);
  std::uint8_t ReadCachedEepromByte(std::uint32_t address);
  void WriteEepromOnce(std::uint32_t address, std::uint8_t value);
  std::uint8_t AwaitEepromByte(std::uint32_t address, std::uint8_t value);
  // The least time one read instruction takes on the wire; 0 when unknown.
  std::int64_t ShortestQueryNs() const;
  void Forget() { flash_cache_.values.clear(); eeprom_cache_.values.clear(); }
  std::uint8_t QueryInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
  // The answers of the reads, sent together where the programmer queues reads.
  std::vector<std::uint8_t> QueryInstructions(std::span<const IspQuery> queries);
  void QueryFlashWords(std::uint32_t first, std::span<std::uint16_t> words);
  // True when the chip echoes the probe's second byte.
  bool ChipAnswers();
  void WriteFuse(FuseGroup group);
  std::uint8_t QueryFuse(FuseGroup group);
  // The bits of the group the chip has, from the bit editor's names.
  std::uint8_t PresentBits(FuseGroup group) const;
  bool SameFuse(FuseGroup group, std::uint8_t wanted, std::uint8_t read) const;
  bool WriteLockBits(std::uint8_t wanted);
  void ReportWriteExhausted(const std::string& where);
  void ReportFuseNotTaken(FuseGroup group, std::uint8_t wanted, std::uint8_t read);

  std::unique_ptr<BitBangLink> own_link_;  // over the line driver it was built with
  IspLink& link_;
  BitBangLink* bit_bang_;  // link_ when it is one
  ChipImage& image_;
  EngineSeam& seam_;
  const std::int32_t& isp_speed_;
  LinkCapabilities capabilities_;
  bool silent_ = false;
  bool signature_matched_ = false;
  std::optional<std::uint8_t> first_signature_byte_;
  std::vector<std::uint16_t> loaded_;  // the page being loaded, on a programmer with pages
  ReadCache flash_cache_;
  ReadCache eeprom_cache_;
};

// "Lock", "Extended fuse", "High fuse", "Low fuse", for messages.
const char* FuseGroupName(FuseGroup group);

}  // namespace tolmeo
