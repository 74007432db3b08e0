#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "effect/AliasDefine.h"
#include "effect/EffectDefine.h"
#include "effect/MovementDefine.h"

namespace Effect {

class EffectBase;
class MovementBase;

// The registry of everything an effect chain can name: effects, movements
// and aliases, found by their exact names. Built once at start-up (after the
// script and cache services, before undo and editing); it takes no locks:
// registration runs on the UI thread, look-ups elsewhere happen under the
// project lock.
class EffectService {
public:
    // The built-in effects, registered in table order in two runs: the
    // leading run before the script scan, the trailing run after it. The
    // program installs the catalogue before the service is built.
    class Catalog {
    public:
        virtual ~Catalog();
        virtual void registerLeading(EffectService& service) = 0;
        virtual void registerTrailing(EffectService& service) = 0;
    };
    static Catalog* setCatalog(Catalog* catalog);  // returns the one installed before

    // Reads script files into effects and movements. The script host installs
    // it at start-up; without one no script registers.
    class ScriptRegistrar {
    public:
        enum class Kind { kInput, kFilter, kCamera, kSceneChange, kMovement };
        virtual ~ScriptRegistrar();
        // Registers the scripts of one file while the service is being built,
        // afterwards replaces the text of those already registered. folder and
        // engineName may be none; builtIn files hold several scripts.
        virtual void registerScriptFile(EffectService& service, Kind kind, const std::wstring& path,
                                        const std::wstring* folder, bool builtIn, bool olderFormat,
                                        const std::string* engineName) = 0;
        // What stands behind an effect made from a script: its kind, its
        // "--information" text and the folder of its file.
        struct ScriptInfo {
            Kind kind = Kind::kInput;
            std::wstring information;
            std::wstring folder;
        };
        // False when the effect is no script (the default).
        virtual bool describeScript(const EffectBase& prototype, ScriptInfo& info) const;
    };
    // Returns the one installed before.
    static ScriptRegistrar* setScriptRegistrar(ScriptRegistrar* registrar);

    using MovementMenuAdjuster = std::function<void(std::vector<const MovementDefine*>& movements)>;

    // What the media readers say of a file: whether it opens and with what.
    struct MediaFileInfo {
        bool video = false;
        bool audio = false;
        int32_t frameCount = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t rate = 0;
        int32_t scale = 0;
        int32_t audioRate = 0;
    };
    // The readers the program installs at start-up: the input service's
    // extension tables, a file opened as video or else as audio, and an SVG
    // load. Without them no file is supported.
    struct MediaFileProbe {
        std::function<bool(const std::wstring& extension)> readsExtension;
        std::function<bool(const std::wstring& path, MediaFileInfo& info)> openFile;
        std::function<bool(const std::wstring& path)> loadsSvg;
    };
    // Returns the one installed before.
    static MediaFileProbe setMediaFileProbe(MediaFileProbe probe);
    // The file opened as video, else as audio; false when neither reads it.
    static bool getMediaFileInfo(const std::wstring& path, MediaFileInfo& info);

    EffectService();
    ~EffectService();
    EffectService(const EffectService&) = delete;
    EffectService& operator=(const EffectService&) = delete;

    // The service while it exists (also while it is being built).
    static EffectService* get();

    // Registers one prototype of T built from the arguments: the shared
    // prototype, or empty when the name is taken or building it failed (both
    // reported in an error dialog).
    template <class T, class... Args>
    std::shared_ptr<T> registerEffect(Args&&... args);
    template <class T, class... Args>
    std::shared_ptr<T> registerMovement(Args&&... args);

    // "not found effect." (with the name) when absent.
    EffectDefine& findEffect(const std::wstring& name) const;
    // A new instance sharing the class resource, or empty when absent.
    std::shared_ptr<EffectBase> getEffect(const std::wstring& name) const;
    // As findEffect, mapping a name of the earlier generation through
    // [OldScript] of "effect.conf" when the name itself is not registered.
    EffectDefine& findEffectWithOldName(const std::wstring& name) const;
    // "not found movement." when absent.
    MovementDefine& findMovement(const std::wstring& name) const;
    // The prototype registered under T::kName as a T; "default effect not found" otherwise.
    template <class T>
    T& getDefaultEffect() const;
    // The output that goes with an input; "invalid input effect type." for a
    // media code without one.
    const EffectDefine& getOutputEffect(const EffectDefine& input) const;

