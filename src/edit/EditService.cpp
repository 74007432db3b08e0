#include "edit/EditService.h"

#include <algorithm>
#include <cwctype>

#include "core/ClipboardImage.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditDialogs.h"
#include "edit/KeyHoldRouter.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/ProjectConvert.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "media/image/ImageBuffer.h"
#include "platform/os/SystemInfo.h"

namespace Edit {
namespace {

constexpr const wchar_t* kExceptionNote = L"\n\nプロジェクトをバックアップしてアプリケーションを終了します";

std::shared_ptr<EditDialogs>& installedDialogs() {
    static std::shared_ptr<EditDialogs> dialogs;
    return dialogs;
}

std::shared_ptr<KeyHoldRouter>& installedRouter() {
    static std::shared_ptr<KeyHoldRouter> router;
    return router;
}

std::wstring expanded(const std::wstring& path) {
    std::wstring copy = path;
    System::FileName::expandVariable(copy);
    return copy;
}

bool equalIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
           });
}

bool hasFileName(const std::wstring& path) {
    const size_t separator = path.find_last_of(System::kPathSeparator);
    return separator == std::wstring::npos ? !path.empty() : separator + 1 < path.size();
}

EditService::FrameImageReader& frameImageReader() {
    static EditService::FrameImageReader reader = nullptr;
    return reader;
}

void showError(const std::wstring& text) { EditService::dialogs().showError(text); }

// An error text shown later on the UI thread, the way the installed dialogs post it.
void postError(const std::wstring& text) { EditService::dialogs().postError(text); }

}  // namespace

EditService::EditService() : events_(Event::EventService::get()), undo_(Undo::UndoService::get()) {
    const std::pair<const char*, int32_t*> keys[] = {
        {"EditResume", &settings_.editResume},
        {"AutoBackup", &settings_.autoBackup},
        {"AutoBackupInterval", &settings_.autoBackupInterval},
        {"AutoBackupFileMax", &settings_.autoBackupFileMax},
        {"HistoryFileMax", &settings_.historyFileMax},
        {"LayerObjectMoveSnap", &settings_.layerObjectMoveSnap},
        {"AnchorObjectMoveSnap", &settings_.anchorObjectMoveSnap},
        {"SingleClickFocusLayerObject", &settings_.singleClickFocusLayerObject},
        {"SingleClickFocusAnchorObject", &settings_.singleClickFocusAnchorObject},
        {"ClickLayerObjectSelectGroup", &settings_.clickLayerObjectSelectGroup},
        {"ClickAnchorObjectSelectGroup", &settings_.clickAnchorObjectSelectGroup},
        {"DisplayObjectMovePoint", &settings_.displayObjectMovePoint},
        {"DisplayObjectCenterAnchor", &settings_.displayObjectCenterAnchor},
        {"MouseHoverHideOtherAnchor", &settings_.mouseHoverHideOtherAnchor},
        {"AddSectionSplitByCursorFrame", &settings_.addSectionSplitByCursorFrame},
        {"FixedMovieTimeRange", &settings_.fixedMovieTimeRange},
    };
    for (const auto& [key, target] : keys)
        parameters_.push_back(std::make_unique<System::Config::Int>(group_, key, target, *target));
    System::IniFile* settings = Setting::SettingService::mainSettings();
    if (settings) group_.load(*settings);
    binding_ = std::make_unique<System::Config::ParameterBinding>(group_, settings);

    queries_.setProject(&project_);
    queriesScope_.emplace(Effect::setModelQueries, &queries_);
    anchorCommandsScope_.emplace(Effect::AnchorCommands::setCurrent, &anchorCommands_);
    // The model's texts go the way of the service's own.
    posterScope_.emplace(Project::setErrorPoster, postError);

    projectHistory_.setMaximum(FileHistory::kMaxItems);
    backupHistory_.setMaximum(FileHistory::kMaxItems);
    projectHistory_.load();
    backupHistory_.load();
    backupHistory_.setSaveProject([this](const std::wstring& path) { saveBackup(path); });
    backupHistory_.setHasChanges([this] { return scopeCount_ != backedUpCount_; });

    if (events_) {
        events_->startupListeners.add([this] { onStartup(); });
        events_->exitListeners.add([this] { onExit(); });
    }
    if (undo_) undo_->setSectionOpener([this] { return openSection(); });
    {
        auto scope = openSection();
        setCurrentScene(0);
    }
    backedUpCount_ = scopeCount_;
}

