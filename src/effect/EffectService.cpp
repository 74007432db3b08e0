#include "effect/EffectService.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <utility>

#include "core/ErrorPresenter.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/TranslateService.h"
#include "effect/EffectBase.h"
#include "effect/InterpolationMove.h"
#include "effect/InterpolationSpeed.h"
#include "effect/LinearMove.h"
#include "effect/LinearSpeed.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"
#include "effect/MovementParamsManager.h"
#include "effect/MovieRange.h"
#include "effect/NoMove.h"
#include "effect/PaletteManager.h"
#include "effect/RandomMove.h"
#include "effect/ScriptMovement.h"
#include "effect/TeleportationMove.h"

namespace Effect {

namespace {

EffectService* gService = nullptr;
EffectService::Catalog* gCatalog = nullptr;
EffectService::ScriptRegistrar* gScriptRegistrar = nullptr;
const MovementBase* gNoMove = nullptr;
const MovementBase* gMovieRange = nullptr;

EffectService::MediaFileProbe gProbe;

// The presets of time-control parameters and the palettes, loaded with the
// service and gone with it.
std::unique_ptr<MovementParamsManager> gMovementParams;
std::unique_ptr<PaletteManager> gPalettes;

// A failed registration goes to the program's error presenter; before one
// is installed it is logged.
void showError(const std::wstring& text) {
    if (!System::presentErrorIfInstalled(text)) System::Log::error("Effect::EffectService", L"%ls", text.c_str());
}

// Number items read movement names through the registry; an unknown name
// throws the registry's "not found movement.".
MovementBase* findRegisteredMovement(const std::wstring& name) {
    if (!gService) return findBuiltinMovement(name);
    return gService->findMovement(name).movement().get();
}

bool byOrder(const Menu::MenuDefineBase* a, const Menu::MenuDefineBase* b) { return a->order < b->order; }

}  // namespace

EffectService::Catalog::~Catalog() = default;

EffectService::Catalog* EffectService::setCatalog(Catalog* catalog) { return std::exchange(gCatalog, catalog); }

EffectService::ScriptRegistrar::~ScriptRegistrar() = default;

bool EffectService::ScriptRegistrar::describeScript(const EffectBase&, ScriptInfo&) const { return false; }

EffectService::ScriptRegistrar* EffectService::setScriptRegistrar(ScriptRegistrar* registrar) {
    ScriptRegistrar* const previous = gScriptRegistrar;
    gScriptRegistrar = registrar;
    return previous;
}

EffectService* EffectService::get() { return gService; }

MovementParamsManager* MovementParamsManager::get() { return gMovementParams.get(); }

PaletteManager* PaletteManager::get() { return gPalettes.get(); }

EffectService::MediaFileProbe EffectService::setMediaFileProbe(MediaFileProbe probe) {
    MediaFileProbe previous = std::move(gProbe);
    gProbe = std::move(probe);
    return previous;
}

bool EffectService::getMediaFileInfo(const std::wstring& path, MediaFileInfo& info) {
    return gProbe.openFile && gProbe.openFile(path, info);
}

bool EffectService::isSupportedFile(const std::wstring& path) const {
    const std::wstring extension = System::FileName::getExtension(path.c_str());
    if (extension == L"svg") return true;
    return gProbe.readsExtension && gProbe.readsExtension(extension);
}

std::wstring EffectService::getInputEffectForFile(const std::wstring& path) const {
    if (System::FileName::getExtension(path.c_str()) == L"svg" && gProbe.loadsSvg && gProbe.loadsSvg(path))
        return L"図形";
    MediaFileInfo info;
    if (!getMediaFileInfo(path, info)) return {};
    if (info.video) return info.frameCount > 1 ? L"動画ファイル" : L"画像ファイル";
    if (info.audio) return L"音声ファイル";
    return {};
}

const MovementBase* EffectService::noMove() { return gNoMove; }

const MovementBase* EffectService::movieRange() { return gMovieRange; }

EffectService::EffectService() {
    gService = this;
    try {
        registerMovement<NoMove>();
        registerMovement<MovieRange>();
        registerMovement<LinearMove>();
        registerMovement<LinearSpeed>();
        registerMovement<InterpolationMove>();
        registerMovement<InterpolationSpeed>();
        registerMovement<RandomMove>();
        registerMovement<TeleportationMove>();
        MovementBase* noMoveRegistered = findMovement(L"移動無し").movement().get();
        gNoMove = noMoveRegistered;
        gMovieRange = findMovement(L"再生範囲").movement().get();
        setNoMove(noMoveRegistered);
        setMovementFinder(findRegisteredMovement);

        if (gCatalog) gCatalog->registerLeading(*this);
        registerScripts();
        if (gCatalog) gCatalog->registerTrailing(*this);

        aliases_.clear();
        registerAlias(L"object", 100);
        registerAlias(L"effect", 101);
        gMovementParams = std::make_unique<MovementParamsManager>();
        gMovementParams->loadMovementParams();
        gPalettes = std::make_unique<PaletteManager>();
        gPalettes->loadPalettes();
        // Text tags name the preset colours from now on.
        Media::PresetColorSource::installed = gPalettes.get();
    } catch (...) {
        if (Media::PresetColorSource::installed == gPalettes.get()) Media::PresetColorSource::installed = nullptr;
        gPalettes.reset();
        gMovementParams.reset();
        setMovementFinder(nullptr);
        setNoMove(nullptr);
        gNoMove = gMovieRange = nullptr;
        gService = nullptr;
        throw;
    }
    ready_ = true;
}

EffectService::~EffectService() {
    if (gService == this) {
        if (Media::PresetColorSource::installed == gPalettes.get()) Media::PresetColorSource::installed = nullptr;
        gPalettes.reset();
        gMovementParams.reset();
    }
    setMovementFinder(nullptr);
    setNoMove(nullptr);
    gNoMove = gMovieRange = nullptr;
    if (gService == this) gService = nullptr;
}

std::string EffectService::typeName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : type.name();
    std::free(demangled);
    return "class " + name;
}

