#pragma once
// A scene on the test catalogue, checked for the model invariants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "edit/support/ModelChecker.h"
#include "edit/support/TestCatalog.h"

namespace EditTest {

// The X item of a test effect.
inline Effect::EffectItemNumber& xItem(const std::shared_ptr<Effect::EffectBase>& e) {
    return *static_cast<TestEffect&>(*e).x;
}

class ModelFixture : public testing::Test {
protected:
    TestCatalog catalog;
    Edit::Scene scene{0, 0};

    // Closes an "edit": puts the slots in order and checks every invariant.
    void settle() {
        scene.update();
        EXPECT_EQ(checkScene(scene), "");
    }
    std::shared_ptr<Edit::Object> add(const wchar_t* effect, int32_t layer, int32_t start, int32_t end) {
        return scene.createObject(effect, layer, start, end);
    }
    static std::vector<std::wstring> names(const Edit::Object& o) {
        std::vector<std::wstring> n;
        for (const auto& e : o.effects) n.emplace_back(e->name);
        return n;
    }
    static Effect::EffectItemNumber& x(const std::shared_ptr<Effect::EffectBase>& e) { return xItem(e); }
};

// "message @ scope" of the exception f throws, or "" when it throws none.
template <class F>
std::string thrownText(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        std::string text = e.what();
        const std::string place = "\n\n[Place]\n";
        const size_t at = text.find(place);
        if (at == std::string::npos) return text;
        std::string scope = text.substr(at + place.size());
        if (scope.size() >= 2 && scope.compare(scope.size() - 2, 2, "()") == 0) scope.resize(scope.size() - 2);
        return text.substr(0, at) + " @ " + scope;
    }
    return {};
}

}  // namespace EditTest