EditService::~EditService() {
    queriesScope_.reset();
    anchorCommandsScope_.reset();
    posterScope_.reset();
    if (undo_) {
        undo_->setSectionOpener(nullptr);
        undo_->setHistory(nullptr);
    }
    projectHistory_.save();
    backupHistory_.save();
    backupHistory_.stopTimer();
}

std::shared_ptr<EditDialogs> EditService::setDialogs(std::shared_ptr<EditDialogs> dialogs) {
    std::swap(installedDialogs(), dialogs);
    return dialogs;
}

EditDialogs& EditService::dialogs() {
    if (!installedDialogs()) installedDialogs() = std::make_shared<HeadlessDialogs>();
    return *installedDialogs();
}

std::shared_ptr<KeyHoldRouter> EditService::setKeyHoldRouter(std::shared_ptr<KeyHoldRouter> router) {
    std::swap(installedRouter(), router);
    return router;
}

bool EditService::isKeyDown(uint32_t virtualKey) {
    const KeyHoldRouter* router = installedRouter().get();
    return router && router->isKeyDown(virtualKey);
}

std::unique_ptr<UpdateSection> EditService::openSection() {
    ++scopeCount_;
    return std::make_unique<UpdateSection>(lock_, currentScene_, events_);
}

// ---- current scene

void EditService::setCurrentScene(int32_t id) {
    project_.displayScene = id;
    currentScene_ = project_.getOrCreateScene(id);
    if (undo_) undo_->setHistory(&currentScene_->undoHistory);
}

void EditService::logCurrentScene(const char* scope, const char* what) const {
    System::Log::info(scope, "%s [%s](%d)", what, System::wideToUtf8(currentScene_->name).c_str(), currentScene_->id);
}

void EditService::updateScene(int32_t id) {
    auto scope = openSection();
    scope->sceneChanged = true;
    scope->sceneId = id;
    setCurrentScene(id);
    logCurrentScene("Edit::EditService::updateScene", "set current scnene");
}

std::wstring EditService::getSceneName(int32_t id) const {
    const auto scene = project_.getScene(id);
    return scene ? scene->name : std::wstring();
}

std::wstring EditService::getLayerName(int32_t index) const {
    if (index >= 0 && index < currentScene_->layerCount())
        if (const auto& layer = currentScene_->getLayer(index).layer; layer && !layer->name.empty()) return layer->name;
    return Translate::translated(Translate::TranslateService::Table::Name, L"Layer") + std::to_wstring(index + 1);
}

bool EditService::isOtherScene(const Scene& scene, int32_t otherId) { return scene.id != 0 && scene.id != otherId; }

// ---- scenes

void EditService::renameScene(int32_t id) {
    const auto scene = project_.getScene(id);
    if (!scene) return;
    std::wstring name = scene->name;
    if (!dialogs().inputName(L"シーン名を変更", name)) return;
    auto scope = openSection();
    scope->sceneChanged = true;
    scope->sceneId = project_.displayScene;
    scene->name = name;
    System::Log::info("Edit::EditService::renameScene", "update scnene name [%s](%d)",
                      System::wideToUtf8(scene->name).c_str(), scene->id);
}

void EditService::settingScene(int32_t id) {
    const auto scene = project_.getScene(id);
    if (!scene) return;
    SceneValues values{scene->name,      scene->videoWidth, scene->videoHeight,
                       scene->videoRate, scene->videoScale, scene->audioRate};
    if (!dialogs().sceneDialog(L"シーンの設定", true, values)) return;
    auto scope = openSection();
    scope->sceneChanged = true;
    scope->sceneId = project_.displayScene;
    scene->name = values.name;
    scene->videoWidth = values.width;
    scene->videoHeight = values.height;
    scene->videoRate = values.rate;
    scene->videoScale = values.scale;
    scene->audioRate = values.audioRate;
    System::Log::info("Edit::EditService::settingScene", "update scnene setting [%s](%d)",
                      System::wideToUtf8(scene->name).c_str(), scene->id);
}

