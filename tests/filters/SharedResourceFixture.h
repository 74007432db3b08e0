#pragma once
// Filters on lavapipe whose instances share the class resource of a
// prototype, as the effect service hands them out.
#include <gtest/gtest.h>

#include <memory>

#include "BlurFixture.h"
#include "effect/RenderContext.h"

class SharedResourceFixture : public BlurFixture {
protected:
    // A fresh instance sharing the resource of a prototype made once per call.
    template <class T>
    std::shared_ptr<T> make() {
        auto prototype = std::make_shared<T>();
        prototype->createCommonResource();
        auto filter = std::static_pointer_cast<T>(prototype->createInstance());
        filter->shareResource(*prototype);
        EXPECT_EQ(filter->common, prototype->common);
        return filter;
    }
    Render::RenderContext context;
};
