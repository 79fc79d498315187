#pragma once
// A virtual AVR in serial-programming mode, driven only by the levels of its RESET, SCK and
// MOSI lines and answering on MISO. While RESET is low it shifts MOSI in on the rising SCK edge
// and its answer out on the falling edge, most significant bit first. Once programming is
// enabled each byte goes out again during the next byte (the echo), except that a read
// instruction puts its data there for the fourth byte. Before that the chip answers 0x00 but
// for the 0x53 of a programming enable that is in step with its byte count, which only a
// RESET pulse sets back to zero. Writes keep the chip busy for their write time in virtual
// time; a busy chip ignores instructions and reads as 0xFF.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "port/avr_memories.h"
#include "port/chip_model.h"

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
};

using Instruction = std::array<std::uint8_t, 4>;

class VirtualAvr {
 public:
  explicit VirtualAvr(const ChipModel& model);

  ChipFaults faults;

  // The line levels from now_us on.
  void Drive(ChipLines lines, std::int64_t now_us);
  bool Miso() const;

  // The memories and fuses to a file, written whole or not at all, and back. A missing file
  // leaves the chip erased; a damaged one too, with the reason.
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
  const std::vector<Instruction>& instructions() const { return instructions_; }

 private:
  bool CablePulled() const;
  void Resynchronise();
  void ShiftIn(std::int64_t now_us);
  void ByteReceived(std::uint8_t byte, std::int64_t now_us);
  std::uint8_t Answer(std::uint8_t byte, std::int64_t now_us) const;
  std::optional<std::uint8_t> MemoryRead() const;
  void Execute(std::int64_t now_us);
  std::int32_t ExecuteWrite();
  std::int32_t WriteFlashPage(std::uint32_t word_address);
  std::int32_t WriteEepromByte(std::uint32_t address, std::uint8_t value);
  std::int32_t ExecuteProgrammingCommand();
  bool Busy(std::int64_t now_us) const { return now_us < busy_until_us_; }

  AvrMemories memories_;
  ChipLines lines_;
  std::int64_t line_changes_ = 0;
  bool sampled_bit_ = false;
  bool rising_edge_seen_ = false;
  std::uint8_t incoming_ = 0;
  std::uint8_t answer_ = 0;  // its top bit is on MISO
  int bits_in_byte_ = 0;
  Instruction instruction_ = {};
  int bytes_in_instruction_ = 0;
  bool programming_enabled_ = false;
  std::int64_t busy_until_us_ = 0;
  int page_writes_ = 0;
  int chip_erases_ = 0;
  std::int64_t bytes_received_ = 0;
  std::vector<Instruction> instructions_;
};

}  // namespace tolmeo
