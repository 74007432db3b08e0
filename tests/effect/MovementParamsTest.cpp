// Time-control parameter presets: the lines of a preset file, the keys each
// file gives its presets, the failures reported, and the file a save writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "effect/MovementParamsManager.h"
#include "support/ShownErrors.h"
#include "support/TestFolders.h"

namespace {

using Effect::MovementParamsDefine;
using Effect::MovementParamsManager;

TEST(MovementParamsFileTest, UsableLinesGiveNameAndValues) {
    struct Case {
        const char* text;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const Case cases[] = {
        {"slow start=0.5,0.1,1", {{"slow start", "0.5,0.1,1"}}},
        {"a=1\r\nb=2\r\n", {{"a", "1"}, {"b", "2"}}},
        {"a=1=2\nno equals\n;c=3\n\nd=\n", {{"d", ""}}},
        {"=5\r\r\n", {{"", "5"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MovementParamsDefine::parseParams(c.text), c.entries);
    }
}

TEST(MovementParamsFileTest, ValuesConvertOrThrow) {
    struct Case {
        const char* text;
        std::vector<double> values;
        bool throws;
    };
    const Case cases[] = {
        {"", {}, false},
        {"0.3,0.7", {0.3, 0.7}, false},
        {" 1, -2.5e1,3x", {1, -25, 3}, false},
        {"1,", {}, true},
        {"1,,2", {}, true},
        {"oops", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.throws) {
            EXPECT_ANY_THROW(MovementParamsDefine::parseValues(c.text));
        } else {
            EXPECT_EQ(MovementParamsDefine::parseValues(c.text), c.values);
        }
    }
}

TEST(MovementParamsFileTest, SavedLineRoundTrips) {
    struct Case {
        std::vector<double> values;
        const char* line;
    };
    const Case cases[] = {
        {{1, 0.5, 0}, "params=1,0.5,0\r\n"},
        {{2, -0.25, 10}, "params=2,-0.25,10\r\n"},
        {{0.1234567}, "params=0.123457\r\n"},
        {{}, "params=\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string text = MovementParamsDefine::formatParams(c.values);
        EXPECT_EQ(text, c.line);
        const auto entries = MovementParamsDefine::parseParams(text);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(MovementParamsDefine::formatParams(MovementParamsDefine::parseValues(entries[0].second)), text);
    }
}

class MovementParamsManagerTest : public TestFolders {
protected:
    std::filesystem::path folder() const { return appData() / "Default"; }
    std::vector<std::string> keys() const {
        std::vector<std::string> list;
        for (const auto* define : manager.getMenuList()) list.push_back(System::wideToUtf8(define->name));
        return list;
    }
    ShownErrors errors;
    MovementParamsManager manager;
};

TEST_F(MovementParamsManagerTest, FilesGiveTheirPresetsKeysByKindAndSize) {
    writeFile(install() / "preset.params", "a=1\r\nb=2\r\n");
    writeFile(folder() / "fast.params", "anything=0.3,0.7\r\n");
    writeFile(folder() / "set.params", "a=1\r\nb=2,3\r\n");
    writeFile(folder() / "preset.params", "a=4\r\nb=5\r\n");
    writeFile(folder() / "empty.params", ";nothing\r\n");
    writeFile(folder() / "x.param", "a=1\r\n");
    manager.loadMovementParams();
    EXPECT_EQ(keys(), (std::vector<std::string>{"a", "b", "fast", "a@preset", "b@preset", "a@set", "b@set"}));
    ASSERT_NE(manager.find(L"fast"), nullptr);
    EXPECT_EQ(manager.find(L"fast")->values, (std::vector<double>{0.3, 0.7}));
    EXPECT_EQ(manager.find(L"b@set")->values, (std::vector<double>{2, 3}));
    EXPECT_TRUE(errors.texts.empty());

    // Loading again rebuilds the registry; orders go on growing.
    manager.loadMovementParams();
    EXPECT_EQ(manager.getMenuList().size(), 7u);
    EXPECT_EQ(manager.getMenuList().front()->order, 7);
}

TEST_F(MovementParamsManagerTest, ABadValueStopsItsFileAndDuplicatesAreReported) {
    writeFile(folder() / "bad.params", "a=1\r\nb=oops\r\nc=3\r\n");
    writeFile(folder() / "dup.params", "k=1\r\nk=2\r\n");
    manager.loadMovementParams();
    EXPECT_EQ(keys(), (std::vector<std::string>{"a@bad", "k@dup"}));
    EXPECT_EQ(manager.find(L"k@dup")->values, (std::vector<double>{1}));
    ASSERT_EQ(errors.texts.size(), 2u);
    EXPECT_EQ(errors.texts[0], "Failed to register movement params. [" + (folder() / "bad.params").string() +
                                   "]\n\nstod");
    EXPECT_EQ(errors.texts[1], "Failed to register movement params. [k@dup]\n\nDuplicate params with the same key exist.");
}

TEST_F(MovementParamsManagerTest, ASavedPresetRegistersUnderItsFileName) {
    MovementParamsDefine::saveMovementParamsFile(L"%Default%/soft.params", {1, 0.5, 0});
    EXPECT_EQ(readFile(folder() / "soft.params"), "params=1,0.5,0\r\n");
    manager.loadMovementParams();
    ASSERT_NE(manager.find(L"soft"), nullptr);
    EXPECT_EQ(manager.find(L"soft")->values, (std::vector<double>{1, 0.5, 0}));
    EXPECT_ANY_THROW(MovementParamsDefine::saveMovementParamsFile(L"%Default%/no/such/x.params", {1}));
}

}  // namespace
