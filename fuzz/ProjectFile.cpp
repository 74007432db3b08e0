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
    for (const auto& [id, scene] : project.scenes)
        checkScene(*scene);
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
