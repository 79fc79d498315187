#pragma once
// A virtual AVR in serial-programming mode, driven only by the levels of its RESET, SCK and
// MOSI lines and answering on MISO. While RESET is low it shifts MOSI in on the rising SCK edge
// and its answer out on the falling edge, most significant bit first. Once programming is
// enabled each byte goes out again during the next byte (the echo), except that a read
// instruction puts its data there for the fourth byte. Before that the chip answers 0x00 but
// for the 0x53 of a programming enable that is in step with its byte count, which only a
// RESET pulse sets back to zero. Writes keep the chip busy for their write time in virtual
// time; a busy chip ignores instructions and reads as 0xFF. With a target clock set, an SCK
// phase (high or low) shorter than 2 of its clocks is misheard, as a real chip mishears it.
// Lock bits work as on a real chip: LB1 programmed stops Flash, EEPROM and fuse writes, LB1 and
// LB2 both programmed also stop Flash and EEPROM from being read back.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "port/avr_memories.h"
#include "port/chip_model.h"
#include "port/instruction.h"

namespace tolmeo {

struct ChipLines {
  bool reset = false;
  bool sck = false;
  bool mosi = false;
  bool operator==(const ChipLines&) const = default;
};

// Ways a real set-up fails, switched on by tests.
struct ChipFaults {
  bool no_chip = false;                                    // MISO stuck high, nothing heard
  std::optional<std::array<std::uint8_t, 3>> signature;    // answered instead of the model's
  std::optional<std::uint32_t> dead_flash_page;            // any word address of the page
  std::optional<std::uint32_t> dead_eeprom_address;
  std::optional<std::int64_t> pull_cable_after_changes;    // of RESET, SCK or MOSI
  bool stuck_fuses = false;                                // fuse and lock writes never take
};

// The instruction log keeps this many of the latest instructions.
inline constexpr std::size_t kInstructionLogLength = 4096;

class VirtualAvr {
 public:
  explicit VirtualAvr(const ChipModel& model);

  ChipFaults faults;
  // The chip's own clock; 0 hears SCK at any speed.
  std::int64_t clock_hz = 0;

  // The line levels from now_ns on.
  void Drive(ChipLines lines, std::int64_t now_ns);
  bool Miso() const;

  // The memories and fuses to a file, written whole or not at all, and back. A missing or
  // empty file leaves the chip erased; a damaged one too, with the reason.
  Status Save(const std::string& cp949_path) const;
  Status Load(const std::string& cp949_path);

  // Inspection and set-up for tests.
  const AvrMemories& memories() const { return memories_; }
  AvrMemories& memories() { return memories_; }
  bool programming_enabled() const { return programming_enabled_; }
  int page_writes() const { return page_writes_; }
  int chip_erases() const { return chip_erases_; }
  std::int64_t bytes_received() const { return bytes_received_; }
  std::int64_t line_changes() const { return line_changes_; }
  // The latest instructions heard, oldest first (at most kInstructionLogLength).
  const std::deque<Instruction>& instructions() const { return instructions_; }
  std::int64_t misheard_bits() const { return misheard_bits_; }

 private:
  bool CablePulled() const;
  void Resynchronise(std::int64_t now_ns);
  // True when the SCK phase that ends now was too short for the chip's clock.
  bool PhaseTooShort(std::int64_t now_ns);
  void ShiftIn(std::int64_t now_ns);
  void ByteReceived(std::uint8_t byte, std::int64_t now_ns);
  std::uint8_t Answer(std::uint8_t byte, std::int64_t now_ns) const;
  std::optional<std::uint8_t> MemoryRead() const;
  void Log(const Instruction& instruction);
  void Execute(std::int64_t now_ns);
  std::int32_t ExecuteWrite();
  std::int32_t WriteFlashPage(std::uint32_t word_address);
  std::int32_t WriteEepromByte(std::uint32_t address, std::uint8_t value);
  std::int32_t WriteFuse(FuseByte which, std::uint8_t value);
  std::int32_t ExecuteProgrammingCommand();
  bool WritesLocked() const { return (memories_.fuses().lock & 0x01) == 0; }
  bool ReadsLocked() const { return (memories_.fuses().lock & 0x03) == 0; }
  bool Busy(std::int64_t now_ns) const { return now_ns < busy_until_ns_; }

  AvrMemories memories_;
  ChipLines lines_;
  std::int64_t line_changes_ = 0;
  bool sampled_bit_ = false;
  bool rising_edge_seen_ = false;
  std::int64_t last_sck_edge_ns_ = 0;
  bool bit_misheard_ = false;   // this bit's MOSI level, from a phase too short
  bool miso_unsettled_ = false; // the low phase was too short for MISO to follow
  std::int64_t misheard_bits_ = 0;
  std::uint8_t incoming_ = 0;
  std::uint8_t answer_ = 0;  // its top bit is on MISO
  int bits_in_byte_ = 0;
  Instruction instruction_ = {};
  int bytes_in_instruction_ = 0;
  bool programming_enabled_ = false;
  std::int64_t busy_until_ns_ = 0;
  int page_writes_ = 0;
  int chip_erases_ = 0;
  std::int64_t bytes_received_ = 0;
  std::deque<Instruction> instructions_;
};

}  // namespace tolmeo
