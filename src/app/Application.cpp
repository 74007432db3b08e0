#include "app/Application.h"
#include "app/ProgramHost.h"

#include <exception>
#include <typeinfo>
#include <utility>

#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/Exception.h"
#include "core/ErrorPresenter.h"
#include "core/ExceptionPresenter.h"
#include "core/HookScope.h"
#include "core/Log.h"
#include "core/Logger.h"
#include "core/NoticePresenter.h"
#include "core/Process.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/TranslateService.h"
#include "edit/EditObjectCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/EditService.h"
#include "platform/window/SystemMetrics.h"
#include "edit/Project.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemLayerObject.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemScene.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemString.h"
#include "effect/EffectItemText.h"
#include "effect/EffectService.h"
#include "effect/ModelQueries.h"
#include "effect/NameTranslation.h"
#include "effect/OutputView.h"
#include "effects/BlurHooks.h"
#include "effects/ServiceCatalog.h"
#include "effects/WaveImageInput.h"
#include "filters/BlurFilter.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterCatalog.h"
#include "filters/MaskPictures.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/figure/FigureData.h"
#include "media/figure/FigureList.h"
#include "media/figure/SvgDocument.h"
#include "media/resource/ResourceLists.h"
#include "media/image/ImageService.h"
#include "media/decode/MediaService.h"
#include "media/audio/XAudio2Service.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"
#include "plugin/OutputService.h"
#include "render/cache/CacheService.h"
#include "script/ScriptService.h"
#include "platform/os/AlignedMemory.h"
#include "platform/os/Com.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Pointer.h"
#include "platform/window/TopLevel.h"
#include "render/Host.h"
#include "render/RenderService.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/FontMenuDialog.h"
#include "ui/dialogs/MovementParamsMenuDialog.h"
#include "ui/dialogs/PresetColorMenuDialog.h"
#include "ui/dialogs/BoxOwner.h"
#include "edit/ObjectEffectCommands.h"
#include "ui/dialogs/DialogItemNumber.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/dialogs/LogSettingDialog.h"
#include "ui/dialogs/OutputSettingDialogs.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"
#include "ui/dialogs/ShowNotice.h"
#include "ui/framework/Host.h"
#include "ui/framework/NotifyIcon.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/menus/MenuBar.h"
#include "ui/menus/SettingMenu.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/ExplorerComponent.h"
#include "ui/panels/LogComponent.h"
#include "ui/panels/ModelMenu.h"
#include "ui/panels/PreviewEditComponent.h"
#include "ui/panels/ObjectListComponent.h"
#include "ui/panels/SceneListComponent.h"
#include "ui/framework/ToolTips.h"
#include "ui/panels/StatusComponent.h"
#include "ui/settings/SettingComponent.h"
#include "effect/PaletteManager.h"
#include "ui/settings/EffectColorSettingComponent.h"
#include "ui/settings/EffectItemColorControl.h"
#include "ui/settings/EffectTextSettingComponent.h"
#include "ui/settings/EffectTimeSettingComponent.h"

