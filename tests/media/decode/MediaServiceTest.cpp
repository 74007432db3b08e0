#include <gtest/gtest.h>

#include "core/ServiceHolder.h"
#include "media/decode/MediaService.h"
#include "support/LogCapture.h"

TEST(MediaServiceTest, StartsAndStopsQuietlyWithItsHolders) {
    LogCapture log;
    {
        System::ServiceHolder<Media::MediaService> first;
        ASSERT_NE(Media::MediaService::get(), nullptr);
        {
            System::ServiceHolder<Media::MediaService> second;
            EXPECT_EQ(second.get(), first.get());
        }
        EXPECT_NE(Media::MediaService::get(), nullptr);
    }
    EXPECT_EQ(Media::MediaService::get(), nullptr);
    EXPECT_TRUE(log.lines.empty());
}
