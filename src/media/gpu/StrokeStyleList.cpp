#include "media/gpu/StrokeStyleList.h"

#include "core/Exception.h"

namespace Resource {

namespace D2 = Platform::draw2d;

namespace {

Media::ComResource<D2::StrokeStyle>::Generator generator(D2::CapStyle cap, D2::LineJoin join, float miter,
                                                         D2::DashStyle dash, bool threeOnThreeOff) {
    return [=](std::unique_ptr<D2::StrokeStyle>* slot) {
        D2::StrokeStyleDesc d;
        d.startCap = d.endCap = d.dashCap = cap;
        d.lineJoin = join;
        d.miterLimit = miter;
        d.dashStyle = dash;
        static const float dashes[] = {3, 3};  // in stroke widths
        if (const auto hr =
                D2::StrokeStyle::create(d, threeOnThreeOff ? dashes : nullptr, threeOnThreeOff ? 2 : 0, *slot);
            Platform::failed(hr))
            throw System::hresultException("Direct2DService::Get().factory->CreateStrokeStyle",
                                           "Resource::StrokeStyleList::StrokeStyleList", hr);
    };
}

}  // namespace

StrokeStyleList::StrokeStyleList() {
    styles[0].generator = generator(D2::CapStyle::Flat, D2::LineJoin::Miter, 10, D2::DashStyle::Custom, true);
    styles[1].generator = generator(D2::CapStyle::Flat, D2::LineJoin::Miter, 10, D2::DashStyle::Dash, false);
    styles[2].generator = generator(D2::CapStyle::Round, D2::LineJoin::Round, 1, D2::DashStyle::Solid, false);
    styles[3].generator = generator(D2::CapStyle::Flat, D2::LineJoin::Bevel, 1, D2::DashStyle::Solid, false);
}

}  // namespace Resource
