#pragma once
#include <map>
#include <string>
#include <vector>

#include "edit/ProjectQueries.h"

// The model queries of the test programs: real objects and scenes answered
// by the model's own implementation, with the scene names, fonts and figures
// the tests set. TestModelQueries.cpp installs one for the whole program.
class TestModelQueries : public Edit::ProjectQueries {
public:
    // The open project's scenes by id.
    std::map<int32_t, std::wstring> scenes;
    std::vector<std::wstring> fonts{L"Alpha Sans", L"Beta Serif", L"Noto Sans CJK JP", L"Zeta Mono"};
    std::wstring defaultFont = L"Noto Sans CJK JP";
    std::vector<std::wstring> figures{L"背景",   L"円",   L"四角形", L"三角形", L"五角形",
                                      L"六角形", L"星型", L"ハート", L"arrow"};
    // Off: earlier-generation track values are taken as they stand (tests give text forms).
    bool convertTrackValues = false;

    bool findSceneName(int32_t sceneId, std::wstring& name) const override {
        const auto it = scenes.find(sceneId);
        if (it == scenes.end()) return false;
        name = it->second;
        return true;
    }
    int32_t findSceneId(const std::wstring& name) const override {
        for (const auto& [id, n] : scenes)
            if (n == name) return id;
        return -1;
    }
    std::string convertTrackValue(std::string_view value) const override {
        return convertTrackValues ? Edit::ProjectQueries::convertTrackValue(value) : std::string(value);
    }
    void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) const override {
        names = fonts;
        defaultName = defaultFont;
    }
    void figureNames(std::vector<std::wstring>& names) const override { names = figures; }
};

// The program's instance, installed before any test runs.
TestModelQueries& testModel();