namespace App {

// Every kind of effect item, named here so the program links each of them
// and everything they ask of the layers above through installed interfaces.
extern const std::type_info* const kEffectItemKinds[];
const std::type_info* const kEffectItemKinds[] = {
    &typeid(Effect::EffectItemButton),       &typeid(Effect::EffectItemCheck),
    &typeid(Effect::EffectItemCheckButton),  &typeid(Effect::EffectItemColor),
    &typeid(Effect::EffectItemComboFile),    &typeid(Effect::EffectItemFigureSelect),
    &typeid(Effect::EffectItemFile),         &typeid(Effect::EffectItemFontSelect),
    &typeid(Effect::EffectItemGroup),        &typeid(Effect::EffectItemInteger),
    &typeid(Effect::EffectItemLayerObject),  &typeid(Effect::EffectItemLayerRange),
    &typeid(Effect::EffectItemMaskSelect),   &typeid(Effect::EffectItemNumber),
    &typeid(Effect::EffectItemScene),        &typeid(Effect::EffectItemSelect),
    &typeid(Effect::EffectItemSelectButton), &typeid(Effect::EffectItemString),
    &typeid(Effect::EffectItemText),
};

namespace {

// Effect display names through the active language's Effect table.
std::wstring effectDisplayName(const wchar_t* name) {
    return Translate::translated(Translate::TranslateService::Table::Effect, name);
}

// What an export shows in the main window: the footer's progress text, and
// input off while it runs, with Esc and the close button asking whether to
// stop it.
Plugin::OutputService::Presenter exportPresenter() {
    Plugin::OutputService::Presenter presenter;
    presenter.progress = [](const std::wstring& caption, const std::wstring& text, float ratio) {
        Window::WindowService* windows = Window::WindowService::get();
        if (!windows || !windows->footer) return;
        if (caption.empty())
            windows->footer->setProgress(L"", nullptr, 0.0f);
        else
            windows->footer->setProgress(caption, &text, ratio);
    };
    presenter.setInput = [](bool on) {
        Window::WindowService* windows = Window::WindowService::get();
        if (!windows || windows->inputEnabled == on) return;
        windows->inputEnabled = on;
        namespace W = Platform::window;
        windows->busyHook = nullptr;
        if (!on)
            windows->busyHook = [](W::WindowHandle&, uint32_t& message, uintptr_t& wParam, intptr_t&) {
                if (message == W::kWmClose || (message == W::kWmKeyDown && wParam == W::kVkEscape))
                    if (Plugin::OutputService* output = Plugin::OutputService::get()) output->abortRequest();
                return false;
            };
    };
    presenter.notify = [](const std::wstring& title, const std::wstring& text) { Window::addNotifyIcon(title, text); };
    Dialog::addOutputSettingDialogs(presenter);
    return presenter;
}

// The edit service's dialogs; loading and saving show their text in the
// footer bar's progress place.
std::shared_ptr<Dialog::EditServiceDialogs> programDialogs() {
    auto dialogs = std::make_shared<Dialog::EditServiceDialogs>();
    dialogs->footerText = [](const std::wstring& text) {
        Window::WindowService* windows = Window::WindowService::get();
        if (windows && windows->footer) windows->footer->setProgress(text, nullptr, 0.0f);
    };
    return dialogs;
}

// The one-number question of the movement settings, in a dialog of one field.
bool inputNumber(const std::wstring& title, const std::wstring& label, double& value, double minimum,
                 double maximum) {
    Dialog::DialogTemplate dialog(title.c_str());
    const Dialog::DialogItemNumber* item = dialog.addItem(label.c_str(), value, minimum, maximum);
    if (!dialog.create()) return false;
    value = item->value;
    return true;
}

// Where the display switches of the edit commands are kept: the video
// render worker's "Render.video" settings.
Edit::EditCommand::ViewSwitches viewSwitches() {
    using Edit::EditCommand::ViewSwitch;
    static constexpr auto field = [](Render::RenderVideoWorker& video, ViewSwitch which) -> int32_t& {
        switch (which) {
        case ViewSwitch::CameraGrid: return video.cameraGrid;
        case ViewSwitch::CameraFreeView: return video.cameraFreeView;
        default: return video.visibleClippingObject;
        }
    };
    return {[](ViewSwitch which) {
                Render::RenderService* render = Render::RenderService::get();
                if (render) return field(render->video(), which);
                return which == ViewSwitch::CameraFreeView ? 0 : 1;
            },
            [](ViewSwitch which, int32_t value) {
                if (Render::RenderService* render = Render::RenderService::get()) field(render->video(), which) = value;
            }};
}

// The panel refresh installed so far, then the given one: each panel that
// closing edit scopes refresh adds itself at its place in the start-up.
Edit::UpdateSection::PanelRefresh alsoRefresh(Edit::UpdateSection::PanelRefresh next) {
    Edit::UpdateSection::PanelRefresh before = Edit::UpdateSection::setPanelRefresh(nullptr);
    Edit::UpdateSection::setPanelRefresh(before);
    return [before, next](const Edit::UpdateSection& scope) {
        if (before) before(scope);
        next(scope);
    };
}

// A change of the palettes' names runs in an edit scope, so that the panels
// and the renders that show preset colours follow it.
void paletteChangeScope(const std::function<void()>& change) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) {
        change();
        return;
    }
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    change();
}

