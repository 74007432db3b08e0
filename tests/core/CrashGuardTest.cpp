#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "core/Exception.h"
#include "support/LogCapture.h"

namespace {

struct Crashy : ::testing::Test {
    void* handle = nullptr;
    void SetUp() override {
        handle = dlopen(VELMO_TEST_CRASHY, RTLD_NOW);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle) dlclose(handle);
    }
    template <class F>
    F* fn(const char* name) {
        return reinterpret_cast<F*>(dlsym(handle, name));
    }
};

TEST_F(Crashy, NullDereferenceNamesTheSharedObject) {
    auto* crash = fn<int()>("crashy_null");
    ASSERT_NE(crash, nullptr);
    LogCapture log;
    try {
        System::guardedCall("table.func_open", "Plugin::ExternalInputPlugin::ExternalInputFile::open",
                            [&] { return crash(); });
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("table.func_open() structured exception\n\n[Note]\nCode: 0xC0000005\nAddress 0x", 0), 0u)
            << text;
        EXPECT_NE(text.find(
                      "\nModule: libcrashy.so\n\n[Place]\nPlugin::ExternalInputPlugin::ExternalInputFile::open()"),
                  std::string::npos)
            << text;
    }
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].message.find("Address: 0x"), std::string::npos);
}

TEST_F(Crashy, DivideByZeroAndRecovery) {
    auto* divide = fn<int(int, int)>("crashy_divide");
    auto* fine = fn<int(int)>("crashy_fine");
    LogCapture log;
    for (int round = 0; round < 3; ++round) {
        try {
            System::guardedCall("codec", "Media::X::decode", [&] { return divide(1, 0); });
            FAIL();
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("Code: 0xC0000094"), std::string::npos) << e.what();
        }
        // The guard is reusable and a normal call returns its value.
        EXPECT_EQ(System::guardedCall("codec", "S", [&] { return fine(round); }), round + 1);
    }
}

TEST(CrashGuard, CppExceptionsPassThroughAndNestedGuardsWork) {
    EXPECT_THROW(System::guardedCall("c", "s", [] { throw std::logic_error("x"); }), std::logic_error);
    int inner = System::guardedCall("outer", "s", [] { return System::guardedCall("inner", "s", [] { return 7; }); });
    EXPECT_EQ(inner, 7);
}

TEST(CrashGuard, AddressOutsideEveryModuleIsUnknown) {
    EXPECT_EQ(Platform::os::moduleNameOf(reinterpret_cast<void*>(0x10)), "unknown");
    EXPECT_EQ(Platform::os::moduleNameOf(nullptr), "unknown");
}

}  // namespace
