#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "core/File.h"
#include "core/TextConvert.h"
#include "support/TestFolders.h"
#include "support/LogCapture.h"

namespace {

class IniFileTest : public TestFolders {
protected:
    // Loads content written to a fresh file; returns the document's WARN lines.
    std::vector<std::string> load(System::IniFile& ini, const std::string& content, bool ansi = false) {
        writeFile(root_ / "t.ini", content);
        LogCapture log;
        ini.loadFile(wide(root_ / "t.ini"), false, ansi);
        std::vector<std::string> warnings;
        for (const auto& line : log.lines)
            if (line.level == "WARN") warnings.push_back(line.message);
        return warnings;
    }
    static std::string text(System::IniFile& ini, const char* section, const char* key) {
        return ini.getSection(section).findValue(key).text;
    }
};

std::string errorOf(const std::function<void()>& f) {
    LogCapture quiet;
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

TEST_F(IniFileTest, ReadingRules) {
    System::IniFile ini;
    const std::string iniPath = (root_ / "t.ini").string();
    const auto warnings = load(ini,
                               "orphan=1\r\n"        // 1: before any section
                               "[A]\r\n"             // 2
                               "key = value\r\n"     // 3: blanks kept
                               "two==x=y\n"          // 4: split at the first "="
                               "empty=\r\n"          // 5
                               "=emptykey\r\n"       // 6
                               ";comment=1\r\n"      // 7
                               " ;notcomment=2\r\n"  // 8: a key " ;notcomment"
                               "\r\n"                // 9
                               "noequals\r\n"        // 10: illegal
                               "[A] \r\n"            // 11: not a header, illegal
                               "after=header\r\n"    // 12: still in A
                               "[]\r\n"              // 13
                               "inempty=1\r\n"       // 14: illegal
                               "[B]\n"               // 15
                               "k=first\n"           // 16
                               "k=second\n"          // 17: duplicate
                               "[A]\r\n"             // 18: continues A
                               "more=yes\r\r\n"      // 19: every trailing CR goes
                               "last=no break");     // 20
    EXPECT_EQ(text(ini, "A", "key "), " value");
    EXPECT_EQ(text(ini, "A", "two"), "=x=y");
    EXPECT_EQ(text(ini, "A", "empty"), "");
    EXPECT_TRUE(ini.getSection("A").keys().count("empty"));
    EXPECT_EQ(text(ini, "A", ""), "emptykey");
    EXPECT_EQ(text(ini, "A", " ;notcomment"), "2");
    EXPECT_FALSE(ini.getSection("A").keys().count(";comment"));
    EXPECT_EQ(text(ini, "A", "after"), "header");
    EXPECT_EQ(text(ini, "A", "more"), "yes");
    EXPECT_EQ(text(ini, "A", "last"), "no break");
    EXPECT_EQ(text(ini, "B", "k"), "first");
    EXPECT_EQ(ini.getSection("B").findValue("k").line, 16);
    EXPECT_TRUE(ini.hasSection(""));
    EXPECT_EQ(ini.getSection("").keys().size(), 0u);
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "ini file line illegal format. file=" + iniPath + "(line 1)",
                            "ini file line illegal format. file=" + iniPath + "(line 10)",
                            "ini file line illegal format. file=" + iniPath + "(line 11)",
                            "ini file line illegal format. file=" + iniPath + "(line 14)",
                            "ini file parameter duplicate key? file=" + iniPath + " (line 17) section=B key=k",
                        }));
}

// A file that is no ini text logs its first bad lines and then one count,
// not one line each.
TEST_F(IniFileTest, RepeatedWarningsEndInACount) {
    System::IniFile ini;
    const std::string iniPath = (root_ / "t.ini").string();
    std::string content = "[S]\n";
    for (int i = 0; i < 5000; ++i) content += "no equals sign\nk=again\n";
    const auto warnings = load(ini, content);
    ASSERT_EQ(warnings.size(), 22u);
    EXPECT_EQ(warnings[0], "ini file line illegal format. file=" + iniPath + "(line 2)");
    EXPECT_EQ(warnings[20], "ini file line illegal format. file=" + iniPath + " (4990 more lines)");
    EXPECT_EQ(warnings[21], "ini file parameter duplicate key? file=" + iniPath + " (4989 more keys)");
    EXPECT_EQ(text(ini, "S", "k"), "again");
}

