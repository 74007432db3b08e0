#pragma once
#include <string>

#include "effect/EffectService.h"

namespace Plugin {

// Turns script files into effects and movements for the effect service: each
// named script of a file becomes one definition of its kind's class. Installs
// itself into the effect service for its lifetime.
class ScriptFileRegistrar : public Effect::EffectService::ScriptRegistrar {
public:
    ScriptFileRegistrar();
    ~ScriptFileRegistrar() override;
    ScriptFileRegistrar(const ScriptFileRegistrar&) = delete;
    ScriptFileRegistrar& operator=(const ScriptFileRegistrar&) = delete;

    void registerScriptFile(Effect::EffectService& service, Kind kind, const std::wstring& path,
                            const std::wstring* folder, bool builtIn, bool olderFormat,
                            const std::string* engineName) override;
    bool describeScript(const Effect::EffectBase& prototype, ScriptInfo& info) const override;

    // The scripts of one file as effects of class T: new definitions while
    // the service is being built, afterwards only new texts for the scripts
    // already registered.
    template <class T>
    static void registerScriptEffect(Effect::EffectService& service, const std::wstring& path,
                                     const std::wstring* folder, bool builtIn, bool olderFormat,
                                     const std::string* engineName);
    static void registerScriptMovement(Effect::EffectService& service, const std::wstring& path,
                                       const std::wstring* folder, bool builtIn, bool olderFormat,
                                       const std::string* engineName);

private:
    Effect::EffectService::ScriptRegistrar* previous_ = nullptr;
};

}  // namespace Plugin
