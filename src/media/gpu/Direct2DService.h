#pragma once
#include <memory>

#include "core/ServiceHolder.h"
#include "media/gpu/FontManager.h"
#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {
class FontCollection;
}

// The Direct2D service: the 2-D drawing layer's lock, the installed fonts and
// the font registry, made once at start-up.
namespace Media {

class Direct2DService {
public:
    // Reads the installed fonts and registers them; throws when they cannot be read.
    Direct2DService();
    ~Direct2DService();
    Direct2DService(const Direct2DService&) = delete;
    Direct2DService& operator=(const Direct2DService&) = delete;

    static Direct2DService* get() { return System::ServiceSlot<Direct2DService>::instance; }

    FontManager fontManager;
    // Entered around drawing on worker threads (the multithread lock).
    Platform::draw2d::Multithread factory;
    // The installed fonts.
    std::shared_ptr<Platform::draw2d::FontCollection> writeFactory;
};

// Mix-in: the service's pointer, copied when built.
class Direct2DInstance {
public:
    Direct2DInstance() : Direct2D(Direct2DService::get()) {}
    Direct2DService* Direct2D;
};

}  // namespace Media
