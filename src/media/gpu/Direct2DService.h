#pragma once
#include "core/ServiceHolder.h"

// The Direct2D service: the 2D drawing and text factories and the font
// registry. Its slot and mix-in exist from start-up; the factories arrive with
// the 2D drawing layer.
namespace Media {

class Direct2DService {
public:
    Direct2DService() = default;
    ~Direct2DService() = default;
    Direct2DService(const Direct2DService&) = delete;
    Direct2DService& operator=(const Direct2DService&) = delete;

    static Direct2DService* Get() { return System::ServiceSlot<Direct2DService>::instance; }
};

// Mix-in: the service's pointer, copied when built.
class Direct2DInstance {
public:
    Direct2DInstance() : Direct2D(Direct2DService::Get()) {}
    Direct2DService* Direct2D;
};

}  // namespace Media
