#include "ui/panels/ObjectListComponent.h"


#include "core/EventService.h"
#include "core/SettingService.h"
#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/SceneLayer.h"
#include "effect/EffectBase.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/panels/ModelMenu.h"
#include "ui/panels/ObjectButtonControl.h"

namespace Component {

namespace {

const std::wstring kTitle = L"オブジェクトリスト";

}  // namespace

ObjectListComponent::ObjectListComponent()
    : ListPanelComponent(&kTitle, "object.list", {0.8f, 0.0f, 1.0f, 0.3f, Window::WindowClient::Right, true},
                         "Component::ObjectListComponent", "object list"),
      settings_(sectionName().c_str()),
      video_(settings_, "DisplayVideoObject", &switches.video, 1),
      audio_(settings_, "DisplayAudioObject", &switches.audio, 1),
      control_(settings_, "DisplayControlObject", &switches.control, 1),
      filter_(settings_, "DisplayFilterObject", &switches.filter, 1),
      media_(settings_, "DisplayMediaObject", &switches.media, 1),
      self_(std::make_shared<ObjectListComponent*>(this)) {
    acceptContextMenu = true;
    acceptDrop = true;
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* ini = Setting::SettingService::mainSettings()) {
        settings_.load(*ini);
        binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, ini);
    }
    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<ObjectListComponent*> weak = self_;
        auto alive = [weak]() -> ObjectListComponent* {
            const auto self = weak.lock();
            return self ? *self : nullptr;
        };
        events->objectChangedListeners.add([alive](const Event::EventService::ObjectRef&) {
            if (ObjectListComponent* self = alive()) self->rebuild();
        });
        events->cursorFrameListeners.add([alive](int) {
            if (ObjectListComponent* self = alive()) self->rebuild();
        });
        events->sceneListeners.add([alive](int) {
            if (ObjectListComponent* self = alive()) self->rebuild();
        });
        events->selectionListeners.add([alive] {
            if (ObjectListComponent* self = alive()) self->list_->invalidate();
        });
        events->focusObjectListeners.add([alive](const Event::EventService::ObjectRef&) {
            if (ObjectListComponent* self = alive()) self->list_->invalidate();
        });
    }
    rebuild();
}

ObjectListComponent::~ObjectListComponent() {
    *self_ = nullptr;
    list_->items.clear();
    retired_.clear();
}

std::vector<std::shared_ptr<Edit::Object>> ObjectListComponent::collect(const Edit::Scene& scene, int32_t frame,
                                                                        const Switches& switches) {
    std::vector<std::shared_ptr<Edit::Object>> found;
    for (int32_t index = 0; index <= scene.lastUsedLayer; ++index) {
        const Edit::SceneLayer& layer = scene.getLayer(index);
        const size_t at = layer.lowerBoundByEnd(frame);
        if (at >= layer.objects.size()) continue;
        const std::shared_ptr<Edit::Object>& object = layer.objects[at];
        if (object->start > frame || object->effects.empty()) continue;
        const Effect::EffectBase& top = *object->effects.front();
        bool byRole = false;
        switch (top.role) {
        case Effect::EffectBase::kInput: byRole = switches.media != 0; break;
        case Effect::EffectBase::kControl: byRole = switches.control != 0; break;
        case Effect::EffectBase::kFilter: byRole = switches.filter != 0; break;
        default: break;
        }
        const bool video = top.media == Effect::EffectBase::kVideo || top.media == Effect::EffectBase::kVideoAudio;
        const bool byMedia = video ? switches.video != 0 : switches.audio != 0;
        if (byRole && byMedia) found.push_back(object);
    }
    return found;
}

void ObjectListComponent::rebuild() {
    std::vector<std::shared_ptr<Edit::Object>> objects;
    if (const Edit::EditService* edit = Edit::EditService::instance(); edit != nullptr && edit->currentScene())
        objects = collect(*edit->currentScene(), edit->currentScene()->cursorFrame, switches);
    if (objects.size() == list_->items.size()) {
        // The rows stay; each takes its new object.
        for (size_t i = 0; i < objects.size(); ++i)
            static_cast<ObjectButtonControl*>(list_->items[i]->control)->setObject(objects[i]);
    } else {
        // A row's own handler (its menu's delete, say) may be what changed
        // the objects, and the router still reaches the row after the
        // handler returns: the old rows are hidden and freed only at the
        // next rebuild.
        retired_.clear();
        for (auto& row : list_->items) {
            auto* button = static_cast<ObjectButtonControl*>(row->control);
            button->visible = button->lockButton.visible = button->enableButton.visible = false;
            retired_.push_back(std::move(row));
        }
        list_->items.clear();
        for (const std::shared_ptr<Edit::Object>& object : objects)
            list_->items.push_back(std::make_unique<ObjectButtonControl>(*list_, *this, object));
    }
    list_->layoutItems();
    list_->procMove();
    list_->procPaint();
}

void ObjectListComponent::procContextMenu(int32_t, int32_t) {
    Edit::EditService* edit = Edit::EditService::instance();
    Window::PopupMenu menu;
    const auto grey = [](const Window::BaseMenu::Item& item, bool off) {
        if (off) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    };
    const std::shared_ptr<Edit::Scene> scene = edit != nullptr ? edit->currentScene() : nullptr;
    if (scene && !scene->selection.objects.empty()) {
        ModelMenu model(menu);
        edit->insertEditMenu(model);
        menu.insertSeparator();
        grey(menu.insertItem(L"対象レイヤー範囲を調整", [] { Edit::EditCommand::adjustTargetLayerRange(); }),
             !Edit::EditCommand::canAdjustTargetLayerRange(*scene));
        menu.insertSeparator();
        edit->insertGroupMenu(model);
    } else {
        grey(menu.insertItem(L"貼り付け", [] { Edit::EditCommand::pasteObject(); }),
             edit == nullptr || !Edit::EditCommand::canPaste());
    }
    menu.insertSeparator();
    addClientMenu(menu);
    menu.show();
}

void ObjectListComponent::addClientMenu(Window::BaseMenu& menu) {
    Window::BaseMenu options(menu, L"オプション");
    auto item = [&](const wchar_t* label, int32_t& value) {
        const Window::BaseMenu::Item added = options.insertItem(label, [this, &value] {
            value = value != 0 ? 0 : 1;
            rebuild();
        });
        if (value != 0) Platform::window::checkMenuItem(added.menu, static_cast<uint32_t>(added.id), true);
    };
    item(L"メディアオブジェクトを表示する", switches.media);
    item(L"フィルタオブジェクトを表示する", switches.filter);
    item(L"制御オブジェクトを表示する", switches.control);
    options.insertSeparator();
    item(L"映像(画像)系のオブジェクトを表示する", switches.video);
    item(L"音声系のオブジェクトを表示する", switches.audio);
    WindowClientRenderTarget::addClientMenu(menu);
}

}  // namespace Component