void buildServices(System::ServiceStack& stack) {
    // Creation order; teardown is exactly the reverse. Each service takes one
    // line here, at its place, as it joins the program:
    //  settings, logger, translation, image, media, Direct2D, Direct3D,
    //  audio playback, resources, events, shortcut list, mouse router,
    //  window service, input, output, scripts, caches, effects, undo, edit,
    //  render, then the panels and the menu bar.
    // What a lower layer asks of a higher one is installed beside the service
    // it belongs to and put back as the stack releases that place.
    stack.addHook(Setting::SettingService::setDpiReader, &Platform::window::desktopDpi);
    stack.addHook(Setting::SettingService::setInputTimingsReader, &Platform::window::inputTimings);
    stack.addService<Setting::SettingService>();
    System::Process::SetThreadPriority("MainThreadPriority");
    stack.addService<System::Logger>();
    stack.addService<Translate::TranslateService>();
    stack.addHook(Effect::setNameTranslator, effectDisplayName);
    stack.addService<Media::ImageService>();
    stack.addService<Media::MediaService>();
    stack.addService<Media::Direct2DService>();
    stack.addService<Media::Direct3DService>();
    stack.addService<Media::XAudio2Service>();
    stack.addHook(Resource::ResourceService::setListBuilder, &Resource::ResourceLists::build);
    stack.addService<Resource::ResourceService>();
    stack.addService<Event::EventService>();
    Window::ShortcutList* shortcuts = stack.addService<Window::ShortcutList>();
    Window::WindowMouseService* router = stack.addService<Window::WindowMouseService>();
    // Keys nobody took go to the shortcut list, which ends the router's
    // capture first; a closed popup menu releases a key hold whose key is up.
    // Each looks its service up when it runs: the router goes first at the end.
    router->hooks.shortcut = [](int32_t key, bool) {
        Window::ShortcutList* list = Window::ShortcutList::get();
        return list != nullptr && list->processKey(static_cast<uint32_t>(key));
    };
    shortcuts->setCaptureEnder([] {
        if (Window::WindowMouseService* mouse = Window::WindowMouseService::get()) mouse->cancelCaptureForShortcut();
    });
    stack.addHook(Window::PopupMenu::setKeyHoldReleaser, [] {
        if (Window::WindowMouseService* mouse = Window::WindowMouseService::get()) mouse->releaseKeyHold();
    });
    stack.addService<Window::WindowService>();
    if (Window::WindowService* windows = Window::WindowService::get(); windows && windows->footer)
        windows->footer->setProgress(L"Initializing...", nullptr, 0.0f);
    Plugin::InputService* input = stack.addService<Plugin::InputService>();
    auto* inputForCaches = stack.addOwned<Plugin::InputCacheSource>(*input);
    stack.addService<Plugin::OutputService>();
    stack.addService<Plugin::ScriptService>();
    Cache::CacheService* caches = stack.addService<Cache::CacheService>();
    caches->setMediaInput(inputForCaches);
    static Effect::FilterCatalog builtinEffects;
    stack.addHook(Effect::EffectService::setCatalog, &builtinEffects);
    Effect::EffectService* effects = stack.addService<Effect::EffectService>();
    stack.addOwned<Effect::ServiceCatalog>(*effects);  // the model's catalogue while the service lives
    stack.addOwned<Effect::MaskPictures>(*effects);    // what masks and wipes draw with
    // The built-in effects that blur borrow the blur filter's core.
    stack.addHook(Effect::BlurHooks::setBlur,
                  [](Effect::BlurHooks::Image image, int32_t size, float aspect, int32_t mode) {
                      const Effect::EffectService* service = Effect::EffectService::get();
                      return service ? service->getDefaultEffect<Effect::BokashiFilter>().blurImage(std::move(image),
                                                                                                    size, aspect, mode)
                                     : image;
                  });
    stack.addHook(Effect::BlurHooks::setRadialBlur, [](Effect::BlurHooks::Image image, float strength) {
        const Effect::EffectService* service = Effect::EffectService::get();
        if (!service || !image) return image;
        float centreX = 0, centreY = 0;
        return service->getDefaultEffect<Effect::BlurFilter>().radialBlur(*image, centreX, centreY, strength, 0, 0,
                                                                          true);
    });
    stack.addService<Undo::UndoService>();
    stack.addService<Edit::EditService>();
    stack.addOwned<Edit::EditObjectCommands>();  // what the effect and alias menu entries run
    // The render workers read the project through the render host; the
    // player's timer runs on the main loop. While the render service lives
    // its player's stop is the one dialogs and edits stop playback with.
    stack.addHook(Render::setHost, static_cast<Render::Host*>(&ProgramHost::instance()));
    stack.addService<Render::RenderService>();
    // The preview's display switches live with the video renderer's settings.
    stack.addHook(Edit::EditCommand::setViewSwitches, viewSwitches());
    stack.addHook(Edit::EditCommand::setNumberInput, inputNumber);
    stack.addService<Component::EditComponent>();
    stack.addService<Component::StatusComponent>();
    // Closing edit scopes rebuild, reset or refresh the object settings panel.
    stack.addHook(Edit::UpdateSection::setPanelRefresh, Component::SettingComponent::applyScopeRequests);
    stack.addService<Component::SettingComponent>();
    // The panels' host: the settings panel's popups from the menu definitions,
    // the setting panels its rows open, the log settings dialog.
    stack.addHook(Window::setHost, &ProgramHost::instance().panels());
    stack.addService<Component::PreviewEditComponent>();
    // The colour setting panel: closing scopes make it re-read its item.
    stack.addHook(Edit::UpdateSection::setPanelRefresh,
                  alsoRefresh(Component::EffectColorSettingComponent::applyScopeRequests));
    stack.addHook(Effect::PaletteManager::setChangeScope, paletteChangeScope);
    stack.addService<Component::EffectColorSettingComponent>();
    // Closing edit scopes also refresh the text panel, after the panels before it.
    stack.addHook(Edit::UpdateSection::setPanelRefresh,
                  alsoRefresh(Component::EffectTextSettingComponent::applyScopeRequests));
    stack.addService<Component::EffectTextSettingComponent>();
    // A scene's details show below the pointer until it moves on: the tip
    // follows the cursor, so the next move or press takes it down rather than
    // leaving it over the rows below.
    stack.addHook(Edit::Scene::setInfoTipShow, [](const std::wstring& text) {
        Platform::window::Point at{};
        if (!Platform::window::getCursorPos(at)) return;
        at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
        Window::ToolTips::show(at, text.c_str(), -1);
    });
    // The waveform's preset button opens its menu at the pointer.
    stack.addHook(Effect::WaveImageInput::setMenuShower, [](const std::function<void(Edit::PopupMenu&)>& fill) {
        Window::PopupMenu menu;
        Component::ModelMenu model(menu);
        fill(model);
        menu.show();
    });
    stack.addService<Component::SceneListComponent>();
    stack.addService<Component::ObjectListComponent>();
    // As many explorer panels as the style asks for, owned here rather than by a service slot.
    if (const Setting::SettingService* settings = Setting::SettingService::get()) {
        const int32_t explorerCount = settings->layout.getValue("ExplorerWindowNum").toInt(1);
        auto* explorers = stack.addOwned<std::vector<std::unique_ptr<Component::ExplorerComponent>>>();
        for (int32_t i = 0; i < explorerCount; ++i)
            explorers->push_back(std::make_unique<Component::ExplorerComponent>(i));
    }
    stack.addService<Component::LogComponent>();
    // The time-control panel: refreshed by closing edit scopes after the
    // other panels, bound by the number rows (the panels' host) and by
    // movement changes.
    stack.addService<Component::EffectTimeSettingComponent>();
    stack.addHook(Edit::UpdateSection::setPanelRefresh,
                  alsoRefresh(Component::EffectTimeSettingComponent::applyScopeRequests));
    stack.addHook(Edit::EditCommand::setTimeControlTarget, [](const auto& object, Effect::EffectItemNumber& item) {
        if (auto* panel = Component::EffectTimeSettingComponent::get()) panel->followMovementChange(object, item);
    });
    // The Display menu's timeline entries act on the timeline panel.
    stack.addHook(Menu::DisplayMenu::setViews,
                  {[] { return Component::EditComponent::get() && Component::EditComponent::get()->tempoGrid != 0; },
                   [] {
                       if (Component::EditComponent* timeline = Component::EditComponent::get()) timeline->setTempoGrid();
                   },
                   [](Edit::FrameZoom zoom, int32_t frame) {
                       if (Component::EditComponent* timeline = Component::EditComponent::get())
                           timeline->zoomAroundFrame(zoom, frame);
                   },
                   [](int32_t zoom) {
                       if (Component::PreviewEditComponent* preview = Component::PreviewEditComponent::get())
                           preview->canvas().setZoom(zoom);
                   }});
    // The Edit menu's frame-range entries act on the timeline panel.
    stack.addHook(Menu::EditMenu::setViews, {[](int32_t start, int32_t end) {
                      if (Component::EditComponent* timeline = Component::EditComponent::get())
                          timeline->setSelectFrameRange(start, end);
                  }});
    // The Setting menu's backup entry opens the backup settings.
    Menu::SettingMenu::Openers openers;
    openers.backup = [](const wchar_t* caption) { Dialog::BackupDialog(caption).open(); };
    openers.movementParams = [](const wchar_t* caption) { Dialog::MovementParamsMenuDialog(caption).open(); };
    openers.presetColor = [](const wchar_t* caption) { Dialog::PresetColorMenuDialog(caption).open(); };
    openers.font = [](const wchar_t* caption) { Dialog::FontMenuDialog(caption).open(); };
    stack.addHook(Menu::SettingMenu::setOpeners, std::move(openers));
    stack.addOwned<Menu::MenuBar>(*Window::WindowService::get());
}

