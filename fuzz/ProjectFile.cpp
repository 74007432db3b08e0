// Feeds arbitrary bytes to the project file reader over a small catalogue of
// effects, checks the model it builds, writes it again and reads that back,
// which must give the same project.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/Project.h"
#include "support/FuzzCatalog.h"
#include "support/ScratchFolder.h"

namespace Effect::Access {
std::string convertTrackValue(std::string_view value) { return std::string(value); }
}  // namespace Effect::Access

namespace {

using namespace FuzzSupport;

const std::string& scratch() {
    static const std::string folder = makeScratch("/tmp/velmo-fuzz-project-XXXXXX");
    return folder;
}

// The invariants the reader promises for whatever it accepted.
void check(const Edit::Project& project) {
    for (const auto& [id, scene] : project.scenes) checkScene(*scene);
}

// Line breaks entering through the model's entry points, as a typed name or a
// chosen path can bring them, around the names and paths the file gave.
void addLineBreaks(Edit::Project& project, const std::wstring& breaks) {
    project.setPath(project.path + breaks);
    for (const auto& [id, scene] : project.scenes) {
        scene->setName(breaks + scene->name + breaks);
        for (int32_t i = 0; i <= scene->lastUsedLayer && i < scene->layerCount(); ++i) {
            const Edit::SceneLayer& slot = scene->getLayer(i);
            slot.layer->setName(slot.layer->name + breaks + L"x");
            for (const auto& object : slot.objects)
                for (const auto& effect : object->effects)
                    for (Effect::EffectItem* item : effect->items)
                        if (std::wstring path; item->getFilePath(path) && !path.empty())
                            item->setFilePath(breaks + path + breaks);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzCatalog catalog({Codes{L"画像ファイル", 1, 1, 1}, Codes{L"音声ファイル", 1, 2, 2},
                                Codes{L"標準描画", 2, 1, 1}, Codes{L"音声再生", 2, 2, 2}, Codes{L"ぼかし", 3, 1, 1},
                                Codes{L"反転", 3, 3, 3}, Codes{L"グループ制御", 4, 1, 1},
                                Codes{L"シーンチェンジ", 4, 1, 5}},
                               true);
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Edit::Project::setErrorPoster([](const std::wstring&) {});
    const std::string input = scratch() + "/input.vpj2";
    writeInput(input, data, size);
    Edit::Project project;
    try {
        project.loadProjectFile(System::utf8ToWide(input));
    } catch (const std::exception&) {
        project.clear();
        return 0;
    }
    check(project);
    if (size > 0) {
        const wchar_t* const kBreaks[] = {L"", L"\n", L"\r", L"\r\n", L"\n\r"};
        addLineBreaks(project, kBreaks[data[size - 1] % 5]);
    }
    // What the writer wrote reads back whole and equal: the first read kept
    // only sound values, each on one line of the file.
    const std::string first = describeProject(project);
    saveAndReadBack(project, scratch(), [&](const Edit::Project& again) {
        check(again);
        if (describeProject(again) != first) {
            std::fprintf(stderr, "reopened project differs\n--- saved\n%s--- reopened\n%s", first.c_str(),
                         describeProject(again).c_str());
            std::abort();
        }
    });
    return 0;
}
