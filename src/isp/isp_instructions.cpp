#include "isp/isp_instructions.h"

#include "base/cp949.h"
#include "isp/hex_text.h"

namespace tolmeo {
namespace {

struct FuseOpcodes {
  std::uint8_t write;       // second byte after 0xAC
  std::uint8_t read_first;  // first two bytes of the read
  std::uint8_t read_second;
};

FuseOpcodes OpcodesOf(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return {0xE0, 0x58, 0x00};
    case FuseGroup::Extended: return {0xA4, 0x50, 0x08};
    case FuseGroup::High: return {0xA8, 0x58, 0x08};
    case FuseGroup::Low: break;
  }
  return {0xA0, 0x50, 0x00};
}

std::uint8_t High(std::uint32_t address) { return static_cast<std::uint8_t>(address >> 8); }
std::uint8_t Low(std::uint32_t address) { return static_cast<std::uint8_t>(address); }

std::string AddressText(const std::string& memory, std::uint32_t address) {
  return memory + Ktext(u8" 의 주소 ") + HexDigits(address, 8) + Ktext(u8" 에");
}

}  // namespace

IspInstructions::IspInstructions(LineDriver& driver, ChipImage& image, EngineSeam& seam)
    : driver_(driver), image_(image), seam_(seam) {}

void IspInstructions::SendByte(std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) {
    driver_.SetLine(kMosiLine, value >> bit);
    driver_.IspDelay();
    driver_.SetLine(kSckLine, 1);
    driver_.IspDelay();
    driver_.SetLine(kSckLine, 0);
    driver_.IspDelay();
  }
}

std::uint8_t IspInstructions::ReceiveByte() {
  std::uint8_t result = 0;
  for (int bit = 7; bit >= 0; --bit) {
    driver_.SetLine(kSckLine, 1);
    driver_.IspDelay();
    result |= static_cast<std::uint8_t>(driver_.ReadMiso() << bit);
    driver_.SetLine(kSckLine, 0);
    driver_.IspDelay();
  }
  return result;
}

std::uint8_t IspInstructions::TransferByte(std::uint8_t value) {
  std::uint8_t result = 0;
  for (int bit = 7; bit >= 0; --bit) {
    driver_.SetLine(kMosiLine, value >> bit);
    driver_.IspDelay();
    driver_.SetLine(kSckLine, 1);
    driver_.IspDelay();
    result |= static_cast<std::uint8_t>(driver_.ReadMiso() << bit);
    driver_.SetLine(kSckLine, 0);
    driver_.IspDelay();
  }
  return result;
}

void IspInstructions::SendInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                      std::uint8_t b3) {
  SendByte(b0);
  SendByte(b1);
  SendByte(b2);
  SendByte(b3);
}

std::uint8_t IspInstructions::QueryInstruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  SendByte(b0);
  SendByte(b1);
  SendByte(b2);
  return ReceiveByte();
}

void IspInstructions::ResetPulse() {
  driver_.SetLine(kResetLine, 1);
  driver_.SleepMs(2);
  driver_.SetLine(kResetLine, 0);
  driver_.SleepMs(40);
  driver_.SetLine(kResetLine, 1);
  driver_.SleepMs(2);
}

bool IspInstructions::EnterProgrammingMode() {
  static const std::string& failed = Ktext(u8"프로그램모드로 진입하지 못했습니다.");
  if (!driver_.PortOpened()) {
    Status opened = driver_.OpenPort();
    if (!opened) {
      seam_.ShowNotice(kNoticeFailure, failed + "\r\n" + opened.reason());
      return false;
    }
  }
  driver_.SetModeLine(0);
  ResetPulse();
  driver_.SetLine(kResetLine, 0);
  driver_.SetLine(kSckLine, 0);
  driver_.SleepMs(40);
  SendByte(0xAC);
  SendByte(0x53);
  if (TransferByte(0x00) != 0x53) {
    seam_.ShowNotice(kNoticeFailure, failed);
    return false;
  }
  SendByte(0x00);
  driver_.SleepMs(2);
  return true;
}

void IspInstructions::ReleaseTarget() {
  driver_.SetModeLine(1);
  ResetPulse();
}

