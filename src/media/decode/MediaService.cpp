#include "media/decode/MediaService.h"

#include "core/Exception.h"
#include "platform/mediareader/MediaReader.h"

namespace Media {

MediaService::MediaService() {
    if (const auto hr = Platform::mediareader::startup(kVersion, kStartupLite); Platform::failed(hr))
        throw System::hresultException("MFStartup", "Media::MediaService::MediaService", hr);
}

MediaService::~MediaService() {
    // A destructor may not throw: building the exception logs the failure.
    if (const auto hr = Platform::mediareader::shutdown(); Platform::failed(hr))
        (void)System::hresultException("MFShutdown", "Media::MediaService::~MediaService", hr);
}

}  // namespace Media
