#include "core/File.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/AlignedBuffer.h"
#include "core/Exception.h"
#include "platform/os/ErrorText.h"
#include "core/TextConvert.h"
#include "support/LogCapture.h"

namespace fs = std::filesystem;

namespace {

class FileTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    std::wstring path(const char* name) const { return System::utf8ToWide((root_ / name).string()); }
    void touch(const char* name, const std::string& content = "") const { std::ofstream(root_ / name) << content; }
    static std::vector<std::wstring> names(const std::vector<System::File::FileEntry>& entries) {
        std::vector<std::wstring> out;
        for (const auto& e : entries) out.push_back(e.name);
        return out;
    }
    fs::path root_;
};

std::string textOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no exception";
}

TEST_F(FileTest, WriteReadSeekAndSize) {
    System::File file;
    file.open(path("a.bin"), System::File::kWrite);
    file.write("hello world", 11);
    file.close();
    file.close();  // closing a closed file does nothing

    file.open(path("a.bin"), System::File::kRead);
    EXPECT_EQ(file.getSize(), 11);
    char buffer[6] = {};
    file.seek(6);
    file.readBlock(buffer, 5);
    EXPECT_STREQ(buffer, "world");

    // Opening a second file closes the first; mode 1 truncates.
    file.open(path("a.bin"), System::File::kWrite);
    file.write("x", 1);
    file.close();
    EXPECT_EQ(fs::file_size(root_ / "a.bin"), 1u);

    // Mode 3 keeps what is there.
    file.open(path("a.bin"), System::File::kOpenAlways);
    file.close();
    EXPECT_EQ(fs::file_size(root_ / "a.bin"), 1u);
}

TEST_F(FileTest, FailuresCarryTheirTextsAndCodes) {
    LogCapture log;
    System::File file;
    const std::string missing = (root_ / "missing.txt").string();
    EXPECT_EQ(textOf([&] { file.open(path("missing.txt"), System::File::kRead); }),
              "failed to open file.\n\n[Note]\n" + missing + "\n\n[Place]\nSystem::File::open()");
    EXPECT_FALSE(file.isOpen());
    ASSERT_EQ(log.lines.size(), 2u);  // the call's failure, then the message
    EXPECT_NE(log.lines[0].message.find("CreateFileW() failed in System::File::open() [No such file or directory]"),
              std::string::npos);

    touch("short.bin", "abc");
    file.open(path("short.bin"), System::File::kRead);
    char buffer[8];
    EXPECT_EQ(textOf([&] { file.readBlock(buffer, 8); }),
              "The system cannot read from the specified device.\n\n[Place]\nSystem::File::readBlock()");
    EXPECT_TRUE(file.isOpen());  // an exception leaves the file open

    // A full device takes fewer bytes than asked.
    if (fs::exists("/dev/full")) {
        file.open(L"/dev/full", System::File::kOpenAlways);
        const std::string text = textOf([&] { file.write("x", 1); });
        EXPECT_NE(text.find("[Place]\nSystem::File::write()"), std::string::npos) << text;
    }
}

TEST_F(FileTest, WholeFileWritesReplaceTheOldFileOnlyWhenClosed) {
    touch("settings.ini", "old content");
    {
        System::File file;
        file.open(path("settings.ini"), System::File::kWrite);
        file.write("new", 3);
        EXPECT_EQ(fs::file_size(root_ / "settings.ini"), 11u);  // the old file is untouched meanwhile
    }                                                           // dropped without close(): a writer that threw
    std::ifstream in(root_ / "settings.ini");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old content");

    System::File file;
    file.open(path("settings.ini"), System::File::kWrite);
    file.write("new", 3);
    file.close();
    EXPECT_EQ(fs::file_size(root_ / "settings.ini"), 3u);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root_)) ++entries;
    EXPECT_EQ(entries, 1u);  // no temporary file left
}

