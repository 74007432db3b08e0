#include "platform/os/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/os/FileHandle.h"
#include "platform/os/KnownFolder.h"

namespace fs = std::filesystem;

namespace {

TEST(FileSystem, WildcardsIgnoreCase) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* name;
        bool match;
    } cases[] = {
        {L"*.vin", L"a.VIN", true},
        {L"*.vin", L"a.vin2", false},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
        {L"*", L"", true},
        {L"*a*c*", L"xxaybz", false},
        {L"*a*b*", L"xxaybzb", true},
        {L"\uff21*", L"\uff41bc", true},
    };
    for (const auto& c : cases) EXPECT_EQ(Platform::os::matchWildcard(c.pattern, c.name), c.match);
}

TEST(FileSystem, FilesFoldersRenameAndDelete) {
    char pattern[] = "/tmp/velmo-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    ASSERT_EQ(Platform::os::createFolders(root + "/a/b"), Platform::kOk);
    EXPECT_TRUE(Platform::os::isFolder(root + "/a/b"));

    Platform::os::FileHandle file;
    ASSERT_EQ(file.open(root + "/a/x.tmp", Platform::os::FileMode::write), Platform::kOk);
    size_t done = 0;
    EXPECT_EQ(file.write("12345", 5, done), Platform::kOk);
    EXPECT_EQ(done, 5u);
    file.close();
    EXPECT_EQ(Platform::os::renameFile(root + "/a/x.tmp", root + "/a/x.txt"), Platform::kOk);
    uint64_t size = 0;
    EXPECT_EQ(Platform::os::fileSize(root + "/a/x.txt", size), Platform::kOk);
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(Platform::os::pathExists(root + "/a/x.tmp"));

    const auto entries = Platform::os::listFolder(root + "/a", L"*");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "b");
    EXPECT_TRUE(entries[0].isFolder);
    EXPECT_EQ(entries[1].name, "x.txt");

    EXPECT_EQ(Platform::os::deleteFile(root + "/a/x.txt"), Platform::kOk);
    EXPECT_TRUE(Platform::failed(Platform::os::deleteFile(root + "/a/x.txt")));
    EXPECT_TRUE(Platform::failed(file.open(root + "/a", Platform::os::FileMode::read)));
    fs::remove_all(root);
}

TEST(KnownFolder, ExecutableAndDataFolders) {
    std::string exe;
    ASSERT_EQ(Platform::os::executablePath(exe), Platform::kOk);
    EXPECT_EQ(fs::path(exe).filename(), "test_platform_os");

    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    std::string folder;
    setenv("XDG_DATA_HOME", "/srv/share/", 1);
    EXPECT_EQ(Platform::os::programDataFolder(folder), Platform::kOk);
    EXPECT_EQ(folder, "/srv/share");
    setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(Platform::os::programDataFolder(folder), Platform::kOk);
    EXPECT_EQ(folder, std::string(std::getenv("HOME")) + "/.local/share");
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

// A new file written through a replacement gets the mode the umask gives any new file.
TEST(FileHandle, NewReplacementFilesFollowTheUmask) {
    char pattern[] = "/tmp/velmo-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const mode_t old = ::umask(027);
    for (int i = 0; i < 2; ++i) {
        Platform::os::FileHandle file;
        const std::string name = root + "/new" + std::to_string(i);
        ASSERT_TRUE(Platform::succeeded(file.openReplacement(name)));
        ASSERT_TRUE(Platform::succeeded(file.commit()));
        struct stat st {};
        ASSERT_EQ(::stat(name.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
    }
    ::umask(old);
    fs::remove_all(root);
}

// A replacement written in uneven pieces across several of the steps whose
// writeback starts while it grows, its header then rewritten in place as an
// AVI writer does, holds exactly those bytes once committed.
TEST(FileHandle, AReplacementWrittenPastSeveralWritebackStepsHoldsItsBytes) {
    char pattern[] = "/tmp/velmo-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const std::string target = root + "/long.avi";
    std::vector<char> want(size_t{100} << 20);
    for (size_t i = 0; i < want.size(); ++i) want[i] = static_cast<char>(i * 2654435761u >> 24);
    {
        Platform::os::FileHandle file;
        ASSERT_TRUE(Platform::succeeded(file.openReplacement(target)));
        // A 1080p frame of 24-bit rows, and pieces that end anywhere in a step.
        const size_t pieces[] = {6220800, 1048579, 12345, 33554427};
        for (size_t at = 0, k = 0; at < want.size(); ++k) {
            const size_t n = std::min(pieces[k % 4], want.size() - at);
            size_t done = 0;
            ASSERT_TRUE(Platform::succeeded(file.write(want.data() + at, n, done)));
            ASSERT_EQ(done, n);
            at += n;
        }
        const char header[] = "RIFF-rewritten";
        std::copy(header, header + sizeof header, want.begin() + 8);
        size_t done = 0;
        ASSERT_TRUE(Platform::succeeded(file.seek(8)));
        ASSERT_TRUE(Platform::succeeded(file.write(header, sizeof header, done)));
        ASSERT_TRUE(Platform::succeeded(file.commit()));
    }
    std::ifstream in(target, std::ios::binary);
    const std::vector<char> got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got.size(), want.size());
    EXPECT_TRUE(got == want) << "the bytes differ";
    fs::remove_all(root);
}

// The names in the folder.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A replacement being written leaves no file beside its target, not even when
// the writer is killed; the temporaries a killed writer of an older kind left
// are deleted by the next replacement of the same target, those of a live
// writer and other files kept.
TEST(FileHandle, AKilledWriterLeavesNothingBesideItsTarget) {
    char pattern[] = "/tmp/velmo-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const std::string target = root + "/out.avi";
    {
        std::ofstream(target) << "old";
        std::ofstream(root + "/out.avi.~qYJp4s") << "left by a killed export";
        std::ofstream(root + "/out.avi.~long name") << "not a temporary";
        std::ofstream(root + "/other.avi.~abcdef") << "another target's";
    }
    const std::string live = root + "/out.avi.~LiVe01";
    const int liveFd = ::open(live.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(liveFd, 0);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Platform::os::FileHandle file;
        size_t done = 0;
        if (Platform::failed(file.openReplacement(target))) ::_exit(1);
        if (Platform::failed(file.write("half-written", 12, done))) ::_exit(2);
        ::kill(::getpid(), SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(namesIn(root), (std::vector<std::string>{"other.avi.~abcdef", "out.avi", "out.avi.~LiVe01",
                                                         "out.avi.~long name"}))
        << "the stale temporary went, the killed writer left nothing";
    {
        std::ifstream in(target);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "old");
    }

    Platform::os::FileHandle file;
    ASSERT_TRUE(Platform::succeeded(file.openReplacement(target)));
    EXPECT_TRUE(file.isReplacement());
    size_t done = 0;
    ASSERT_TRUE(Platform::succeeded(file.write("new", 3, done)));
    EXPECT_EQ(namesIn(root).size(), 4u) << "nothing named while written";
    ASSERT_TRUE(Platform::succeeded(file.commit()));
    EXPECT_EQ(namesIn(root).size(), 4u);
    {
        std::ifstream in(target);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "new");
    }
    ::close(liveFd);
    fs::remove_all(root);
}

}  // namespace
