#include "port/usb_bus.h"

#include <libusb.h>

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr std::uint8_t kVendorToDevice = std::uint8_t{LIBUSB_REQUEST_TYPE_VENDOR} | std::uint8_t{LIBUSB_RECIPIENT_DEVICE};
constexpr std::uint8_t kVendorIn = kVendorToDevice | std::uint8_t{LIBUSB_ENDPOINT_IN};
constexpr std::uint8_t kVendorOut = kVendorToDevice | std::uint8_t{LIBUSB_ENDPOINT_OUT};

class LibusbDevice : public UsbDevice {
 public:
  explicit LibusbDevice(libusb_device_handle* handle) : handle_(handle) {}
  ~LibusbDevice() override { libusb_close(handle_); }
  LibusbDevice(const LibusbDevice&) = delete;
  LibusbDevice& operator=(const LibusbDevice&) = delete;

  int ControlIn(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> data,
                int timeout_ms) override {
    return libusb_control_transfer(handle_, kVendorIn, request, value, index, data.data(),
                                   static_cast<std::uint16_t>(data.size()), static_cast<unsigned>(timeout_ms));
  }
  int ControlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<const std::uint8_t> data,
                 int timeout_ms) override {
    // libusb takes one buffer for both directions; an OUT transfer only reads it.
    return libusb_control_transfer(handle_, kVendorOut, request, value, index, const_cast<std::uint8_t*>(data.data()),
                                   static_cast<std::uint16_t>(data.size()), static_cast<unsigned>(timeout_ms));
  }

 private:
  libusb_device_handle* handle_;
};

std::string StringOf(libusb_device_handle* handle, std::uint8_t index) {
  if (index == 0) return {};
  unsigned char text[128] = {};
  const int length = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
  return length > 0 ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)) : std::string();
}

// The strings of a device, read while it is open a moment.
void ReadStrings(libusb_device* device, const libusb_device_descriptor& descriptor, UsbDeviceEntry& entry) {
  libusb_device_handle* handle = nullptr;
  const int opened = libusb_open(device, &handle);
  if (opened != 0) {
    entry.denied = opened == LIBUSB_ERROR_ACCESS;
    return;
  }
  entry.manufacturer = StringOf(handle, descriptor.iManufacturer);
  entry.product = StringOf(handle, descriptor.iProduct);
  entry.serial = StringOf(handle, descriptor.iSerialNumber);
  libusb_close(handle);
}

// The device list, given back when it goes away.
class DeviceList {
 public:
  explicit DeviceList(libusb_context* context) : count_(libusb_get_device_list(context, &devices_)) {}
  ~DeviceList() {
    if (count_ >= 0) libusb_free_device_list(devices_, 1);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  std::span<libusb_device*> devices() const {
    return count_ > 0 ? std::span<libusb_device*>(devices_, static_cast<std::size_t>(count_)) : std::span<libusb_device*>();
  }
  bool ok() const { return count_ >= 0; }

 private:
  libusb_device** devices_ = nullptr;
  ssize_t count_;
};

}  // namespace

LibusbBus::LibusbBus() : init_error_(libusb_init(&context_)) {}

LibusbBus::~LibusbBus() {
  if (init_error_ == 0) libusb_exit(context_);
}

Result<std::vector<UsbDeviceEntry>> LibusbBus::Devices(std::uint16_t vendor_id, std::uint16_t product_id) {
  if (init_error_ != 0) {
    return Failure{Ktext(u8"USB 를 쓸 수 없습니다 (libusb: ") + libusb_strerror(init_error_) + ")."};
  }
  DeviceList list(context_);
  if (!list.ok()) return Failure{Ktext(u8"USB 장치 목록을 읽지 못했습니다.")};
  std::vector<UsbDeviceEntry> found;
  for (libusb_device* device : list.devices()) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) continue;
    if (descriptor.idVendor != vendor_id || descriptor.idProduct != product_id) continue;
    UsbDeviceEntry entry;
    entry.vendor_id = vendor_id;
    entry.product_id = product_id;
    entry.bus_number = libusb_get_bus_number(device);
    entry.address = libusb_get_device_address(device);
    ReadStrings(device, descriptor, entry);
    found.push_back(std::move(entry));
  }
  return found;
}

std::unique_ptr<UsbDevice> LibusbBus::Open(const UsbDeviceEntry& entry) {
  if (init_error_ != 0) return nullptr;
  DeviceList list(context_);
  for (libusb_device* device : list.devices()) {
    if (libusb_get_bus_number(device) != entry.bus_number || libusb_get_device_address(device) != entry.address) continue;
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0) return nullptr;
    return std::make_unique<LibusbDevice>(handle);
  }
  return nullptr;
}

}  // namespace tolmeo