bool IspInstructions::CheckSignature() {
  if (ReadSignature() == image_.signature) return true;
  return seam_.AskConfirm(
      kNoticeWarning,
      Ktext(u8"연결된 AVR 종류가 명세문서의 종류와 일치하지 않습니다.\r\n"
            u8"그래도 계속 진행하려면 \"확인\" 을 그렇지 않은 경우는 \"취소\" 를 눌러주세요."));
}

void IspInstructions::ChipErase() {
  SendInstruction(0xAC, 0x80, 0x00, 0x00);
  driver_.SleepMs(100);
}

std::array<std::uint8_t, 3> IspInstructions::ReadSignature() {
  std::array<std::uint8_t, 3> signature{};
  for (std::uint8_t i = 0; i < 3; ++i) signature[i] = QueryInstruction(0x30, 0x00, i);
  return signature;
}

void IspInstructions::WriteFuse(FuseGroup group) {
  SendInstruction(0xAC, OpcodesOf(group).write, 0x00, image_.FuseByte(group));
  driver_.SleepMs(10);
}

void IspInstructions::ReadFuseByte(FuseGroup group) {
  FuseOpcodes opcodes = OpcodesOf(group);
  image_.FuseByte(group) = QueryInstruction(opcodes.read_first, opcodes.read_second, 0x00);
}

bool IspInstructions::WriteLockBits() {
  std::uint8_t wanted = image_.lockBits;
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    WriteFuse(FuseGroup::Lock);
    if (QueryInstruction(0x58, 0x00, 0x00) == wanted) return true;
  }
  ReportWriteExhausted(Ktext(u8"Lock 비트에"));
  return false;
}

bool IspInstructions::WriteFuseByte(FuseGroup group) {
  if (group == FuseGroup::Lock) return WriteLockBits();
  WriteFuse(group);
  return true;
}

void IspInstructions::LoadFlashWord(std::uint32_t index, std::uint16_t word) {
  std::uint8_t in_page = static_cast<std::uint8_t>(index & (image_.PageWords() - 1));
  SendInstruction(0x40, 0x00, in_page, Low(word));
  SendInstruction(0x48, 0x00, in_page, High(word));
}

bool IspInstructions::WriteFlashPage(std::uint32_t address) {
  std::uint32_t page_words = image_.PageWords();
  std::uint32_t page = address & ~(page_words - 1);
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    SendInstruction(0x4C, High(page), Low(page), 0x00);
    driver_.SleepMs(image_.flashWriteDelay);
    if (CompareFlash(page, page + page_words - 1)) return true;
  }
  ReportWriteExhausted(AddressText("Flash", page));
  return false;
}

std::uint16_t IspInstructions::ReadFlashWord(std::uint32_t address) {
  std::uint8_t high = QueryInstruction(0x28, High(address), Low(address));
  std::uint8_t low = QueryInstruction(0x20, High(address), Low(address));
  return static_cast<std::uint16_t>(high * 256 + low);
}

bool IspInstructions::CompareFlash(std::uint32_t first, std::uint32_t last) {
  for (std::uint32_t word = first; word <= last; ++word) {
    if (ReadFlashWord(word) != image_.flashWords[word]) return false;
  }
  return true;
}

bool IspInstructions::WriteEepromByte(std::uint32_t address, std::uint8_t value) {
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    SendInstruction(0xC0, High(address), Low(address), value);
    driver_.SleepMs(image_.eepromWriteDelay);
    if (ReadEepromByte(address) == value) return true;
  }
  ReportWriteExhausted(AddressText("EEprom", address));
  return false;
}

std::uint8_t IspInstructions::ReadEepromByte(std::uint32_t address) {
  return QueryInstruction(0xA0, High(address), Low(address));
}

void IspInstructions::ReportWriteExhausted(const std::string& where) {
  seam_.ShowNotice(kNoticeFailure, where + " " + std::to_string(kWriteAttempts) +
                                       Ktext(u8"번 기록했지만 읽은 값이 기록한 값과 일치하지 않습니다."));
}

}  // namespace tolmeo