// Whether the file was read at all: a folder, a missing file and an
// unreadable one are not; an empty file is.
TEST_F(IniFileTest, LoadTellsWhetherTheFileWasRead) {
    std::filesystem::create_directories(root_ / "folder.ini");
    writeFile(root_ / "empty.ini", "");
    writeFile(root_ / "locked.ini", "[S]\na=1\n");
    std::filesystem::permissions(root_ / "locked.ini", std::filesystem::perms::none);
    const bool canReadAnyway = std::ifstream(root_ / "locked.ini").good();  // run as root
    struct Case {
        const char* name;
        bool read;
    };
    for (const Case& c : {Case{"folder.ini", false}, Case{"missing.ini", false}, Case{"empty.ini", true},
                          Case{"locked.ini", canReadAnyway}}) {
        System::IniFile ini;
        LogCapture quiet;
        EXPECT_EQ(ini.loadFile(wide(root_ / c.name)), c.read) << c.name;
        if (!c.read) EXPECT_TRUE(ini.sections().empty()) << c.name;
    }
    std::filesystem::permissions(root_ / "locked.ini", std::filesystem::perms::owner_all);
}

TEST_F(IniFileTest, ByteOrderMarkIsPartOfTheFirstLine) {
    System::IniFile ini;
    const auto warnings = load(ini, "\xEF\xBB\xBF[S]\r\na=1\r\n[T]\r\nb=2\r\n");
    EXPECT_FALSE(ini.hasSection("S"));
    EXPECT_EQ(text(ini, "T", "b"), "2");
    EXPECT_EQ(warnings.size(), 2u);
}

TEST_F(IniFileTest, AnsiFilesAreDecodedUnlessUtf8WithMark) {
    System::IniFile ini;
    load(ini, "[\x93\xfa\x96\x7b]\r\n\x83\x4c\x81\x5b=\x92\x6c\r\n", true);  // [日本] キー=値 in CP932
    EXPECT_EQ(text(ini, "\xe6\x97\xa5\xe6\x9c\xac", "\xe3\x82\xad\xe3\x83\xbc"), "\xe5\x80\xa4");
    load(ini, "\xEF\xBB\xBF[\xe6\x97\xa5]\r\nk=\xe5\x80\xa4\r\n", true);
    EXPECT_EQ(text(ini, "\xe6\x97\xa5", "k"), "\xe5\x80\xa4");
}