void EffectService::showEffectFailure(const std::string& typeName, const char* what) {
    showError(System::utf8ToWide("Failed to register effect. [" + typeName + "]\n\n" + what));
}

void EffectService::showMovementFailure(const std::string& typeName, const char* what) {
    showError(System::utf8ToWide("Failed to register movement. [" + typeName + "]\n\n" + what));
}

void EffectService::throwDefaultNotFound(const std::string& typeName) {
    throw System::messageException("Effect::EffectService::getDefaultEffect", "default effect not found",
                                   typeName.c_str());
}

bool EffectService::insertEffect(const std::shared_ptr<EffectBase>& prototype) {
    const int32_t order = counter_++;
    const std::wstring key = prototype->name;
    if (effects_.count(key)) {
        showError(System::formatString(L"Failed to register effect. [%ls]\n\n%ls", key.c_str(),
                                       L"Duplicate effects with the same key exist."));
        return false;
    }
    auto define = std::make_unique<EffectDefine>(prototype, order);
    effects_.emplace(key, std::move(define));
    System::Log::info("Effect::EffectService::registerEffect", L"register effect [%ls]", key.c_str());
    return true;
}

bool EffectService::insertMovement(const std::shared_ptr<MovementBase>& movement) {
    const int32_t order = counter_++;
    const std::wstring key = movement->name;
    if (movements_.count(key)) {
        showError(System::formatString(L"Failed to register movement. [%ls]\n\n%ls", key.c_str(),
                                       L"Duplicate movements with the same key exist."));
        return false;
    }
    movements_.emplace(key, std::make_unique<MovementDefine>(movement, order));
    System::Log::info("Effect::EffectService::registerMovement", L"register movement [%ls]", key.c_str());
    return true;
}

EffectDefine& EffectService::findEffect(const std::wstring& name) const {
    const auto found = effects_.find(name);
    if (found == effects_.end())
        throw System::messageException("Effect::EffectService::findEffect", "not found effect.",
                                       System::wideToUtf8(name).c_str());
    return *found->second;
}

std::shared_ptr<EffectBase> EffectService::getEffect(const std::wstring& name) const {
    const auto found = effects_.find(name);
    if (found == effects_.end()) return {};
    return found->second->createEffect();
}

EffectDefine& EffectService::findEffectWithOldName(const std::wstring& name) const {
    const auto found = effects_.find(name);
    if (found != effects_.end()) return *found->second;
    std::wstring newName = name;
    if (Setting::SettingService* settings = Setting::SettingService::get();
        settings && settings->effect.hasSection("OldScript")) {
        const System::IniFile::VALUE& value =
            settings->effect.getSection("OldScript").findValue(System::wideToUtf8(name));
        if (&value != &System::IniFile::emptyValue()) newName = value.toString();
    }
    return findEffect(newName);
}

