#include "port/isp_link.h"

namespace tolmeo {

bool IspLink::WriteFlashPage(std::uint32_t, std::span<const std::uint16_t>) { return false; }
bool IspLink::ReadFlash(std::uint32_t, std::span<std::uint16_t>) { return false; }
bool IspLink::WriteEeprom(std::uint32_t, std::span<const std::uint8_t>) { return false; }
bool IspLink::ReadEeprom(std::uint32_t, std::span<std::uint8_t>) { return false; }

}  // namespace tolmeo
