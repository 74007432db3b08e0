#include "effect/AnchorCommands.h"

#include <atomic>

namespace Effect {
namespace {
std::atomic<AnchorCommands*> gCommands{nullptr};
}

AnchorCommands::~AnchorCommands() = default;

AnchorCommands* AnchorCommands::current() { return gCommands.load(); }

AnchorCommands* AnchorCommands::setCurrent(AnchorCommands* commands) { return gCommands.exchange(commands); }

}  // namespace Effect