// A whole-file write takes the old file's place as an in-place rewrite would:
// its permissions stay, a link keeps pointing at the rewritten file, and a file
// the user may not write is refused.
TEST_F(FileTest, WholeFileWritesKeepPermissionsAndLinks) {
    auto rewrite = [&](const char* name, const char* content) {
        System::File file;
        file.open(path(name), System::File::kWrite);
        file.write(content, static_cast<int32_t>(std::strlen(content)));
        file.close();
    };
    auto contentOf = [&](const char* name) {
        std::ifstream in(root_ / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    touch("private.ini", "old");
    fs::permissions(root_ / "private.ini", fs::perms::owner_read | fs::perms::owner_write);
    rewrite("private.ini", "new");
    EXPECT_EQ(contentOf("private.ini"), "new");
    EXPECT_EQ(fs::status(root_ / "private.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    fs::create_directories(root_ / "kept");
    touch("kept/real.ini", "old");
    fs::create_symlink(root_ / "kept/real.ini", root_ / "link.ini");
    rewrite("link.ini", "through the link");
    EXPECT_TRUE(fs::is_symlink(root_ / "link.ini"));
    EXPECT_EQ(contentOf("kept/real.ini"), "through the link");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root_ / "kept")) ++entries;
    EXPECT_EQ(entries, 1u);  // no temporary file left beside the real file

    if (geteuid() != 0) {  // the superuser may write any file
        touch("readonly.ini", "old");
        fs::permissions(root_ / "readonly.ini", fs::perms::owner_read);
        LogCapture log;
        System::File file;
        EXPECT_EQ(textOf([&] {
                      file.open(path("readonly.ini"), System::File::kWrite);
                  }).rfind("failed to open file.", 0),
                  0u);
        EXPECT_EQ(contentOf("readonly.ini"), "old");
    }
}

// A whole-file write to a named pipe (a program reading the output) goes into
// the pipe instead of putting a plain file in its place.
TEST_F(FileTest, WholeFileWritesToANamedPipeGoThroughIt) {
    const std::string fifo = (root_ / "out.pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    System::File file;
    file.open(path("out.pipe"), System::File::kWrite);
    file.write("frame", 5);
    file.close();
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5);
    EXPECT_STREQ(got, "frame");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(root_ / "out.pipe"));
}

TEST(FileErrors, ProgramCodesHaveTheirOwnTextsAndErrnoTextsStay) {
    LogCapture log;
    // The short read and short write codes name the device, not the errno of the same number.
    EXPECT_STREQ(System::win32ErrorException("System::File::write", Platform::os::kErrorWriteFault).what(),
                 "The system cannot write to the specified device.\n\n[Place]\nSystem::File::write()");
    EXPECT_STREQ(System::win32ErrorException("S", Platform::os::kErrorOutOfMemory).what(),
                 "Not enough memory resources are available to complete this operation.\n\n[Place]\nS()");
    EXPECT_EQ(Platform::os::resultMessage(Platform::resultFromSystemError(EROFS)), "Read-only file system");
    EXPECT_EQ(Platform::os::resultMessage(Platform::resultFromSystemError(ESPIPE)), "Illegal seek");
    System::File file;
    EXPECT_NE(textOf([&] { file.readBlock(nullptr, 1); }).find("ReadFile() failed."), std::string::npos);
}

TEST_F(FileTest, ListingsMatchCaseInsensitivelyAndFilterExtensionLength) {
    touch("a.vin");
    touch("b.vin2");
    touch("c.VIN");
    touch(".hidden.vin");
    fs::create_directories(root_ / "dir.vin");
    const std::wstring folder = System::utf8ToWide(root_.string());

    EXPECT_EQ(names(System::File::getFileList(folder + L"/*.vin")),
              (std::vector<std::wstring>{L".hidden.vin", L"a.vin", L"c.VIN"}));
    EXPECT_EQ(names(System::File::getFileList(folder + L"/*.vin2", &folder)),
              std::vector<std::wstring>{folder + L"/b.vin2"});
    EXPECT_EQ(names(System::findFilesByPattern(folder + L"/a.*")),
              std::vector<std::wstring>{});  // extension "*" lists nothing
    EXPECT_EQ(names(System::findFilesByPattern(folder + L"/?.vin")),
              (std::vector<std::wstring>{folder + L"/a.vin", folder + L"/c.VIN"}));
    EXPECT_TRUE(System::File::getFileList(folder + L"/nowhere/*.vin").empty());

    fs::create_directories(root_ / "Sub");
    fs::create_directories(root_ / ".git");
    EXPECT_EQ(names(System::File::getFolderList(folder + L"/*")), (std::vector<std::wstring>{L"Sub", L"dir.vin"}));
}

TEST_F(FileTest, ListedSizesKeepAll64Bits) {
    // A sparse file of 5 GiB takes no space.
    const fs::path big = root_ / "big.dat";
    std::ofstream(big).close();
    fs::resize_file(big, 5ull << 30);
    const auto list = System::File::getFileList(System::utf8ToWide(root_.string()) + L"/*.dat");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].size, 5ull << 30);
    EXPECT_GT(list[0].lastWriteTime, 116444736000000000LL);  // after 1970
}

TEST_F(FileTest, CreateDirectoryMakesParentsAndAcceptsExisting) {
    const std::wstring deep = path("x/y/z");
    System::File::createDirectory(deep);
    System::File::createDirectory(deep);
    EXPECT_TRUE(fs::is_directory(root_ / "x/y/z"));
    touch("file");
    LogCapture log;
    EXPECT_NE(textOf([&] { System::File::createDirectory(path("file/sub")); }).find("SHCreateDirectory() failed."),
              std::string::npos);
}

TEST(AlignedBuffer, GrowsOnlyAndKeepsContentsWhenItFits) {
    System::AlignedBuffer buffer;
    buffer.allocMemory(100);
    ASSERT_NE(buffer.data(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % 32, 0u);
    std::memset(buffer.data(), 0x5A, 100);
    uint8_t* first = buffer.data();
    buffer.allocMemory(50);
    EXPECT_EQ(buffer.data(), first);
    EXPECT_EQ(buffer.capacity(), 100u);
    EXPECT_EQ(buffer.size(), 50u);
    EXPECT_EQ(buffer.data()[99], 0x5A);
    buffer.allocMemory(200);
    EXPECT_EQ(buffer.capacity(), 200u);
    EXPECT_EQ(buffer.size(), 200u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % 32, 0u);
    buffer.freeMemory();
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(buffer.capacity(), 0u);
    buffer.freeMemory();
}

}  // namespace