    // Effects and aliases passing the three filters (0 = none; role 200 the
    // object menu, 201 the filter menu), by menu order.
    std::vector<Menu::MenuDefineBase*> getEffectMenuList(uint8_t roleFilter, uint8_t mediaFilter,
                                                         uint8_t placementFilter) const;
    // Whether an entry's media (or placement) code passes a requested code:
    // 0 passes all; else equal codes, a one-medium code under 3, and 3 under
    // anything but the camera's 4.
    static bool codePasses(uint8_t filter, uint8_t code);
    // The distinct non-empty labels of effects and aliases, in menu order.
    std::vector<const std::wstring*> getEffectLabelList() const;
    // The movements of the movement menu by menu order; adjust sees the list first.
    std::vector<const MovementDefine*> getMovementMenuList(const MovementMenuAdjuster& adjust = {}) const;

    // Whether a dropped file can become an object: an SVG figure, or an
    // extension the input plug-ins read as video or audio.
    bool isSupportedFile(const std::wstring& path) const;
    // The source effect that shows the file ("図形", "動画ファイル",
    // "画像ファイル" or "音声ファイル"); empty when none reads it.
    std::wstring getInputEffectForFile(const std::wstring& path) const;

    // Adds the alias files of one kind ("object" 100, "effect" 101) to the alias list.
    void registerAlias(const wchar_t* kind, int32_t role);
    // Drops every alias and registers the object and effect aliases again.
    void reloadAliases();
    // Lists the first alias of that name under the label.
    void updateAlias(const std::wstring& name, const std::wstring& label);
    // The scripts of the script folder and its sub-folders, for the script
    // information table: per script its information text (else its name) and
    // its kind, filters first, then sources, cameras and movements.
    std::vector<std::vector<std::wstring>> getScriptList() const;
    // Registers (or, once ready, refreshes) the built-in script files, then
    // those of the script folder and of each of its sub-folders.
    void registerScripts();
    // The script files of the script folder, or of one sub-folder of it.
    void scanScriptFolder(const std::wstring* folder);

    bool ready() const { return ready_; }
    int32_t counter() const { return counter_; }
    const std::unordered_map<std::wstring, std::unique_ptr<EffectDefine>>& effects() const { return effects_; }
    const std::unordered_map<std::wstring, std::unique_ptr<MovementDefine>>& movements() const { return movements_; }
    std::vector<std::unique_ptr<AliasDefine>>& aliases() { return aliases_; }

    // "移動無し" and "再生範囲" as registered; none while no service exists.
    static const MovementBase* noMove();
    static const MovementBase* movieRange();

    // "class " and the qualified class name.
    static std::string typeName(const std::type_info& type);

private:
    [[noreturn]] static void throwDefaultNotFound(const std::string& typeName);
    bool insertEffect(const std::shared_ptr<EffectBase>& prototype);
    bool insertMovement(const std::shared_ptr<MovementBase>& movement);
    static void showEffectFailure(const std::string& typeName, const char* what);
    static void showMovementFailure(const std::string& typeName, const char* what);

    bool ready_ = false;
    int32_t counter_ = 0;
    std::unordered_map<std::wstring, std::unique_ptr<EffectDefine>> effects_;
    std::unordered_map<std::wstring, std::unique_ptr<MovementDefine>> movements_;
    std::vector<std::unique_ptr<AliasDefine>> aliases_;
};

template <class T, class... Args>
std::shared_ptr<T> EffectService::registerEffect(Args&&... args) {
    try {
        std::shared_ptr<T> prototype = std::make_shared<T>(std::forward<Args>(args)...);
        if (insertEffect(prototype)) return prototype;
    } catch (const std::exception& e) {
        showEffectFailure(typeName(typeid(T)), e.what());
    }
    return {};
}

template <class T, class... Args>
std::shared_ptr<T> EffectService::registerMovement(Args&&... args) {
    try {
        std::shared_ptr<T> movement = std::make_shared<T>(std::forward<Args>(args)...);
        if (insertMovement(movement)) return movement;
    } catch (const std::exception& e) {
        showMovementFailure(typeName(typeid(T)), e.what());
    }
    return {};
}

template <class T>
T& EffectService::getDefaultEffect() const {
    const auto found = effects_.find(T::kName);
    if (found != effects_.end())
        if (T* effect = dynamic_cast<T*>(found->second->prototype().get())) return *effect;
    throwDefaultNotFound(typeName(typeid(T)));
}

}  // namespace Effect
