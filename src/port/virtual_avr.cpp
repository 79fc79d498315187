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

void VirtualAvr::Drive(ChipLines lines, std::int64_t now_us) {
  if (lines == lines_) return;
  ++line_changes_;
  const ChipLines before = lines_;
  lines_ = lines;
  if (faults.no_chip || CablePulled()) return;
  if (before.reset != lines.reset) Resynchronise();
  if (lines.reset) return;  // running, not listening
  if (!before.sck && lines.sck) {
    sampled_bit_ = lines.mosi;
    rising_edge_seen_ = true;
  } else if (before.sck && !lines.sck && rising_edge_seen_) {
    ShiftIn(now_us);
  }
}

bool VirtualAvr::Miso() const {
  // An absent or running chip leaves MISO to the cable's pull-up.
  if (faults.no_chip || CablePulled() || lines_.reset) return true;
  return (answer_ & 0x80) != 0;
}

Status VirtualAvr::Save(const std::string& cp949_path) const {
  return WriteWholeFile(cp949_path, SerialiseChip(memories_));
}

Status VirtualAvr::Load(const std::string& cp949_path) {
  memories_ = AvrMemories(memories_.model());
  if (!FileExists(cp949_path)) return Success();
  Result<std::string> bytes = ReadWholeFile(cp949_path);
  if (!bytes) return Failure{bytes.reason()};
  return RestoreChip(*bytes, memories_);
}

bool VirtualAvr::CablePulled() const {
  return faults.pull_cable_after_changes && line_changes_ > *faults.pull_cable_after_changes;
}

void VirtualAvr::Resynchronise() {
  incoming_ = 0;
  answer_ = 0;
  bits_in_byte_ = 0;
  bytes_in_instruction_ = 0;
  rising_edge_seen_ = false;
  programming_enabled_ = false;
}

void VirtualAvr::ShiftIn(std::int64_t now_us) {
  incoming_ = static_cast<std::uint8_t>(incoming_ << 1 | (sampled_bit_ ? 1 : 0));
  answer_ = static_cast<std::uint8_t>(answer_ << 1);
  rising_edge_seen_ = false;
  if (++bits_in_byte_ < 8) return;
  bits_in_byte_ = 0;
  ByteReceived(incoming_, now_us);
}

void VirtualAvr::ByteReceived(std::uint8_t byte, std::int64_t now_us) {
  ++bytes_received_;
  instruction_[bytes_in_instruction_++] = byte;
  answer_ = Answer(byte, now_us);
  if (bytes_in_instruction_ == 4) {
    bytes_in_instruction_ = 0;
    Execute(now_us);
  }
}

std::uint8_t VirtualAvr::Answer(std::uint8_t byte, std::int64_t now_us) const {
  if (!programming_enabled_) {
    const bool enable_echo = bytes_in_instruction_ == 2 && instruction_[0] == kProgrammingCommand &&
                             byte == kProgrammingEnable;
    return enable_echo ? kProgrammingEnable : 0x00;
  }
  if (bytes_in_instruction_ != 3) return byte;
  std::optional<std::uint8_t> value = MemoryRead();
  if (!value) return byte;
  return Busy(now_us) ? 0xFF : *value;
}

std::optional<std::uint8_t> VirtualAvr::MemoryRead() const {
  const std::uint32_t address = std::uint32_t{instruction_[1]} << 8 | instruction_[2];
  const bool second_fuse = instruction_[1] == kSecondFuseSelector;
  const bool first_fuse = instruction_[1] == 0x00;
  switch (instruction_[0]) {
    case kReadFlashLow: return memories_.FlashByte(address, false);
    case kReadFlashHigh: return memories_.FlashByte(address, true);
    case kReadEeprom: return memories_.ReadEeprom(address);
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

void VirtualAvr::Execute(std::int64_t now_us) {
  instructions_.push_back(instruction_);
  if (instruction_[0] == kProgrammingCommand && instruction_[1] == kProgrammingEnable) {
    programming_enabled_ = true;
    return;
  }
  if (!programming_enabled_ || Busy(now_us)) return;
  const std::int32_t write_ms = ExecuteWrite();
  if (write_ms > 0) busy_until_us_ = now_us + std::int64_t{write_ms} * 1000;
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
  if (dead) {
    memories_.ClearPageBuffer();
  } else {
    memories_.WritePage(word_address);
  }
  return memories_.model().flashWriteDelay;
}

std::int32_t VirtualAvr::WriteEepromByte(std::uint32_t address, std::uint8_t value) {
  const bool dead = faults.dead_eeprom_address &&
                    memories_.WrapEeprom(*faults.dead_eeprom_address) == memories_.WrapEeprom(address);
  if (!dead) memories_.WriteEeprom(address, value);
  return memories_.model().eepromWriteDelay;
}

std::int32_t VirtualAvr::ExecuteProgrammingCommand() {
  const ChipModel& model = memories_.model();
  const std::uint8_t value = instruction_[3];
  switch (instruction_[1]) {
    case kChipErase:
      memories_.Erase();
      ++chip_erases_;
      return model.erase_ms;
    case kWriteLock: memories_.WriteFuse(FuseByte::kLock, value); return model.fuse_write_ms;
    case kWriteLowFuse: memories_.WriteFuse(FuseByte::kLow, value); return model.fuse_write_ms;
    case kWriteHighFuse: memories_.WriteFuse(FuseByte::kHigh, value); return model.fuse_write_ms;
    case kWriteExtendedFuse: memories_.WriteFuse(FuseByte::kExtended, value); return model.fuse_write_ms;
    default: return 0;
  }
}

}  // namespace tolmeo
