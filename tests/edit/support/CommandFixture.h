#pragma once
// A real edit service on the test catalogue for the command tests: every
// command runs against the scene's state text; one undo step must bring back
// the exact text before it and redo the exact text after it, and the model
// invariants are checked whenever an edit scope closes.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Group.h"
#include "edit/KeyHoldRouter.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "edit/support/EditHarness.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

namespace EditTest {

// Per layer "L<i>:" and each object's frames, midpoints and group (groups
// lettered in the order met).
inline std::string frames(const Edit::Scene& scene) {
    std::ostringstream out;
    std::map<const Edit::Group*, char> letters;
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const auto& objects = scene.getLayer(i).objects;
        if (objects.empty()) continue;
        out << (out.tellp() > 0 ? "; " : "") << "L" << i << ":";
        for (const auto& o : objects) {
            out << " " << o->start << ".." << o->end;
            if (!o->midpoints.empty()) {
                out << "{";
                for (size_t m = 0; m < o->midpoints.size(); ++m) out << (m ? "," : "") << o->midpoints[m];
                out << "}";
            }
            if (o->group) {
                auto [it, added] = letters.try_emplace(o->group.get(), static_cast<char>('a' + letters.size()));
                out << "[" << it->second << "]";
            }
        }
    }
    return out.str();
}

// Everything editing and undo change, group identities included.
inline std::string fullState(const Edit::Scene& scene) { return describe(scene) + frames(scene); }

// Whether a line with this message was logged.
inline bool logged(const LogCapture& log, const std::string& message) {
    for (const auto& line : log.snapshot())
        if (line.message == message) return true;
    return false;
}

// Ctrl as the window layer's mouse router would report it.
class FakeKeys : public Edit::KeyHoldRouter {
public:
    bool control = false;
    bool hasKeyHoldTarget() const override { return false; }
    uint32_t keyHoldCode() const override { return 0; }
    bool hasFocusTarget() const override { return false; }
    bool isKeyDown(uint32_t key) const override { return control && key == kControlKey; }
    void setKeyHoldTarget(Window::WindowControl*, uint32_t) override {}
};

class CommandFixture : public TestFolders {
public:
    TestCatalog catalog;
    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Undo::UndoService> undoService;
    std::optional<System::ServiceHolder<Edit::EditService>> holder;
    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::shared_ptr<FakeKeys> keys = std::make_shared<FakeKeys>();
    std::vector<std::wstring> posted;

    void SetUp() override {
        TestFolders::SetUp();
        previousDialogs_ = Edit::EditService::setDialogs(dialogs);
        previousKeys_ = Edit::EditService::setKeyHoldRouter(keys);
        previousPoster_ = Edit::Project::setErrorPoster(nullptr);
        restart();
        previousRefresh_ = Edit::UpdateSection::setPanelRefresh([this](const Edit::UpdateSection& section) {
            if (!section.scene) return;
            const std::shared_lock read(service().lock());
            EXPECT_EQ(checkScene(*section.scene), "") << "when an edit scope closed";
        });
    }
    void TearDown() override {
        Edit::Project::setErrorPoster(std::move(previousPoster_));
        Edit::UpdateSection::setPanelRefresh(std::move(previousRefresh_));
        holder.reset();
        Edit::EditService::setKeyHoldRouter(std::move(previousKeys_));
        Edit::EditService::setDialogs(std::move(previousDialogs_));
        TestFolders::TearDown();
    }
    // A fresh service: an empty root scene and history. Posted errors are
    // kept in `posted` instead of the service's boxes.
    void restart() {
        holder.reset();
        holder.emplace();
        Edit::Project::setErrorPoster([this](const std::wstring& text) { posted.push_back(text); });
        dialogs->frameAnswers.clear();
        keys->control = false;
    }
    Edit::EditService& service() { return *holder->get(); }
    Undo::UndoService& undo() { return *undoService.get(); }
    Edit::Scene& scene() { return *service().currentScene(); }

    // An object made outside any command (no undo record).
    std::shared_ptr<Edit::Object> add(int32_t layer, int32_t start, int32_t end, const wchar_t* effect = kImage) {
        auto scope = service().openSection();
        scope->layersChanged = true;
        return scope->scene->createObject(effect, layer, start, end);
    }
    // Changes made outside any command (no undo record), then put in order.
    void edit(const std::function<void(Edit::Scene&)>& change) {
        auto scope = service().openSection();
        scope->layersChanged = true;
        change(*scope->scene);
    }
    void select(const std::vector<std::shared_ptr<Edit::Object>>& objects) {
        for (const auto& o : objects) service().addSelectObject(o, false);
    }
    void group(const std::vector<std::shared_ptr<Edit::Object>>& objects) {
        auto g = std::make_shared<Edit::Group>();
        for (const auto& o : objects) o->setGroup(g);
    }
    void focus(const std::shared_ptr<Edit::Object>& object) { scene().focusObject = object; }
    size_t records() { return undo().history()->records.size(); }
    // The text undo and redo must bring back exactly.
    virtual std::string stateText() { return fullState(scene()); }

    // Runs the command; `check` (the frames text by default) must read
    // `expected` afterwards. When the command changed the scene, one undo
    // record takes it back exactly and redo puts the change back exactly;
    // when it changed nothing, no record is kept.
    void expectCommand(const std::string& name, const std::function<void()>& command, const std::string& expected,
                       const std::function<std::string()>& check = {}) {
        SCOPED_TRACE(name);
        const size_t before = records();
        const std::string stateBefore = stateText();
        command();
        const std::string stateAfter = stateText();
        EXPECT_EQ(check ? check() : frames(scene()), expected);
        if (stateAfter == stateBefore) {
            EXPECT_EQ(records(), before) << "a command that changed nothing kept a record";
            return;
        }
        ASSERT_EQ(records(), before + 1) << "one command, one undo step";
        ASSERT_TRUE(undo().undo());
        EXPECT_EQ(stateText(), stateBefore) << "undo";
        ASSERT_TRUE(undo().redo());
        EXPECT_EQ(stateText(), stateAfter) << "redo";
    }

private:
    std::shared_ptr<Edit::EditDialogs> previousDialogs_;
    std::shared_ptr<Edit::KeyHoldRouter> previousKeys_;
    Edit::UpdateSection::PanelRefresh previousRefresh_;
    Edit::Project::ErrorPoster previousPoster_;
};

// One case of a command table: a fresh service, the set-up, the command and
// the expected text.
template <class Fixture>
struct CommandCase {
    const char* name;
    std::function<void(Fixture&)> setUp;
    std::function<void(Fixture&)> command;
    const char* expected;
};

template <class Fixture>
void runCases(Fixture& t, const std::vector<CommandCase<Fixture>>& cases,
              const std::function<std::string(Fixture&)>& check = {}) {
    for (const auto& c : cases) {
        t.restart();
        c.setUp(t);
        t.expectCommand(
            c.name, [&] { c.command(t); }, c.expected,
            check ? std::function<std::string()>([&] { return check(t); }) : nullptr);
    }
}

}  // namespace EditTest