bool EditService::newScene() {
    const Scene& current = *currentScene_;
    return createScene(Scene::getDefaultName(project_.getNewSceneId()), current.videoWidth, current.videoHeight,
                       current.videoRate, current.videoScale, current.audioRate);
}

bool EditService::createScene(const std::wstring& name, int32_t width, int32_t height, int32_t rate, int32_t scale,
                              int32_t audioRate) {
    SceneValues values{name, width, height, rate, scale, audioRate};
    if (!dialogs().sceneDialog(L"シーンを作成", true, values)) return false;
    const int32_t id = project_.getNewSceneId();
    auto scope = openSection();
    scope->sceneChanged = true;
    scope->sceneId = id;
    setCurrentScene(id);
    logCurrentScene("Edit::EditService::createScene", "set current scnene (create)");
    Scene& scene = *currentScene_;
    scene.name = values.name;
    scene.videoWidth = values.width;
    scene.videoHeight = values.height;
    scene.videoRate = values.rate;
    scene.videoScale = values.scale;
    scene.audioRate = values.audioRate;
    return true;
}

void EditService::deleteScene(int32_t id) {
    const auto doomed = project_.getScene(id);
    if (id == 0 || !doomed) return;
    // The question is about the scene that goes: an empty one goes without it.
    if (doomed->length > 0 &&
        !askOkCancel(id == project_.displayScene ? L"現在のシーンを削除しますか？" : L"シーンを削除しますか？"))
        return;
    System::Log::info("Edit::EditService::deleteScene", "delete scnene (%d)", id);
    auto scope = openSection();
    scope->sceneChanged = true;
    if (id == project_.displayScene) {
        scope->sceneId = 0;
        setCurrentScene(0);
        logCurrentScene("Edit::EditService::updateScene", "set current scnene");
    } else {
        scope->sceneId = project_.displayScene;
    }
    project_.deleteScene(id);
}

bool EditService::importSceneFromKto(const std::wstring& path) {
    auto scope = openSection();
    if (!ProjectConvert::importSceneFromKto(project_, path)) return false;
    scope->sceneChanged = true;
    scope->sceneId = project_.displayScene;
    setCurrentScene(project_.displayScene);
    return true;
}

// ---- project

bool EditService::askOkCancel(const wchar_t* text) {
    return dialogs().askOkCancel(Translate::translated(Translate::TranslateService::Table::Message, text));
}

bool EditService::confirmDiscard() {
    if (!undo_ || !undo_->modified) return true;
    return askOkCancel(L"現在の編集データは破棄されますがよろしいですか？");
}

void EditService::clearProject() {
    auto scope = openSection();
    if (undo_) {
        undo_->modified = false;
        undo_->setHistory(nullptr);  // the scenes and their histories go
    }
    objectClipboard.reset();
    project_.clear();
    scope->sceneChanged = true;
    scope->sceneId = 0;
    setCurrentScene(0);
    logCurrentScene("Edit::EditService::updateScene", "set current scnene");
}

bool EditService::createProject() {
    if (!confirmDiscard()) return false;
    SceneValues values{{}, 1920, 1080, 30, 1, 44100};
    if (!dialogs().sceneDialog(L"プロジェクトを作成", false, values)) return false;
    clearProject();
    System::Log::info("Edit::EditService::createProject", "create project file");
    auto scope = openSection();
    scope->sceneChanged = true;
    scope->sceneId = 0;
    setCurrentScene(0);
    logCurrentScene("Edit::EditService::updateScene", "set current scnene");
    Scene& root = *currentScene_;
    root.videoWidth = values.width;
    root.videoHeight = values.height;
    root.videoRate = values.rate;
    root.videoScale = values.scale;
    root.audioRate = values.audioRate;
    updateBackupTimer();
    return true;
}

