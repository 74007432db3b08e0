#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

std::recursive_mutex& layerLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace Platform::draw2d