TEST_F(IniFileTest, LongLinesAndSaveRoundTrip) {
    System::IniFile ini;
    const std::string longValue(200000, 'x');
    load(ini, "[S]\nlong=" + longValue + "\nutf=\xe6\x97\xa5\n[T]\n[U]\na=1\nb=\n");
    System::IniFile::Save(ini, wide(root_ / "saved.ini"));
    const std::string saved = readFile(root_ / "saved.ini");
    EXPECT_EQ(saved.find('\n') == std::string::npos ? 0 : saved[saved.find('\n') - 1], '\r');
    size_t lines = 0;
    for (size_t at = 0; (at = saved.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 7u);  // three headers, four keys, nothing else

    System::IniFile again;
    again.loadFile(wide(root_ / "saved.ini"));
    EXPECT_EQ(again.sections().size(), 3u);
    for (const auto& [name, keys] : ini.sections())
        for (const auto& [key, value] : keys) EXPECT_EQ(text(again, name.c_str(), key.c_str()), value.text);

    System::IniFile empty;
    System::IniFile::Save(empty, wide(root_ / "empty.ini"));
    EXPECT_EQ(readFile(root_ / "empty.ini"), "");
}

TEST_F(IniFileTest, DefaultsMergeSilentlyAndReloadReplaces) {
    writeFile(root_ / "user.conf", "[S]\na=user\n");
    writeFile(root_ / "default.conf", "[S]\na=default\nb=default\n[D]\nc=1\n");
    System::IniFile ini;
    LogCapture log;
    ini.loadFile(wide(root_ / "user.conf"));
    ini.loadFile(wide(root_ / "default.conf"), true);
    EXPECT_EQ(text(ini, "S", "a"), "user");
    EXPECT_EQ(text(ini, "S", "b"), "default");
    EXPECT_EQ(text(ini, "D", "c"), "1");
    EXPECT_EQ(ini.path(), wide(root_ / "user.conf"));
    for (const auto& line : log.lines) EXPECT_NE(line.level, "WARN") << line.message;

    ini.loadFile(wide(root_ / "user.conf"));
    EXPECT_FALSE(ini.hasSection("D"));
    ini.loadFile(wide(root_ / "missing.conf"));  // reads as nothing, silently
    EXPECT_TRUE(ini.sections().empty());
}

TEST_F(IniFileTest, Conversions) {
    System::IniFile ini;
    load(ini,
         "[Logger]\nnum=12ab\nblank= 7\nletters=abc\nbig=3000000000\nempty=\nf=1.5e1x\nrgb= ff8000 \nbad=12\n"
         "list=a,b/c,\n");
    auto section = ini.getSection("Logger");
    EXPECT_EQ(section.findValue("num").toInt(), 12);
    EXPECT_EQ(section.findValue("blank").toInt(), 7);
    EXPECT_EQ(section.findValue("empty").toInt(5), 5);
    EXPECT_FLOAT_EQ(section.findValue("f").toFloat(), 15.0f);
    EXPECT_EQ(section.findValue("num").toString(), L"12ab");
    EXPECT_EQ(section.findValue("empty").toString(L"def"), L"def");
    const auto color = section.findValue("rgb").toRGBA();
    EXPECT_FLOAT_EQ(color.g, 128.0f / 255);
    EXPECT_FLOAT_EQ(color.a, 1.0f);

    const std::string file = (root_ / "t.ini").string();
    const auto note = [&](int line, const char* key) {
        return "\n\n[Note]\nfile=" + file + " (line " + std::to_string(line) + ") section=Logger key=" + key +
               "\n\n[Place]\n";
    };
    struct Case {
        std::function<void()> call;
        std::string text;
    } cases[] = {
        {[&] { section.findValue("letters").toInt(); }, "ini file parameter invalid format(int) or undefined." +
                                                            note(4, "letters") + "System::IniFile::VALUE::toInt()"},
        {[&] { section.findValue("big").toInt(); },
         "ini file parameter invalid format(int) or undefined." + note(5, "big") + "System::IniFile::VALUE::toInt()"},
        {[&] { section.findValue("letters").toInt(1); },
         "ini file parameter invalid format(int)." + note(4, "letters") + "System::IniFile::VALUE::toInt()"},
        {[&] { section.findValue("empty").toFloat(); }, "ini file parameter invalid format(float) or undefined." +
                                                            note(6, "empty") + "System::IniFile::VALUE::toFloat()"},
        {[&] { section.findValue("empty").toString(); }, "ini file parameter invalid format(UTF8) or undefined." +
                                                             note(6, "empty") + "System::IniFile::VALUE::toString()"},
        {[&] { section.findValue("bad").toRGBA(); },
         "ini file parameter invalid format(RGB) or undefined." + note(9, "bad") + "System::IniFile::VALUE::toRGBA()"},
        {[&] { section.getValue("nothing"); },
         "ini file parameter undefined.\n\n[Note]\n section=Logger "
         "key=nothing\n\n[Place]\nSystem::IniFile::SectionRef::getValue()"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.call), c.text);

    const auto pieces = section.findValue("list").split(",/");
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[1].text, "b");
    EXPECT_EQ(pieces[3].text, "");
    EXPECT_EQ(pieces[0].describe(), L"file=" + wide(root_ / "t.ini") + L" (line 10) section=Logger key=list");
    EXPECT_EQ(System::IniFile::emptyValue().split(",").size(), 1u);
}