MovementDefine& EffectService::findMovement(const std::wstring& name) const {
    const auto found = movements_.find(name);
    if (found == movements_.end())
        throw System::messageException("Effect::EffectService::findMovement", "not found movement.");
    return *found->second;
}

const EffectDefine& EffectService::getOutputEffect(const EffectDefine& input) const {
    const EffectBase& prototype = *input.prototype();
    switch (prototype.media) {
    case EffectBase::kVideo:
        return findEffect(std::wstring_view(prototype.name) == L"フレームバッファ" ? L"基本出力" : L"標準描画");
    case EffectBase::kAudio: return findEffect(L"音声再生");
    case EffectBase::kVideoAudio: return findEffect(L"映像再生");
    default: throw System::messageException("Effect::EffectService::getOutputEffect", "invalid input effect type.");
    }
}

std::vector<Menu::MenuDefineBase*> EffectService::getEffectMenuList(uint8_t roleFilter, uint8_t mediaFilter,
                                                                    uint8_t placementFilter) const {
    const auto rolePasses = [roleFilter](int32_t role, const EffectBase* prototype) {
        switch (roleFilter) {
        case 0: return true;
        case 200:
            if (role == 1 || role == 4 || role == 100) return true;
            return prototype && prototype->getPairedInputEffect() != nullptr;
        case 201: return role == 3 || role == 101;
        default: return role == roleFilter;
        }
    };
    std::vector<Menu::MenuDefineBase*> list;
    for (const auto& [name, define] : effects_) {
        if (rolePasses(define->getKind(), define->prototype().get()) && codePasses(mediaFilter, define->getMedia()) &&
            codePasses(placementFilter, define->getPlacement()))
            list.push_back(define.get());
    }
    for (const auto& alias : aliases_) {
        if (rolePasses(alias->getKind(), nullptr) && codePasses(mediaFilter, alias->getMedia()) &&
            codePasses(placementFilter, alias->getPlacement()))
            list.push_back(alias.get());
    }
    std::sort(list.begin(), list.end(), byOrder);
    return list;
}

bool EffectService::codePasses(uint8_t filter, uint8_t code) {
    if (filter == 0 || code == filter) return true;
    if ((code == 1 || code == 2) && filter == 3) return true;
    return code == 3 && filter != 4;
}

std::vector<const std::wstring*> EffectService::getEffectLabelList() const {
    std::vector<const Menu::MenuDefineBase*> all;
    for (const auto& [name, define] : effects_) all.push_back(define.get());
    for (const auto& alias : aliases_) all.push_back(alias.get());
    std::sort(all.begin(), all.end(), byOrder);
    std::vector<const std::wstring*> labels;
    for (const Menu::MenuDefineBase* entry : all) {
        if (entry->label.empty()) continue;
        if (std::none_of(labels.begin(), labels.end(), [&](const std::wstring* l) { return *l == entry->label; }))
            labels.push_back(&entry->label);
    }
    return labels;
}

std::vector<const MovementDefine*> EffectService::getMovementMenuList(const MovementMenuAdjuster& adjust) const {
    std::vector<const MovementDefine*> list;
    for (const auto& [name, define] : movements_)
        if (define->movement()->inMenu) list.push_back(define.get());
    if (adjust) adjust(list);
    std::sort(list.begin(), list.end(), byOrder);
    return list;
}

void EffectService::registerAlias(const wchar_t* kind, int32_t) {
    const std::wstring pattern = System::FileName::getExpandedPath(L"%Alias%") + System::kPathSeparator + L"*." + kind;
    for (const System::File::FileEntry& file : System::findFilesByPattern(pattern)) {
        std::wstring name = file.name;
        if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
        if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
        try {
            aliases_.push_back(std::make_unique<AliasDefine>(name, kind, counter_++));
            System::Log::info("Effect::EffectService::registerAlias", "register alias [%s]",
                              System::wideToUtf8(name).c_str());
        } catch (const std::exception& e) {
            showError(L"Failed to register alias. [" + name + L"]\n\n" + System::utf8ToWide(e.what()));
        }
    }
}

void EffectService::reloadAliases() {
    aliases_.clear();
    registerAlias(L"object", 100);
    registerAlias(L"effect", 101);
}

