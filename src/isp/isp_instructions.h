#pragma once
// The AVR serial-programming instruction set on the line driver: a bit-banged SPI byte
// exchange, most significant bit first, and the four-byte instructions built on it. Values
// come from and go to the ChipImage; messages go through the engine seam.
#include <array>
#include <cstdint>

#include "isp/chip_image.h"
#include "isp/engine_seam.h"
#include "isp/line_driver.h"

namespace tolmeo {

// A write that never reads back equal (bad contact, bits that need an erase) is tried this
// many times, then the command stops with a message.
inline constexpr int kWriteAttempts = 5;

class IspInstructions {
 public:
  IspInstructions(LineDriver& driver, ChipImage& image, EngineSeam& seam);

  void SendByte(std::uint8_t value);
  std::uint8_t ReceiveByte();
  std::uint8_t TransferByte(std::uint8_t value);

  // Resets the target into programming mode and checks the 0x53 echo; on failure the message
  // has been shown. A cable that is not open is opened again first.
  bool EnterProgrammingMode();
  // Mode line 1 and a reset pulse: the target runs.
  void ReleaseTarget();
  // Asks whether to go on when the chip's signature is not the description's.
  bool CheckSignature();

  void ChipErase();
  std::array<std::uint8_t, 3> ReadSignature();

  void WriteLowFuse() { WriteFuse(FuseGroup::Low); }
  void WriteHighFuse() { WriteFuse(FuseGroup::High); }
  void WriteExtendedFuse() { WriteFuse(FuseGroup::Extended); }
  // Repeats until the lock byte reads back equal; false (message shown) when it never does.
  bool WriteLockBits();
  void ReadLowFuse() { ReadFuseByte(FuseGroup::Low); }
  void ReadHighFuse() { ReadFuseByte(FuseGroup::High); }
  void ReadExtendedFuse() { ReadFuseByte(FuseGroup::Extended); }
  void ReadLockBits() { ReadFuseByte(FuseGroup::Lock); }
  // Any of the four bytes by group: the lock byte with its read-back, the fuses without.
  bool WriteFuseByte(FuseGroup group);
  void ReadFuseByte(FuseGroup group);

  void LoadFlashWord(std::uint32_t index, std::uint16_t word);
  // Writes the page holding address and reads it back; false (message shown) when it never
  // reads back equal.
  bool WriteFlashPage(std::uint32_t address);
  std::uint16_t ReadFlashWord(std::uint32_t address);
  bool CompareFlash(std::uint32_t first, std::uint32_t last);

  bool WriteEepromByte(std::uint32_t address, std::uint8_t value);
  std::uint8_t ReadEepromByte(std::uint32_t address);

 private:
  void SendInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
  std::uint8_t QueryInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
  void ResetPulse();
  void WriteFuse(FuseGroup group);
  void ReportWriteExhausted(const std::string& where);

  LineDriver& driver_;
  ChipImage& image_;
  EngineSeam& seam_;
};

}  // namespace tolmeo
