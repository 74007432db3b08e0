#pragma once
#include <memory>
#include <string>
#include <unordered_map>

#include "script/Fnv1aHash.h"
#include "script/ScriptPlugin.h"

namespace Plugin {

// The registry of script engines: "lua" and "luaJIT" (the default), filled
// at start-up and only read afterwards. Neither engine touches its library
// before its first run, so the program starts without either installed.
class TextInlineScripts;
class ScriptFileRegistrar;
class ScriptEditRunner;

class ScriptService {
public:
    ScriptService();
    ~ScriptService();
    ScriptService(const ScriptService&) = delete;
    ScriptService& operator=(const ScriptService&) = delete;

    // None while no service exists.
    static ScriptService* get();

    // Creates the engine class's engine with its name, description and module
    // file and registers it.
    template <class Engine>
    void registerPlugin();
    // Inserts an engine under its name (a registered name keeps its engine)
    // and logs "register script plugin [%s]" with its description.
    void registerPlugin(std::shared_ptr<ScriptPlugin> engine);

    // The default engine "luaJIT".
    std::shared_ptr<ScriptPlugin> findScriptPlugin() const;
    // "not found script plugin." with the name as note for a name not registered.
    std::shared_ptr<ScriptPlugin> findScriptPlugin(const std::string& name) const;

    size_t size() const { return plugins_.size(); }

private:
    std::unordered_map<std::string, std::shared_ptr<ScriptPlugin>, Fnv1aHash> plugins_;
    std::unique_ptr<TextInlineScripts> inlineScripts_;
    std::unique_ptr<ScriptFileRegistrar> fileRegistrar_;
    std::unique_ptr<ScriptEditRunner> editRunner_;
};

}  // namespace Plugin
