#include "widgets/balloon_host.h"

namespace tolmeo {
namespace {
BalloonHost* balloon_host = nullptr;
}  // namespace

BalloonHost* TheBalloonHost() { return balloon_host; }
void SetBalloonHost(BalloonHost* host) { balloon_host = host; }

}  // namespace tolmeo