// What a media file is, as the input service and the SVG reader see it.
Effect::EffectService::MediaFileProbe mediaFileProbe() {
    Effect::EffectService::MediaFileProbe probe;
    probe.readsExtension = [](const std::wstring& extension) {
        const Plugin::InputService* input = Plugin::InputService::get();
        return input && (input->videoTable().count(extension) != 0 || input->audioTable().count(extension) != 0);
    };
    probe.openFile = [](const std::wstring& path, Effect::EffectService::MediaFileInfo& info) {
        Plugin::InputService* input = Plugin::InputService::get();
        const auto file = input ? input->getVideoOrAudioFile(path) : nullptr;
        if (!file) return false;
        const Plugin::InputFile::Info& i = file->info;
        info.video = (i.flags & Plugin::InputFile::kVideo) != 0;
        info.audio = (i.flags & Plugin::InputFile::kAudio) != 0;
        info.frameCount = i.frameCount;
        info.width = i.width;
        info.height = i.height;
        info.rate = static_cast<int32_t>(i.rate);
        info.scale = static_cast<int32_t>(i.scale);
        info.audioRate = i.sampleRate;
        return true;
    };
    probe.loadsSvg = [](const std::wstring& path) { return Media::SvgDocument::canLoad(path); };
    return probe;
}