TEST_F(IniFileTest, LookupsAndNumberedSections) {
    System::IniFile ini;
    load(ini, "[scene.3]\nname=x\n");
    EXPECT_EQ(ini.getSection("scene", 3).findValue("name").text, "x");
    EXPECT_TRUE(ini.getSection("missing").keys().empty());
    EXPECT_EQ(&ini.getSection("missing").findValue("k"), &System::IniFile::emptyValue());
    System::IniFile::VALUE& created = ini.getValue("New", "key");
    EXPECT_EQ(created.line, 0);
    EXPECT_TRUE(ini.hasSection("New"));
    EXPECT_EQ(created.describe(), L"file=" + wide(root_ / "t.ini") + L" section=New key=key");
}

TEST_F(IniFileTest, SaveFlagWritesAtDestructionAndWritersStream) {
    {
        System::IniFile ini;
        load(ini, "[S]\na=1\n");
        ini.getValue("S", "b").text = "2";
        ini.setSaveFlag(true);
    }
    EXPECT_NE(readFile(root_ / "t.ini").find("b=2\r\n"), std::string::npos);

    System::File file;
    file.open(wide(root_ / "stream.ini"), System::File::kWrite);
    System::IniFile::writeKeyValue(file, "name", L"\u52d5\u753b");
    file.close();
    EXPECT_EQ(readFile(root_ / "stream.ini"), "name=\xe5\x8b\x95\xe7\x94\xbb\r\n");
}

TEST_F(IniFileTest, LineBreaksInValuesAreWrittenAsBlanks) {
    // Only LF ends a line when read: each LF (with the CRs just before it) is
    // one blank, so the value keeps its line and the key after it stays a
    // key; a CR inside the value is kept and read back as it was.
    const struct {
        const char* name;
        std::wstring value;
        std::string written;
    } cases[] = {
        {"LF", L"a\nb", "a b"},
        {"CR inside is kept", L"a\rb", "a\rb"},
        {"two CRs inside", L"a\r\rb", "a\r\rb"},
        {"CR LF", L"a\r\nb", "a b"},
        {"CR CR LF", L"a\r\r\nb", "a b"},
        {"LF CR", L"a\n\rb", "a \rb"},
        {"leading CR", L"\rab", "\rab"},
        {"trailing CR, which the reader would drop", L"ab\r", "ab "},
        {"leading LF", L"\nab", " ab"},
        {"only breaks", L"\r\n\r\n", "  "},
        {"a section line", L"x\n[evil]\nk=v", "x [evil] k=v"},
        {"a section line after a CR", L"x\r[evil]\rk=v", "x\r[evil]\rk=v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            System::File file;
            file.open(wide(root_ / "stream.ini"), System::File::kWrite);
            file.write("[S]\r\n", 5);
            System::IniFile::writeKeyValue(file, "v", c.value);
            System::IniFile::writeKeyValue(file, "after", L"1");
            file.close();
        }
        EXPECT_EQ(readFile(root_ / "stream.ini"), "[S]\r\nv=" + c.written + "\r\nafter=1\r\n");

        System::IniFile document;
        load(document, "[S]\n");
        document.getValue("S", "v").text = System::wideToUtf8(c.value);
        System::IniFile::Save(document, wide(root_ / "saved.ini"));
        System::IniFile again;
        again.loadFile(wide(root_ / "saved.ini"));
        EXPECT_EQ(again.sections().size(), 1u);
        EXPECT_EQ(text(again, "S", "v"), c.written);
    }
}

}  // namespace
