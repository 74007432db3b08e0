#include "media/gpu/Direct2DService.h"

#include "core/Exception.h"
#include "platform/draw2d/Font.h"

namespace Media {

Direct2DService::Direct2DService() {
    if (const auto hr = Platform::draw2d::FontCollection::system(writeFactory); Platform::failed(hr))
        throw System::hresultException("DWriteCreateFactory", "Media::Direct2DService::Direct2DService", hr);
    fontManager.registerFont(*writeFactory);
}

Direct2DService::~Direct2DService() { writeFactory.reset(); }

}  // namespace Media