// The clipboard copy of a rendered frame, straight alpha.
// The installed font families, once the 2-D drawing service has read them.
void readFontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) {
    if (const Media::Direct2DService* d2d = Media::Direct2DService::get())
        d2d->fontManager.familyNames(names, defaultName);
}

// The names of the resource service's figure list in their order (the index
// projects store): the built-in figures, then the figure files.
void readFigureNames(std::vector<std::wstring>& names) {
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (!resources || !resources->figures) return;
    for (const Resource::FigureData& figure : resources->figures->figures) names.push_back(figure.name);
}

// The size the background figure takes: the current scene's. Asked while a
// render holds the project lock, under which the current scene stays.
void currentSceneSize(uint32_t& width, uint32_t& height) {
    const Edit::EditService* edit = Edit::EditService::instance();
    if (!edit || !edit->currentScene()) return;
    const Edit::Scene& scene = *edit->currentScene();
    width = scene.videoWidth > 0 ? static_cast<uint32_t>(scene.videoWidth) : 0;
    height = scene.videoHeight > 0 ? static_cast<uint32_t>(scene.videoHeight) : 0;
}

std::shared_ptr<Media::ImageBuffer> readFrameImage(Media::RenderBuffer& buffer, int32_t format) {
    return buffer.createImageBuffer(format, true);
}