void EffectService::updateAlias(const std::wstring& name, const std::wstring& label) {
    for (const auto& alias : aliases_)
        if (alias->getName() == name) {
            alias->label = label;
            return;
        }
}

void EffectService::registerScripts() {
    if (!gScriptRegistrar) return;
    using Kind = ScriptRegistrar::Kind;
    const std::wstring install = System::FileName::getExpandedPath(L"%AppInstall%") + System::kPathSeparator;
    const struct {
        const wchar_t* file;
        Kind kind;
    } builtIn[] = {{L"script.obj2", Kind::kInput},
                   {L"script.anm2", Kind::kFilter},
                   {L"script.cam2", Kind::kCamera},
                   {L"script.scn2", Kind::kSceneChange},
                   {L"script.tra2", Kind::kMovement}};
    for (const auto& entry : builtIn)
        gScriptRegistrar->registerScriptFile(*this, entry.kind, install + entry.file, nullptr, true, false, nullptr);

    scanScriptFolder(nullptr);
    const std::wstring pattern = System::FileName::getExpandedPath(L"%Script%") + System::kPathSeparator + L"*";
    for (const System::File::FileEntry& folder : System::File::getFolderList(pattern)) scanScriptFolder(&folder.name);
}

void EffectService::scanScriptFolder(const std::wstring* folder) {
    if (!gScriptRegistrar) return;
    using Kind = ScriptRegistrar::Kind;
    std::wstring base = System::FileName::getExpandedPath(L"%Script%") + System::kPathSeparator;
    if (folder) base += *folder + System::kPathSeparator;
    const struct {
        const wchar_t* extension;
        Kind kind;
    } kinds[] = {{L"obj", Kind::kInput},
                 {L"anm", Kind::kFilter},
                 {L"cam", Kind::kCamera},
                 {L"scn", Kind::kSceneChange},
                 {L"tra", Kind::kMovement}};
    // The current kinds first, then the older ones, whose text is in the
    // system code page and which run on the plain engine.
    const std::string olderEngine = "lua";
    for (const bool older : {false, true}) {
        for (const auto& entry : kinds) {
            const std::wstring pattern = base + L"*." + entry.extension + (older ? L"" : L"2");
            for (const System::File::FileEntry& file : System::findFilesByPattern(pattern))
                gScriptRegistrar->registerScriptFile(*this, entry.kind, file.name, folder, false, older,
                                                     older ? &olderEngine : nullptr);
        }
    }
}

std::vector<std::vector<std::wstring>> EffectService::getScriptList() const {
    std::wstring root = System::FileName::getExpandedPath(L"%Script%");
    while (!root.empty() && (root.back() == L'/' || root.back() == L'\\')) root.pop_back();
    const auto underRoot = [&root](const std::wstring& folder) {
        if (folder.size() < root.size()) return false;
        for (size_t i = 0; i < root.size(); ++i)
            if (std::towlower(static_cast<wint_t>(folder[i])) != std::towlower(static_cast<wint_t>(root[i])))
                return false;
        return true;
    };
    const auto kindText = [](const wchar_t* text) -> std::wstring {
        if (!Translate::TranslateService::isActive()) return text;
        return Translate::translated(Translate::TranslateService::Table::Dialog, text);
    };
    std::vector<std::vector<std::wstring>> rows;
    const struct {
        ScriptRegistrar::Kind kind;
        const wchar_t* label;
    } groups[] = {{ScriptRegistrar::Kind::kFilter, L"フィルタ効果"},
                  {ScriptRegistrar::Kind::kInput, L"オブジェクト"},
                  {ScriptRegistrar::Kind::kCamera, L"カメラ効果"}};
    for (const auto& group : groups) {
        if (gScriptRegistrar == nullptr) break;
        for (const auto& [name, define] : effects_) {
            ScriptRegistrar::ScriptInfo info;
            if (!define->prototype() || !gScriptRegistrar->describeScript(*define->prototype(), info)) continue;
            if (info.kind != group.kind || !underRoot(info.folder)) continue;
            rows.push_back({info.information.empty() ? name : info.information, kindText(group.label)});
        }
    }
    for (const auto& [name, define] : movements_) {
        const auto* script = dynamic_cast<const ScriptMovement*>(define->movement().get());
        if (script == nullptr || !underRoot(script->folder)) continue;
        rows.push_back({script->information.empty() ? name : script->information, kindText(L"トラックバー")});
    }
    return rows;
}

}  // namespace Effect
