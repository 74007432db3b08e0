#pragma once
#include <mutex>

namespace Platform::draw2d {

// The one lock of the 2-D layer: drawing on worker threads, text layout and
// every use of the shared FreeType faces and library take it. Recursive, so a
// caller that holds it (a worker's whole drawing job) can call into the layer.
std::recursive_mutex& layerLock();

// The program's multithread interface: enter and leave the layer's lock.
class Multithread {
public:
    void enter() { layerLock().lock(); }
    void leave() { layerLock().unlock(); }
};

}  // namespace Platform::draw2d
