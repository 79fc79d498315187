#pragma once
// The few things a USB programmer needs of the bus: the devices with given ids and their
// strings, opening one, and vendor control requests to it. The real bus goes through
// libusb-1.0; a virtual twin stands in for it in tests and for the virtual chip.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

struct libusb_context;

namespace tolmeo {

// One device as the listing found it. Its strings need the device opened: one the system would
// not let us open has them empty and denied set (a missing udev rule, most of the time).
struct UsbDeviceEntry {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;
  bool denied = false;
  // Where it sits on the bus (bus number and device address), to open it again.
  std::uint8_t bus_number = 0;
  std::uint8_t address = 0;
};

// An opened device; closed when it goes away.
class UsbDevice {
 public:
  virtual ~UsbDevice() = default;
  // A vendor request to the device, its answer read into data or its data sent: the number of
  // bytes that moved, or a negative number when the transfer failed or timed out.
  virtual int ControlIn(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                        std::span<std::uint8_t> data, int timeout_ms) = 0;
  virtual int ControlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                         std::span<const std::uint8_t> data, int timeout_ms) = 0;
};

class UsbBus {
 public:
  virtual ~UsbBus() = default;
  // The attached devices with these ids, or why the bus cannot be searched (CP949).
  virtual Result<std::vector<UsbDeviceEntry>> Devices(std::uint16_t vendor_id, std::uint16_t product_id) = 0;
  // The device the listing found there, or nullptr when it is gone or refuses.
  virtual std::unique_ptr<UsbDevice> Open(const UsbDeviceEntry& entry) = 0;
};

// The machine's USB through libusb-1.0.
class LibusbBus : public UsbBus {
 public:
  LibusbBus();
  ~LibusbBus() override;
  LibusbBus(const LibusbBus&) = delete;
  LibusbBus& operator=(const LibusbBus&) = delete;

  Result<std::vector<UsbDeviceEntry>> Devices(std::uint16_t vendor_id, std::uint16_t product_id) override;
  std::unique_ptr<UsbDevice> Open(const UsbDeviceEntry& entry) override;

 private:
  ::libusb_context* context_ = nullptr;
  int init_error_ = 0;
};

}  // namespace tolmeo