bool EditService::loadProject(const std::wstring& path, bool ask, bool adoptPath) {
    const std::wstring file = expanded(path);
    if (!System::File::exists(file)) {
        showError(L"指定のファイルが存在しません");
        return false;
    }
    if (ask && !confirmDiscard()) return false;
    clearProject();
    System::Log::info("Edit::EditService::loadProject", L"load project file : %ls", path.c_str());
    dialogs().setFooterText(L"Loading...");

    bool read = true;
    {
        auto scope = openSection();
        try {
            project_.loadProjectFile(file);
        } catch (const std::exception&) {
            // The exception logged its text when it was made.
            if (undo_) undo_->setHistory(nullptr);
            project_.clear();
            postError(L"プロジェクトの読み込みに失敗しました");
            read = false;
        }
        // A file that could not be read lends the project neither its path
        // nor a place in the recent list: a later save must not overwrite it
        // with the empty project.
        if (read && adoptPath) {
            const std::wstring& stored = project_.path;
            if (hasFileName(stored) && !equalIgnoringCase(stored, file)) project_.updateEffectItemFilePath(file);
            project_.path = file;
        }
        scope->sceneChanged = true;
        scope->sceneId = project_.displayScene;
        setCurrentScene(project_.displayScene);
        logCurrentScene("Edit::EditService::updateScene", "set current scnene");
        dialogs().setFooterText(L"");
        if (read) projectHistory_.addItem(project_.path);
    }
    backedUpCount_ = scopeCount_;  // the file holds what the model holds
    return read;
}

bool EditService::saveProject(const std::wstring& path, bool quiet) { return writeProject(path, quiet, false); }

bool EditService::writeProject(const std::wstring& path, bool quiet, bool showAtOnce) {
    System::Log::info("Edit::EditService::saveProject", L"save project file : %ls", path.c_str());
    if (!quiet) dialogs().setFooterText(L"Saving...");
    bool written = true;
    try {
        project_.saveProjectFile(path);
        // A backup is not the user's save: the work is still unsaved.
        if (!quiet && undo_) undo_->modified = false;
    } catch (const std::exception& e) {
        System::Log::error("Edit::EditService::saveProject", "%s", e.what());
        if (showAtOnce)
            showError(L"プロジェクトの保存に失敗しました");
        else
            postError(L"プロジェクトの保存に失敗しました");
        written = false;
    }
    if (!quiet) {
        dialogs().setFooterText(L"");
        if (written) projectHistory_.addItem(project_.path);
    }
    return written;
}

bool EditService::saveBackup(const std::wstring& path) {
    const uint64_t count = scopeCount_;
    if (!saveProject(path, true)) return false;
    backedUpCount_ = count;
    return true;
}

bool EditService::saveProjectAs() {
    std::wstring chosen = project_.path;
    if (!dialogs().saveFileDialog(chosen, kProjectFilter)) return false;
    if (chosen == project_.path) return saveProject(chosen, false);
    const std::wstring previous = project_.path;
    const auto setPath = [this](const std::wstring& path) {
        auto scope = openSection();
        scope->sceneChanged = true;
        scope->sceneId = project_.displayScene;
        project_.path = path;
    };
    const std::wstring target = expanded(chosen);
    setPath(target);
    if (saveProject(target, false)) return true;
    // Nothing was written there: the project stays with the file it came from.
    setPath(previous);
    return false;
}

bool EditService::saveProjectOverwrite() {
    if (hasFileName(project_.path)) return saveProject(project_.path, false);
    return saveProjectAs();
}

// ---- selection

bool EditService::addSelectObject(const std::shared_ptr<Object>& object, bool notify) {
    Scene::Selection& selection = currentScene_->selection;
    if (std::find(selection.objects.begin(), selection.objects.end(), object) != selection.objects.end()) return false;
    selection.add(object, *currentScene_);  // a locked layer adds nothing
    if (notify && events_) events_->selectionListeners.call();
    return true;
}

void EditService::clearSelectObject(bool notify) {
    Scene::Selection& selection = currentScene_->selection;
    if (selection.objects.empty()) return;
    selection.clear();
    if (notify && events_) events_->selectionListeners.call();
}

void EditService::clickSelectObject(Window::WindowControl* control, const std::shared_ptr<Object>& object,
                                    bool withGroup) {
    if (withGroup) {
        if (!currentScene_->selection.addGroup(object, *currentScene_)) return;
        if (events_) events_->selectionListeners.call();
    } else if (!addSelectObject(object, true)) {
        return;
    }
    if (KeyHoldRouter* router = installedRouter().get(); router && !router->hasKeyHoldTarget())
        router->setKeyHoldTarget(control, KeyHoldRouter::kControlKey);
}

