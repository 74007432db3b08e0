// Effect sections of exchange files of the earlier generation ("_name",
// "_disable", old item keys mapped through effect.conf) and of project,
// alias and default-parameter files, read into an effect of every item kind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "../tests/support/TestModelQueries.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "support/ScratchFolder.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemText.h"

namespace {
// Scene names, fonts and figures as the effect tests have them, installed at start-up.
TestModelQueries gModelQueries;
const Effect::ModelQueriesScope gModelQueriesInstalled{gModelQueries};
}  // namespace

namespace {

std::shared_ptr<Effect::EffectItemSelect::SharedList> blendModes() {
    auto list = Effect::EffectItemSelect::SharedList::create();
    list->add(0, L"通常");
    list->add(1, L"加算");
    return list;
}

class SampleEffect : public Effect::EffectBase {
public:
    Effect::EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    Effect::EffectItemNumber zoom{&items, L"拡大率", 100, 0, 5000, 0.01};
    Effect::EffectItemInteger count{&items, L"数", 1, 0, 100};
    Effect::EffectItemCheck loop{&items, L"ループ再生"};
    Effect::EffectItemText text{&items, L"テキスト"};
    Effect::EffectItemColor color{&items, L"色", 255, 255, 255, Effect::EffectItem::kColorUnset};
    Effect::EffectItemSelect blend{&items, L"合成モード", 0, blendModes()};
    Effect::EffectItemFigureSelect figure{&items, L"図形の種類"};
    Effect::EffectItemFile file{&items, L"ファイル"};

    SampleEffect() {
        name = L"サンプル";
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<SampleEffect>(); }
};

// An installation whose effect.conf maps old keys onto the sample's items.
const std::string& scratch() {
    static const std::string folder = [] {
        std::string made = FuzzSupport::makeScratch(
            "/tmp/velmo-fuzz-exchange-XXXXXX",
            "[OldScript]\nold=サンプル\n[OldScript.サンプル]\nzoom=拡大率\nblend=合成モード\ncolor=色\n"
            "no_color=色\nfigure=図形の種類\nfile=ファイル\ntext=テキスト\nloop=ループ再生\n");
        if (!FuzzSupport::scratchFolder().empty()) ::mkdir((made + "/data").c_str(), 0700);
        return made;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    const std::string path = scratch() + "/input.exo";
    static System::ServiceHolder<Setting::SettingService> settings;
    FuzzSupport::writeInput(path, data, size);
    System::IniFile ini;
    ini.loadFile(System::utf8ToWide(path), false, true);
    for (const auto& [name, keys] : ini.sections()) {
        (void)keys;
        const auto section = ini.getSection(name);
        SampleEffect exchange;
        try {
            exchange.loadKtoSectionParameter(section);
        } catch (const std::exception&) {
        }
        SampleEffect stored;
        try {
            stored.loadIniSectionParameter(section);
        } catch (const std::exception&) {
        }
        for (SampleEffect* effect : {&exchange, &stored})
            for (const Effect::EffectItem* item : effect->items) (void)item->toString();
    }
    return 0;
}
