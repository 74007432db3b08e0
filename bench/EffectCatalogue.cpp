// The effect service's start-up with the built-in catalogue (movements,
// prototypes, class-wide resources, menu entries), a new effect made from its
// definition, and projects of 1000 objects of the built-in heads, and of
// 1000 figures carrying filters, read back.
#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/FileName.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/ProjectQueries.h"
#include "edit/Scene.h"
#include "effect/EffectService.h"
#include "effects/ServiceCatalog.h"
#include "filters/FilterCatalog.h"
#include "media/gpu/Direct3DService.h"

namespace {

// The model's answers with a fixed font and figure list (no resource services run here).
class Queries : public Edit::ProjectQueries {
public:
    void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) const override {
        names = {L"Noto Sans CJK JP"};
        defaultName = names.front();
    }
    void figureNames(std::vector<std::wstring>& names) const override { names = {L"背景", L"円", L"四角形"}; }
};

struct Setup {
    std::filesystem::path folder;
    Queries queries;
    std::unique_ptr<Effect::ModelQueriesScope> installed;
    std::unique_ptr<System::ServiceHolder<Media::Direct3DService>> d3d;
    Effect::FilterCatalog builtins;

    Setup() {
        char pattern[] = "/tmp/velmo-bench-effects-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        folder = pattern;
        setenv("XDG_DATA_HOME", pattern, 1);
        System::FileName::resetVariableList();
        installed = std::make_unique<Effect::ModelQueriesScope>(queries);
        dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
        d3d = std::make_unique<System::ServiceHolder<Media::Direct3DService>>();
        Effect::EffectService::setCatalog(&builtins);
    }
    ~Setup() { std::filesystem::remove_all(folder); }
};

Setup& setup() {
    static Setup s;
    return s;
}

void BM_ServiceStart(benchmark::State& state) {
    setup();
    size_t registered = 0;
    for (auto _ : state) {
        Effect::EffectService service;
        registered = service.effects().size();
    }
    state.counters["effects"] = static_cast<double>(registered);
}
BENCHMARK(BM_ServiceStart)->Unit(benchmark::kMillisecond);

void BM_NewEffect(benchmark::State& state) {
    setup();
    Effect::EffectService service;
    for (auto _ : state) benchmark::DoNotOptimize(service.getEffect(L"標準描画"));
}
BENCHMARK(BM_NewEffect)->Unit(benchmark::kMicrosecond);

void BM_ProjectWithBuiltins(benchmark::State& state) {
    Setup& s = setup();
    Effect::EffectService service;
    Effect::ServiceCatalog catalog(service);
    const wchar_t* heads[] = {L"動画ファイル",  L"画像ファイル", L"音声ファイル",     L"テキスト",
                              L"図形",          L"シーン",       L"フレームバッファ", L"パーティクル出力",
                              L"部分フィルタ",  L"グループ制御", L"カメラ制御",       L"音声波形表示",
                              L"シーンチェンジ"};
    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    for (int32_t i = 0; i < 1000; ++i)
        scene->createObject(heads[i % std::size(heads)], i % 100, (i / 100) * 10, (i / 100) * 10 + 9);
    scene->update();
    const std::wstring path = System::utf8ToWide((s.folder / "bench.vpj2").string());
    project.saveProjectFile(path);
    for (auto _ : state) {
        Edit::Project back;
        benchmark::DoNotOptimize(back.loadProjectFile(path));
    }
}
BENCHMARK(BM_ProjectWithBuiltins)->Unit(benchmark::kMillisecond);

void BM_ProjectWithFilters(benchmark::State& state) {
    Setup& s = setup();
    Effect::EffectService service;
    Effect::ServiceCatalog catalog(service);
    const wchar_t* filters[] = {L"ぼかし", L"縁取り", L"グロー", L"色調補正", L"マスク", L"ディスプレイスメントマップ"};
    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    for (int32_t i = 0; i < 1000; ++i) {
        auto figure = scene->createObject(L"図形", i % 100, (i / 100) * 10, (i / 100) * 10 + 9);
        for (int32_t k = 0; k < 3; ++k) figure->addEffect(filters[(i + k) % std::size(filters)]);
    }
    scene->update();
    const std::wstring path = System::utf8ToWide((s.folder / "filters.vpj2").string());
    project.saveProjectFile(path);
    for (auto _ : state) {
        Edit::Project back;
        benchmark::DoNotOptimize(back.loadProjectFile(path));
    }
}
BENCHMARK(BM_ProjectWithFilters)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
