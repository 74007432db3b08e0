#pragma once
// The GPU services of a test suite on the software driver: start() from
// SetUpTestSuite makes them, stop() from TearDownTestSuite drops them.
#include <dlfcn.h>

#include <memory>

#include "core/ServiceHolder.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceService.h"

class SuiteGpu {
public:
    // Without the shared shaders the drawing takes its shader-less paths.
    enum Shaders { kDeviceOnly, kWithShaders };

    static void start(Shaders shaders) {
        dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
        d3d_ = std::make_unique<System::ServiceHolder<Media::Direct3DService>>();
        if (shaders == kWithShaders) resources_ = std::make_unique<System::ServiceHolder<Resource::ResourceService>>();
    }
    static void stop() {
        resources_.reset();
        d3d_.reset();
    }

private:
    static inline std::unique_ptr<System::ServiceHolder<Media::Direct3DService>> d3d_;
    static inline std::unique_ptr<System::ServiceHolder<Resource::ResourceService>> resources_;
};
