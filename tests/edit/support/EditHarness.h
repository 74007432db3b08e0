#pragma once
// What the edit service will provide around the model, for the tests: the
// project with its lock, the event service, the undo service pointed at the
// current scene's history, and edit scopes opened on them. Whenever an edit
// scope closes, the scene it edited is checked for the model invariants.
#include <memory>
#include <shared_mutex>
#include <sstream>
#include <string>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Group.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectItem.h"
#include "edit/support/ModelChecker.h"
#include "edit/support/TestCatalog.h"

namespace EditTest {

class EditHarness {
public:
    TestCatalog catalog;
    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Undo::UndoService> undoService;
    Edit::Project project;
    std::shared_mutex lock;

    EditHarness() {
        project.getOrCreateScene(0);
        setCurrentScene(0);
        undo().setSectionOpener([this] { return open(); });
        // Runs after the scope put the scene in order and let go of the lock.
        previousRefresh_ = Edit::UpdateSection::setPanelRefresh([this](const Edit::UpdateSection& section) {
            if (!section.scene) return;
            const std::shared_lock read(lock);
            EXPECT_EQ(checkScene(*section.scene), "") << "when an edit scope closed";
        });
    }
    ~EditHarness() {
        Edit::UpdateSection::setPanelRefresh(std::move(previousRefresh_));
        undo().setSectionOpener(nullptr);
        undo().setHistory(nullptr);
    }
    Undo::UndoService& undo() { return *undoService.get(); }
    std::shared_ptr<Edit::Scene> scene() { return project.getScene(project.displayScene); }
    void setCurrentScene(int32_t id) {
        project.displayScene = id;
        undo().setHistory(&project.getOrCreateScene(id)->undoHistory);
    }
    std::unique_ptr<Edit::UpdateSection> open() {
        return std::make_unique<Edit::UpdateSection>(lock, scene(), events.get());
    }

private:
    Edit::UpdateSection::PanelRefresh previousRefresh_;
};

// Everything of a scene that editing and undo change, as text.
inline std::string describe(const Edit::Scene& scene) {
    std::ostringstream out;
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const auto& slot = scene.getLayer(i);
        if (slot.objects.empty() && slot.layer->isDefault())
            continue;  // slots stay once made; an empty default one shows nothing
        out << "L" << i << " " << System::wideToUtf8(slot.layer->name) << (slot.layer->lock ? " lock" : "")
            << (slot.layer->hide ? " hide" : "") << "\n";
        for (const auto& o : slot.objects) {
            out << "  " << o->start << ".." << o->end << " {";
            for (int32_t m : o->midpoints) out << m << " ";
            out << "}" << (o->camera ? "" : " nocamera") << (o->clipping ? " clip" : "")
                << (o->group ? " group" + std::to_string(o->group->members.size()) : "")
                << (scene.focusObject == o ? " focus" : "") << "\n";
            for (const auto& e : o->effects) {
                out << "    " << System::wideToUtf8(e->name) << (e->disabled ? " off" : "")
                    << (e->locked ? " lock" : "") << (e->hidden ? " hide" : "") << ":";
                for (const auto* item : e->items)
                    out << " " << System::wideToUtf8(item->name) << "=" << item->toString();
                out << "\n";
            }
        }
    }
    return out.str();
}

}  // namespace EditTest
