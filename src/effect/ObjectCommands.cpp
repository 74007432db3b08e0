#include "effect/ObjectCommands.h"

namespace Effect {
namespace {
ObjectCommands* gCommands = nullptr;
}

ObjectCommands::~ObjectCommands() = default;

ObjectCommands* ObjectCommands::current() { return gCommands; }

void ObjectCommands::setCurrent(ObjectCommands* commands) { gCommands = commands; }

}  // namespace Effect
