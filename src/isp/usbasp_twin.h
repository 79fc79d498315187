#pragma once
// The virtual twin of a USBasp: a USB bus of its own with one USBasp on it, whose firmware's
// requests are carried out on a virtual AVR through the simulated cable, as the firmware
// carries them out on its ISP pins: each instruction clocked out with its answer clocked in,
// Flash bytes loaded one by one and each page written with the page instruction and polled
// until the chip is done, EEPROM bytes written one by one with the firmware's wait. The real
// USBasp code (port/usbasp_link.h) runs against it down to the USB call, and the chip's fault
// knobs show through it as they would through a real programmer.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "isp/bit_bang_link.h"
#include "isp/line_driver.h"
#include "port/sim_cable.h"
#include "port/usb_bus.h"

namespace tolmeo {

class UsbaspTwin : public UsbBus {
 public:
  // The virtual chip of this model, erased or kept in the file (as SimCable keeps it).
  explicit UsbaspTwin(const ChipModel& model, std::string cp949_path = {});

  // The one USBasp, or the reason the chip's file was not taken: no run starts on a blank
  // chip in place of the one the file holds.
  Result<std::vector<UsbDeviceEntry>> Devices(std::uint16_t vendor_id, std::uint16_t product_id) override;
  std::unique_ptr<UsbDevice> Open(const UsbDeviceEntry& entry) override;

  SimCable& cable() { return cable_; }
  VirtualAvr& chip() { return cable_.chip(); }

  // Knob: a firmware from before the SCK request, which does not know it (nor long addresses).
  bool old_firmware = false;
  // Knob: every transfer from this one on (counted from 0) fails, as on a pulled plug.
  std::optional<std::int64_t> fail_from_transfer;

  // The requests received, in order, and the SCK option in force since the last connect.
  const std::vector<std::uint8_t>& requests() const { return requests_; }
  std::uint8_t sck_option() const { return sck_in_force_; }

  // The firmware's side of a transfer: the bytes it answered or took, negative when it failed.
  int In(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer);
  int Out(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<const std::uint8_t> data);

 private:
  bool Reached(std::uint8_t request);
  void Connect();
  std::uint8_t EnableProgramming();
  Instruction Transmit(const Instruction& instruction);
  std::uint8_t ReadFlashByte(std::uint32_t byte_address);
  std::uint8_t ReadEepromByte(std::uint32_t byte_address);
  int WriteFlash(std::uint16_t index, std::span<const std::uint8_t> data);
  int WriteEeprom(std::span<const std::uint8_t> data);
  void FlushPage(std::uint32_t byte_address, std::uint8_t last_value);
  void TakeAddress(std::uint16_t value);
  void WaitUs(std::int64_t microseconds);

  SimCable cable_;
  std::int32_t speed_ = 0;  // the line driver's waits for the SCK option in force
  LineDriver driver_{cable_, cable_.clock(), speed_};
  BitBangLink link_{driver_};
  std::vector<std::uint8_t> requests_;
  std::uint8_t sck_chosen_ = 0;
  std::uint8_t sck_in_force_ = 0;
  std::uint32_t address_ = 0;
  bool long_address_ = false;
  std::uint32_t page_size_ = 0;
  std::uint32_t page_counter_ = 0;
};

}  // namespace tolmeo
