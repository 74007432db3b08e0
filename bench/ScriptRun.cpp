// One run of a small script on each engine: an instance made (engine lock,
// pooled state), the text compiled and run, the instance destroyed. The first
// run at a depth creates its state; every later run reuses it. Also one
// nested run inside another, which uses the state of depth 1.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/Log.h"
#include "effect/EffectItemNumber.h"
#include "effect/RenderContext.h"
#include "effect/ScriptMovement.h"
#include "effect/SectionPosition.h"
#include "script/LuaJitScript.h"
#include "script/LuaScript.h"
#include "script/ScriptPluginInstance.h"

namespace {

template <class Engine>
std::shared_ptr<Plugin::LuaBase> makeEngine() {
    auto engine = std::make_shared<Engine>();
    engine->name = Engine::kName;
    engine->description = Engine::kDescription;
    engine->moduleFile = Engine::kModuleFile;
    return engine;
}

struct Run {
    Effect::EffectItemNumber item{nullptr, L"x", 0, 0, 100, 1};
    Render::SectionPosition position{};
    Render::RenderContext context;
    Effect::ScriptMovement movement{L"bench", "local s = 0 for i = 1, 10 do s = s + i end return s"};
};

template <class Engine>
void MovementRun(benchmark::State& state) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    auto engine = makeEngine<Engine>();
    Run run;
    for (auto _ : state)
        benchmark::DoNotOptimize(engine->executeMovement(run.movement, run.item, run.position, run.context));
}

template <class Engine>
void NestedRun(benchmark::State& state) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    auto engine = makeEngine<Engine>();
    Run run;
    auto outer = engine->createMovementInstance(run.movement, run.item, run.position, run.context);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine->executeMovement(run.movement, run.item, run.position, run.context));
}

BENCHMARK(MovementRun<Plugin::LuaScript>);
BENCHMARK(MovementRun<Plugin::LuaJitScript>);
BENCHMARK(NestedRun<Plugin::LuaScript>);
BENCHMARK(NestedRun<Plugin::LuaJitScript>);

}  // namespace

BENCHMARK_MAIN();
