// Feeds arbitrary bytes to the object exchange file import over a small
// catalogue of effects and the "OldScript" tables, checks the scene it builds,
// writes the project and reads that back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "edit/Group.h"
#include "edit/Project.h"
#include "edit/ProjectConvert.h"
#include "support/FuzzCatalog.h"
#include "support/ScratchFolder.h"

namespace {

using namespace FuzzSupport;

// The scratch folder is also the installation folder: its "effect.conf"
// holds the name tables the import reads.
const std::string& scratch() {
    static const std::string folder =
        makeScratch("/tmp/velmo-fuzz-exchange-XXXXXX",
                    "[OldScript]\nold=ぼかし\n[OldScript.カスタムオブジェクト]\n3=画像ファイル\n"
                    "[OldScript.アニメーション効果]\n1=反転\n[OldScript.カメラ効果]\n1=カメラ効果\n"
                    "[OldScript.trackmode]\n1=直線移動\n2=瞬間移動\n3=\nSingleSection=2\n");
    return folder;
}

// The invariants the import promises for whatever it accepted, beyond those
// of every scene read.
void check(const Edit::Scene& scene) {
    checkScene(scene);
    if (scene.audioRate < 1) std::abort();
    for (int32_t i = 0; i < scene.layerCount(); ++i)
        for (const auto& object : scene.getLayer(i).objects) {
            if (object->start < 0) std::abort();
            if (object->group)
                for (const Edit::Object* member : object->group->members)
                    if (member->layer < 0) std::abort();  // a group holding an object off the model
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzCatalog catalog({Codes{L"画像ファイル", 1, 1, 1}, Codes{L"音声ファイル", 1, 2, 2},
                                Codes{L"標準描画", 2, 1, 1}, Codes{L"音声再生", 2, 2, 2}, Codes{L"ぼかし", 3, 1, 1},
                                Codes{L"反転", 3, 3, 3}, Codes{L"カメラ効果", 3, 4, 4}, Codes{L"グループ制御", 4, 1, 1},
                                Codes{L"シーンチェンジ", 4, 1, 5}},
                               false);
    const std::string input = scratch() + "/input.kto";
    static System::ServiceHolder<Setting::SettingService> settings;
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Edit::Project::setErrorPoster([](const std::wstring&) {});
    writeInput(input, data, size);
    Edit::Project project;
    project.getOrCreateScene(0);
    if (!Edit::ProjectConvert::importSceneFromKto(project, System::utf8ToWide(input))) {
        if (project.scenes.size() != 1 || project.displayScene != 0)
            std::abort();  // a failed import leaves the project as it was
        project.clear();
        return 0;
    }
    const auto scene = project.getScene(project.displayScene);
    if (!scene || scene->id == 0) std::abort();
    check(*scene);
    // What was imported is written in a form that reads back whole.
    saveAndReadBack(project, scratch(), [](const Edit::Project&) {});
    return 0;
}
