#include "core/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/LogCapture.h"

namespace {

struct BuilderCase {
    const char* name;
    std::function<std::runtime_error()> build;
    const char* logged;
    const char* text;
};

TEST(Exception, BuildersLogOneLineAndCarryMultiLineText) {
    System::StructuredExceptionInfo crash;
    crash.address = reinterpret_cast<void*>(0x1234abcdULL);
    crash.code = 0xC0000005u;
    crash.module = "plugin.vin2";

    const BuilderCase cases[] = {
        {"hresult",
         [] { return System::hresultException("CreateTexture2D", "Media::A::b", static_cast<int32_t>(0x80070057u)); },
         "CreateTexture2D() failed in Media::A::b() [The parameter is incorrect.] (HRESULT: 0x80070057)",
         "CreateTexture2D() failed.\n\n[Note]\nHRESULT: 0x80070057\nThe parameter is "
         "incorrect.\n\n[Place]\nMedia::A::b()"},
        {"hresult zero", [] { return System::hresultException("Call", "S", 0); },
         "Call() failed in S() [The operation completed successfully.] (HRESULT: 0x00000000)",
         "Call() failed.\n\n[Note]\nHRESULT: 0x00000000\nThe operation completed successfully.\n\n[Place]\nS()"},
        {"hresult unknown", [] { return System::hresultException("Call", "S", static_cast<int32_t>(0x8899AABBu)); },
         "Call() failed in S() [unknown error] (HRESULT: 0x8899AABB)",
         "Call() failed.\n\n[Note]\nHRESULT: 0x8899AABB\nunknown error\n\n[Place]\nS()"},
        {"win32", [] { return System::win32ErrorException("System::File::read", 2); },
         "No such file or directory in System::File::read()",
         "No such file or directory\n\n[Place]\nSystem::File::read()"},
        {"message with note", [] { return System::messageException("Edit::X::y", "bad value", "layer 3"); },
         "bad value in Edit::X::y() [layer 3]", "bad value\n\n[Note]\nlayer 3\n\n[Place]\nEdit::X::y()"},
        {"message without note", [] { return System::messageException("Edit::X::y", "bad value"); },
         "bad value in Edit::X::y()", "bad value\n\n[Place]\nEdit::X::y()"},
        {"format",
         [] { return System::formatException("Plugin::P::open", "cannot open", L"%ls (%d)", L"\u52d5\u753b.avi", 7); },
         "cannot open in Plugin::P::open() [\xe5\x8b\x95\xe7\x94\xbb.avi (7)]",
         "cannot open\n\n[Note]\n\xe5\x8b\x95\xe7\x94\xbb.avi (7)\n\n[Place]\nPlugin::P::open()"},
        {"structured", [crash] { return System::structuredException("table.func_open", "Plugin::F::open", crash); },
         "table.func_open() structured exception in Plugin::F::open() [Code: 0xC0000005 Address: 0x000000001234ABCD "
         "Module: plugin.vin2]",
         "table.func_open() structured exception\n\n[Note]\nCode: 0xC0000005\nAddress 0x000000001234ABCD\nModule: "
         "plugin.vin2\n\n[Place]\nPlugin::F::open()"},
        {"not implement", [] { return System::notImplementException("Dialog::DialogItem::create"); },
         "not implement. in Dialog::DialogItem::create()", "not implement.\n\n[Place]\nDialog::DialogItem::create()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const std::runtime_error e = c.build();
        EXPECT_STREQ(e.what(), c.text);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].level, "ERROR");
        EXPECT_EQ(log.lines[0].scope, "Exception");
        EXPECT_EQ(log.lines[0].message, c.logged);
    }
}

TEST(Exception, LastErrorBecomesHresult) {
    const std::pair<int, const char*> cases[] = {{5, "HRESULT: 0x80070005"}, {0, "HRESULT: 0x00000000"}};
    for (const auto& [code, expected] : cases) {
        LogCapture log;
        errno = code;
        const auto e = System::lastErrorException("CreateSemaphore", "Sync::Semaphore::setMax");
        EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        EXPECT_NE(log.lines.at(0).message.find(expected), std::string::npos);
    }
}

TEST(Exception, HresultFromWin32) {
    const std::pair<int32_t, uint32_t> cases[] = {
        {0, 0}, {-5, static_cast<uint32_t>(-5)}, {5, 0x80070005u}, {30, 0x8007001Eu}, {0x12345, 0x80072345u}};
    for (const auto& [code, hr] : cases) EXPECT_EQ(static_cast<uint32_t>(System::hresultFromWin32(code)), hr) << code;
}

TEST(Exception, LongTextsAreCutAt1023Bytes) {
    LogCapture log;
    const std::string message(3000, 'm');
    const auto e = System::messageException("Scope", message.c_str(), "note");
    EXPECT_EQ(std::string(e.what()).size(), 1023u);
    EXPECT_EQ(std::string(e.what()), message.substr(0, 1023));
    EXPECT_EQ(log.lines.at(0).message.size(), 1023u);

    // A cut never splits a character: here 1023 bytes end inside the 341st "\xe3\x81\x82".
    const std::string padded = "a" + [] {
        std::string s;
        for (int i = 0; i < 1000; ++i) s += "\xe3\x81\x82";
        return s;
    }();
    const auto g = System::messageException("Scope", padded.c_str());
    EXPECT_EQ(std::string(g.what()), padded.substr(0, 1021));
    EXPECT_EQ(log.lines.at(1).message, padded.substr(0, 1021));
    const auto h = System::formatException("Scope", "m", L"%ls", std::wstring(1000, L'\u3042').c_str());
    EXPECT_EQ(std::string(h.what()).size(), 1021u) << "\"m\\n\\n[Note]\\n\" and 337 whole characters";

    const std::wstring note(2000, L'n');
    const auto f = System::formatException("Scope", "m", L"%ls", note.c_str());
    EXPECT_EQ(std::string(f.what()).size(), 1023u);
}

}  // namespace
