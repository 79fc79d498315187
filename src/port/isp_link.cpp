#include "port/isp_link.h"

namespace tolmeo {

void IspLink::QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies) {
  for (std::size_t i = 0; i < queries.size() && i < replies.size(); ++i) {
    replies[i] = Query(queries[i].b0, queries[i].b1, queries[i].b2);
  }
}

bool IspLink::WriteFlashPage(std::uint32_t, std::span<const std::uint16_t>) { return false; }
bool IspLink::ReadFlash(std::uint32_t, std::span<std::uint16_t>) { return false; }
bool IspLink::WriteEeprom(std::uint32_t, std::span<const std::uint8_t>) { return false; }
bool IspLink::ReadEeprom(std::uint32_t, std::span<std::uint8_t>) { return false; }

}  // namespace tolmeo