// Every panel exists: they are arranged and given their rectangles, the
// rest of the window is drawn, and the start-up text leaves the footer.
void applyDockingLayout() {
    Window::WindowService* windows = Window::WindowService::get();
    if (windows == nullptr) return;
    windows->updateLayout();
    if (windows->footer) windows->footer->setProgress(L"", nullptr, 0.0f);
}

void callStartupListeners() {
    applyDockingLayout();
    if (Event::EventService* events = Event::EventService::get()) events->startupListeners.call();
}

// The exit listeners, then playback and the render threads stop, before
// anything is torn down.
void shutdownSteps() {
    if (Event::EventService* events = Event::EventService::get()) events->exitListeners.call();
    if (Render::RenderService* render = Render::RenderService::get()) render->stop();
}

void mainLoop() {
    // The main window keeps the program running until it is closed. Without a
    // display nobody can close it: such a start ends after start-up.
    Window::WindowService* windows = Window::WindowService::get();
    if (windows != nullptr && Platform::window::hasDisplay()) windows->processMessage();
}

void emergencyExit(const std::exception& e) {
    if (Edit::EditService* edit = Edit::EditService::instance())
        edit->applicationException(e);
    else
        Dialog::showException(e);
}

}  // namespace

Steps programSteps() {
    Steps steps;
    steps.build = buildServices;
    steps.startup = callStartupListeners;
    steps.run = mainLoop;
    steps.loopException = emergencyExit;
    steps.shutdown = shutdownSteps;
    return steps;
}

void runMessageLoop() {
    namespace W = Platform::window;
    W::Message message{};
    while (W::getMessage(message, nullptr, 0, 0) > 0) {
        W::translateMessage(message);
        W::dispatchMessage(message);
    }
}

int run(const Steps& steps) {
    namespace Os = Platform::os;
    Os::useOneHeapArena();
    // What the lower layers ask of the higher ones, installed for the life of
    // the program. While the edit service lives it answers the model
    // queries with its open project; these answer before it is built and
    // after it is gone.
    // One error presenter serves the whole program (core, effects, input and output).
    using System::HookScope;
    const System::ExceptionPresenterScope presenter(Dialog::showException);
    const System::NoticePresenterScope notices(Dialog::showNotice);
    const HookScope errors(System::setErrorPresenter, Dialog::showErrorText);
    const HookScope asker(Edit::Project::setQuestionAsker, Dialog::showConfirm);
    const HookScope exports(Plugin::OutputService::setPresenter, exportPresenter());
    const HookScope dialogs(Edit::EditService::setDialogs, programDialogs());
    const HookScope frames(Edit::EditService::setFrameImageReader, readFrameImage);
    const HookScope fonts(Edit::ProjectQueries::setFontListReader, readFontFamilies);
    const HookScope figures(Edit::ProjectQueries::setFigureListReader, readFigureNames);
    const HookScope sceneSize(Resource::FigureData::setSceneSizeReader, currentSceneSize);
    Edit::ProjectQueries projectQueries;
    const Effect::ModelQueriesScope queries(projectQueries);
    const HookScope frameSize(Effect::setFrameSizeReader, Media::renderBufferSize);
    const HookScope probe(Effect::EffectService::setMediaFileProbe, mediaFileProbe());
    {
        System::ServiceStack stack;
        try {
            if (const auto hr = Os::coInitializeEx(Os::kCoInitApartmentThreaded | Os::kCoInitDisableOle1Dde);
                Platform::failed(hr))
                throw System::hresultException("CoInitializeEx", "wWinMain", hr);
            if (const auto hr = Os::oleInitialize(); Platform::failed(hr))
                throw System::hresultException("OleInitialize", "wWinMain", hr);
            (void)Os::setProcessDpiAwarenessPerMonitorV2();  // older systems keep the default scaling

            if (steps.build) steps.build(stack);
            if (steps.startup) steps.startup();
            try {
                if (steps.run) steps.run();
            } catch (const std::exception& e) {
                if (!steps.loopException) throw;
                steps.loopException(e);
            }
            if (steps.shutdown) steps.shutdown();
            stack.releaseAll();
        } catch (const std::exception& e) {
            // Everything built so far goes first, in reverse, so setting groups are written back.
            stack.releaseAll();
            Dialog::showException(e);
        }
    }
    Os::oleUninitialize();
    Os::coUninitialize();
    return 0;
}

}  // namespace App
