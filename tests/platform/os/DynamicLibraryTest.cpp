#include <gtest/gtest.h>

#include <cerrno>

#include "platform/os/DynamicLibrary.h"
#include "platform/os/ErrorText.h"

namespace {

using Platform::os::DynamicLibrary;

TEST(DynamicLibraryTest, LoadsALibraryByNameAndFindsItsSymbols) {
    DynamicLibrary library;
    ASSERT_EQ(library.open("libm.so.6"), Platform::kOk);
    EXPECT_TRUE(library.loaded());
    auto* cosine = reinterpret_cast<double (*)(double)>(library.symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);

    EXPECT_EQ(library.symbol("velmo_no_such_symbol"), nullptr);
    EXPECT_EQ(Platform::os::lastError(), ENOSYS);
    EXPECT_NE(library.errorText().find("velmo_no_such_symbol"), std::string::npos);
    library.close();
    EXPECT_FALSE(library.loaded());
    EXPECT_EQ(library.symbol("cos"), nullptr);
}

TEST(DynamicLibraryTest, AMissingLibraryFailsWithFileNotFound) {
    DynamicLibrary library;
    EXPECT_EQ(library.open("libvelmo-no-such-library.so"), Platform::resultFromSystemError(ENOENT));
    EXPECT_EQ(Platform::os::lastError(), ENOENT);
    EXPECT_FALSE(library.loaded());
    EXPECT_NE(library.errorText().find("libvelmo-no-such-library.so"), std::string::npos);
}

}  // namespace
