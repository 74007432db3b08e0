// Script files of the script folder: split into scripts, then each script's
// header directives read into the items of a prototype effect, which an
// object's effect then copies.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "script/ScriptEffect.h"
#include "script/ScriptService.h"

namespace {

class FuzzScriptEffect : public Effect::ScriptEffect {
public:
    FuzzScriptEffect() : ScriptEffect(L"fuzz", kFilter, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<FuzzScriptEffect>(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static System::ServiceHolder<Plugin::ScriptService> service;
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto sections = Effect::ScriptFileParser::splitScripts(text, L"@fuzz");
    sections.push_back({L"whole", text});
    for (auto& section : sections) {
        FuzzScriptEffect prototype;
        prototype.createCommonResource();
        std::wstring label;
        prototype.setScript(std::move(section), L"/scripts", &label, nullptr);
        // Reading the header never leaves the script without an engine.
        if (!prototype.commonResource().engine) __builtin_trap();
        FuzzScriptEffect copy;
        copy.shareResource(prototype);
        if (copy.items.size() != prototype.items.size()) __builtin_trap();
    }
    return 0;
}