void EditService::clickClearSelection(Window::WindowControl* control) {
    if (currentScene_->selection.objects.empty()) return;
    if (KeyHoldRouter* router = installedRouter().get()) {
        const bool held = router->hasKeyHoldTarget();
        if (router->isKeyDown(KeyHoldRouter::kControlKey) && !held) {
            router->setKeyHoldTarget(control, KeyHoldRouter::kControlKey);
            return;
        }
        if (held && router->keyHoldCode() == KeyHoldRouter::kControlKey) return;
        if (router->hasFocusTarget()) {
            if (!held) router->setKeyHoldTarget(control, KeyHoldRouter::kFocusHold);
            if (!held || router->keyHoldCode() == KeyHoldRouter::kFocusHold) return;
        }
    }
    clearSelectObject(true);
}

// ---- cursor

void EditService::setCursorFrame(int32_t frame) {
    currentScene_->cursorFrame = std::clamp(frame, 0, std::max(currentScene_->length, 0));
    if (events_) events_->cursorFrameListeners.call(currentScene_->cursorFrame);
}

void EditService::updateCursorFrame() { setCursorFrame(currentScene_->cursorFrame); }

// ---- start-up and shutdown

std::wstring EditService::processCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring result;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        // Options begin with '-'. A leading '/' starts an absolute path here,
        // so it cannot mark an option as well.
        if (argument.empty() || argument[0] == L'-') continue;
        const std::wstring copy = expanded(argument);
        if (System::FileName::getExtension(copy.c_str()) == kProjectExtension) result = argument;
    }
    return result;
}

std::wstring EditService::processCommandLine() const {
    std::vector<std::string> arguments;
    if (!Platform::os::commandLineArguments(arguments))
        throw System::lastErrorException("CommandLineToArgvW", "Edit::EditService::processCommandLine");
    std::vector<std::wstring> wide;
    for (const auto& argument : arguments) wide.push_back(System::utf8ToWide(argument));
    return processCommandLine(wide);
}

void EditService::onStartup() {
    if (const std::wstring path = processCommandLine(); !path.empty()) {
        loadProject(path, false, true);
    } else if (settings_.editResume != 0) {
        if (const std::wstring resume = expanded(kResumeFile); System::File::exists(resume))
            loadProject(resume, false, false);
    } else if (events_) {
        events_->sceneListeners.call(project_.displayScene);
    }
    projectHistory_.setMaximum(settings_.historyFileMax);
    projectHistory_.trim();
    backupHistory_.setMaximum(settings_.autoBackupFileMax);
    backupHistory_.trim();
    updateBackupTimer();
}

void EditService::updateBackupTimer() {
    backupHistory_.updateTimer(settings_.autoBackup != 0, settings_.autoBackupInterval, settings_.autoBackupFileMax);
}

void EditService::onExit() {
    backupHistory_.stopTimer();
    if (settings_.editResume == 0 || exceptionExit_) return;
    // The main loop that would show a posted failure has ended.
    writeProject(expanded(kResumeFile), false, true);
}

void EditService::applicationException(const std::exception& e) {
    exceptionExit_ = true;
    backupHistory_.stopTimer();
    dialogs().showApplicationException(e.what() + System::wideToUtf8(kExceptionNote));
    const std::wstring name = System::FileName::createTimeStampName(BackupHistory::kFolder,
                                                                    BackupHistory::kExceptionPrefix, kProjectExtension);
    System::Log::info("Edit::EditService::applicationException", L"exception backup : %ls", name.c_str());
    writeProject(name, true, true);
    System::File::deleteFile(expanded(kResumeFile));
}

EditService::FrameImageReader EditService::setFrameImageReader(FrameImageReader reader) {
    std::swap(frameImageReader(), reader);
    return reader;
}

void EditService::copyFrameImage(int32_t format, Media::RenderBuffer& buffer) {
    if (!frameImageReader()) return;
    const std::shared_ptr<Media::ImageBuffer> image = frameImageReader()(buffer, format);
    if (!image) return;
    System::ClipboardImage clip;
    clip.width = static_cast<int32_t>(image->width);
    clip.height = static_cast<int32_t>(image->height);
    clip.alpha = format == 87;
    clip.pixels = image->pixels.data();
    clip.pitch = image->pitch;
    // Sent, not posted: the image must stay alive until it is on the clipboard.
    Event::sendEventCommand(Event::EventCommandType::SetClipboardImage, reinterpret_cast<intptr_t>(&clip));
}

}  // namespace Edit
