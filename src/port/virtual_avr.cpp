#include "port/virtual_avr.h"

#include "base/file_system.h"
#include "port/virtual_avr_file.h"

namespace tolmeo {
namespace {

// Opcodes of the serial-programming instructions the chip answers.
constexpr std::uint8_t kProgrammingCommand = 0xAC;
constexpr std::uint8_t kProgrammingEnable = 0x53;
constexpr std::uint8_t kChipErase = 0x80;
constexpr std::uint8_t kWriteLock = 0xE0;
constexpr std::uint8_t kWriteLowFuse = 0xA0;
constexpr std::uint8_t kWriteHighFuse = 0xA8;
constexpr std::uint8_t kWriteExtendedFuse = 0xA4;
constexpr std::uint8_t kLoadPageLow = 0x40;
constexpr std::uint8_t kLoadPageHigh = 0x48;
constexpr std::uint8_t kWritePage = 0x4C;
constexpr std::uint8_t kReadFlashLow = 0x20;
constexpr std::uint8_t kReadFlashHigh = 0x28;
constexpr std::uint8_t kWriteEeprom = 0xC0;
constexpr std::uint8_t kReadEeprom = 0xA0;
constexpr std::uint8_t kReadSignature = 0x30;
constexpr std::uint8_t kReadLowOrExtended = 0x50;
constexpr std::uint8_t kReadLockOrHigh = 0x58;
constexpr std::uint8_t kSecondFuseSelector = 0x08;

}  // namespace

VirtualAvr::VirtualAvr(const ChipModel& model) : memories_(model) {}

void VirtualAvr::Drive(ChipLines lines, std::int64_t now_ns) {
  if (lines == lines_) return;
  ++line_changes_;
  const ChipLines before = lines_;
  lines_ = lines;
  if (faults.no_chip || CablePulled()) return;
  if (before.reset != lines.reset) Resynchronise(now_ns);
  if (lines.reset) return;  // running, not listening
  if (!before.sck && lines.sck) {
    miso_unsettled_ = PhaseTooShort(now_ns);
    bit_misheard_ = miso_unsettled_;
    sampled_bit_ = lines.mosi;
    rising_edge_seen_ = true;
  } else if (before.sck && !lines.sck && rising_edge_seen_) {
    if (PhaseTooShort(now_ns)) bit_misheard_ = true;
    miso_unsettled_ = false;
    ShiftIn(now_ns);
  }
}

bool VirtualAvr::Miso() const {
  // An absent or running chip leaves MISO to the cable's pull-up.
  if (faults.no_chip || CablePulled() || lines_.reset) return true;
  const bool level = (answer_ & 0x80) != 0;
  return miso_unsettled_ ? !level : level;
}

bool VirtualAvr::PhaseTooShort(std::int64_t now_ns) {
  const std::int64_t phase_ns = now_ns - last_sck_edge_ns_;
  last_sck_edge_ns_ = now_ns;
  // phase < 2 clocks, that is phase * clock_hz < 2e9, without rounding the clock's period.
  return clock_hz > 0 && static_cast<double>(phase_ns) * static_cast<double>(clock_hz) < 2e9;
}

Status VirtualAvr::Save(const std::string& cp949_path) const {
  return WriteWholeFile(cp949_path, SerialiseChip(memories_));
}

Status VirtualAvr::Load(const std::string& cp949_path) {
  memories_ = AvrMemories(memories_.model());
  if (!FileExists(cp949_path)) return Success();
  Result<std::string> bytes = ReadWholeFile(cp949_path);
  if (!bytes) return Failure{bytes.reason()};
  if (bytes->empty()) return Success();  // a file just created for its lock holds no chip yet
  return RestoreChip(*bytes, memories_);
}

bool VirtualAvr::CablePulled() const {
  return faults.pull_cable_after_changes && line_changes_ > *faults.pull_cable_after_changes;
}

void VirtualAvr::Resynchronise(std::int64_t now_ns) {
  last_sck_edge_ns_ = now_ns;
  bit_misheard_ = false;
  miso_unsettled_ = false;
  incoming_ = 0;
  answer_ = 0;
  bits_in_byte_ = 0;
  bytes_in_instruction_ = 0;
  rising_edge_seen_ = false;
  programming_enabled_ = false;
}

void VirtualAvr::ShiftIn(std::int64_t now_ns) {
  if (bit_misheard_) ++misheard_bits_;
  const bool bit = sampled_bit_ != bit_misheard_;
  bit_misheard_ = false;
  incoming_ = static_cast<std::uint8_t>(incoming_ << 1 | (bit ? 1 : 0));
  answer_ = static_cast<std::uint8_t>(answer_ << 1);
  rising_edge_seen_ = false;
  if (++bits_in_byte_ < 8) return;
  bits_in_byte_ = 0;
  ByteReceived(incoming_, now_ns);
}

void VirtualAvr::ByteReceived(std::uint8_t byte, std::int64_t now_ns) {
  ++bytes_received_;
  instruction_[bytes_in_instruction_++] = byte;
  answer_ = Answer(byte, now_ns);
  if (bytes_in_instruction_ == 4) {
    bytes_in_instruction_ = 0;
    Execute(now_ns);
  }
}

std::uint8_t VirtualAvr::Answer(std::uint8_t byte, std::int64_t now_ns) const {
  if (!programming_enabled_) {
    const bool enable_echo = bytes_in_instruction_ == 2 && instruction_[0] == kProgrammingCommand &&
                             byte == kProgrammingEnable;
    return enable_echo ? kProgrammingEnable : 0x00;
  }
  if (bytes_in_instruction_ != 3) return byte;
  std::optional<std::uint8_t> value = MemoryRead();
  if (!value) return byte;
  return Busy(now_ns) ? 0xFF : *value;
}

std::optional<std::uint8_t> VirtualAvr::MemoryRead() const {
  const std::uint32_t address = std::uint32_t{instruction_[1]} << 8 | instruction_[2];
  const bool second_fuse = instruction_[1] == kSecondFuseSelector;
  const bool first_fuse = instruction_[1] == 0x00;
  // A locked chip answers its memories' reads, but with nothing of what they hold.
  constexpr std::uint8_t kLockedRead = 0xFF;
  switch (instruction_[0]) {
    case kReadFlashLow: return ReadsLocked() ? kLockedRead : memories_.FlashByte(address, false);
    case kReadFlashHigh: return ReadsLocked() ? kLockedRead : memories_.FlashByte(address, true);
    case kReadEeprom: return ReadsLocked() ? kLockedRead : memories_.ReadEeprom(address);
    case kReadSignature: {
      const std::size_t index = instruction_[2] & 0x03;
      if (index > 2) return 0xFF;
      return faults.signature.value_or(memories_.model().signature)[index];
    }
    case kReadLowOrExtended:
      if (first_fuse) return memories_.ReadFuse(FuseByte::kLow);
      if (second_fuse) return memories_.ReadFuse(FuseByte::kExtended);
      return std::nullopt;
    case kReadLockOrHigh:
      if (first_fuse) return memories_.ReadFuse(FuseByte::kLock);
      if (second_fuse) return memories_.ReadFuse(FuseByte::kHigh);
      return std::nullopt;
    default: return std::nullopt;
  }
}

void VirtualAvr::Log(const Instruction& instruction) {
  if (instructions_.size() == kInstructionLogLength) instructions_.pop_front();
  instructions_.push_back(instruction);
}

void VirtualAvr::Execute(std::int64_t now_ns) {
  Log(instruction_);
  if (instruction_[0] == kProgrammingCommand && instruction_[1] == kProgrammingEnable) {
    programming_enabled_ = true;
    return;
  }
  if (!programming_enabled_ || Busy(now_ns)) return;
  const std::int32_t write_ms = ExecuteWrite();
  if (write_ms > 0) busy_until_ns_ = now_ns + std::int64_t{write_ms} * 1'000'000;
}

std::int32_t VirtualAvr::ExecuteWrite() {
  const std::uint32_t address = std::uint32_t{instruction_[1]} << 8 | instruction_[2];
  const std::uint8_t value = instruction_[3];
  switch (instruction_[0]) {
    case kLoadPageLow: memories_.LoadPageByte(address, false, value); return 0;
    case kLoadPageHigh: memories_.LoadPageByte(address, true, value); return 0;
    case kWritePage: return WriteFlashPage(address);
    case kWriteEeprom: return WriteEepromByte(address, value);
    case kProgrammingCommand: return ExecuteProgrammingCommand();
    default: return 0;
  }
}

std::int32_t VirtualAvr::WriteFlashPage(std::uint32_t word_address) {
  ++page_writes_;
  const bool dead = faults.dead_flash_page &&
                    memories_.PageStart(*faults.dead_flash_page) == memories_.PageStart(word_address);
  if (dead || WritesLocked()) {
    memories_.ClearPageBuffer();
  } else {
    memories_.WritePage(word_address);
  }
  return memories_.model().flashWriteDelay;
}

std::int32_t VirtualAvr::WriteEepromByte(std::uint32_t address, std::uint8_t value) {
  const bool dead = faults.dead_eeprom_address &&
                    memories_.WrapEeprom(*faults.dead_eeprom_address) == memories_.WrapEeprom(address);
  if (!dead && !WritesLocked()) memories_.WriteEeprom(address, value);
  return memories_.model().eepromWriteDelay;
}

std::int32_t VirtualAvr::WriteFuse(FuseByte which, std::uint8_t value) {
  // The lock byte itself can always be programmed further, to lock more.
  const bool locked = which != FuseByte::kLock && WritesLocked();
  if (!faults.stuck_fuses && !locked) memories_.WriteFuse(which, value);
  return memories_.model().fuse_write_ms;
}

std::int32_t VirtualAvr::ExecuteProgrammingCommand() {
  const ChipModel& model = memories_.model();
  const std::uint8_t value = instruction_[3];
  switch (instruction_[1]) {
    case kChipErase:
      memories_.Erase();
      ++chip_erases_;
      return model.erase_ms;
    case kWriteLock: return WriteFuse(FuseByte::kLock, value);
    case kWriteLowFuse: return WriteFuse(FuseByte::kLow, value);
    case kWriteHighFuse: return WriteFuse(FuseByte::kHigh, value);
    case kWriteExtendedFuse: return WriteFuse(FuseByte::kExtended, value);
    default: return 0;
  }
}

}  // namespace tolmeo
