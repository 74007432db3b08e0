#include "ui/framework/StyleBitmapList.h"

#include "core/Exception.h"
#include "media/image/ImageService.h"

namespace Window {

const std::array<int32_t, StyleBitmapList::Count> StyleBitmapList::ResourceIds = {136, 138, 137, 133, 134, 141,
                                                                                  142, 149, 144, 145, 147, 148,
                                                                                  152, 153, 150, 151, 154, 155,
                                                                                  156, 157, 159, 160};

StyleBitmapList::StyleBitmapList() {
    for (int32_t i = 0; i < Count; ++i) {
        entries[size_t(i)].generator = [this,
                                        id = ResourceIds[size_t(i)]](std::unique_ptr<Platform::draw2d::Bitmap>* out) {
            Media::ImageService* images = Media::ImageService::get();
            if (images == nullptr)
                throw System::messageException("Window::StyleBitmapList", "image service not created.");
            *out = images->loadFromResource(id, target);
        };
    }
}

}  // namespace Window
