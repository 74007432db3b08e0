#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/ConfigFloat.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigString.h"
#include "support/TestFolders.h"
#include "support/LogCapture.h"

namespace {

// The owner pattern: group, parameters in key order, binding, then load.
struct Owner {
    int32_t number = -1;
    float ratio = -1;
    std::wstring name = L"unset";
    System::Config::ParameterGroup group;
    System::Config::Int numberParameter{group, "Number", &number, 7};
    System::Config::Float ratioParameter{group, "Ratio", &ratio, 0.5f};
    System::Config::String nameParameter{group, "Name", &name, L"default"};
    System::Config::ParameterBinding binding;
    Owner(System::IniFile& document, const char* section = "Owner") : group(section), binding(group, &document) {
        group.load(document);
    }
};

class ConfigTest : public TestFolders {
protected:
    void load(const std::string& content) {
        writeFile(root_ / "velmo2.ini", content);
        LogCapture quiet;
        document.loadFile(wide(root_ / "velmo2.ini"));
    }
    System::IniFile document;
};

TEST_F(ConfigTest, LoadsStoredValuesOrDefaults) {
    struct Case {
        const char* content;
        int32_t number;
        float ratio;
        const wchar_t* name;
    } cases[] = {
        {"", 7, 0.5f, L"default"},  // no section
        {"[Owner]\nNumber=12ab\nRatio=0.25\nName=\xe5\x80\xa4\n", 12, 0.25f, L"\u5024"},
        {"[Owner]\nNumber=\nRatio=\nName=\n", 7, 0.5f, L""},                 // empty: number defaults, text stays empty
        {"[Owner]\nNumber=abc\nRatio=x\n", 7, 0.5f, L"default"},             // unparsable and missing
        {"[Owner]\nNumber=99999999999\nRatio=1e99\n", 7, 0.5f, L"default"},  // out of range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        load(c.content);
        Owner owner(document);
        EXPECT_EQ(owner.number, c.number);
        EXPECT_FLOAT_EQ(owner.ratio, c.ratio);
        EXPECT_EQ(owner.name, c.name);
    }
}

TEST_F(ConfigTest, WriteBackCreatesSectionKeepsForeignKeysAndLastOwnerWins) {
    load("[Owner]\nForeign=kept\n");
    {
        Owner first(document);
        Owner second(document);
        first.number = 1;
        second.number = 2;
        second.name = L"second";
    }  // second goes first, then first: first's values win
    const auto section = document.getSection("Owner");
    EXPECT_EQ(section.findValue("Number").text, "1");
    EXPECT_EQ(section.findValue("Name").text, "default");
    EXPECT_EQ(section.findValue("Foreign").text, "kept");
    EXPECT_EQ(section.findValue("Ratio").text, "0.500000");

    { Owner unsaved(document, nullptr); }
    EXPECT_EQ(document.sections().size(), 1u);
}

TEST_F(ConfigTest, FloatTextIsFixedSixDecimalsUnderEveryLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 missing: run scripts/setup.sh";
    load("[Owner]\nRatio=2.5\n");
    {
        Owner owner(document);
        EXPECT_FLOAT_EQ(owner.ratio, 2.5f);
        owner.ratio = 0.1f;
        owner.number = -42;
    }
    EXPECT_EQ(document.getSection("Owner").findValue("Ratio").text, "0.100000");
    EXPECT_EQ(document.getSection("Owner").findValue("Number").text, "-42");
    {
        Owner owner(document);
        owner.ratio = 1e20f;
    }
    EXPECT_EQ(document.getSection("Owner").findValue("Ratio").text, "100000002004087734272.000000");
    std::setlocale(LC_ALL, old.c_str());
}

}  // namespace
