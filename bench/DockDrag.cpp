// The dock layout of the main window with the first start's panels (stand-in
// panels that fill their rectangles): the arrangement of the fractions alone,
// one separator drag step (arrangement, every shown panel moved and painted,
// the footer and the separators, presented once), and as the reference a
// plain repaint of the same window without any layout work.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/FileName.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "media/gpu/Direct2DService.h"
#include "platform/draw2d/Brush.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace {

class BenchPanel : public Window::WindowClientRenderTarget {
public:
    BenchPanel(const std::string& name, const DefaultPlacement& defaults)
        : WindowClientRenderTarget(&title_, name, defaults), title_(name.begin(), name.end()) {}
    void procPaint() override {
        const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                                   clientRect.y + clientRect.h, true);
        fillRectangle(0, 0, clientRect.w, clientRect.h, brush_);
    }

private:
    std::wstring title_;
    Platform::draw2d::SolidColorBrush brush_{{0.4f, 0.4f, 0.4f, 1}};
};

// The services the window needs, with the shipped files of the release build
// and a data folder of its own, for the life of the program.
struct Window_ {
    Window_() {
        namespace fs = std::filesystem;
        const fs::path program = fs::canonical("/proc/self/exe").parent_path().parent_path() / "bin" / "velmo2";
        System::FileName::resetVariableList(System::utf8ToWide(program.string()));
        char dataHome[] = "/tmp/velmo-bench-dock-XXXXXX";
        if (mkdtemp(dataHome) == nullptr) std::abort();
        data = dataHome;
        setenv("XDG_DATA_HOME", dataHome, 1);
        settings = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        direct2d = std::make_unique<System::ServiceHolder<Media::Direct2DService>>();
        events = std::make_unique<System::ServiceHolder<Event::EventService>>();
        router = std::make_unique<System::ServiceHolder<Window::WindowMouseService>>();
        service = std::make_unique<System::ServiceHolder<Window::WindowService>>();
        const struct {
            const char* name;
            Window::WindowClient::DefaultPlacement record;
        } records[] = {
            {"explorer:1", {0, 0, 0.2f, 0.7f, 0, true}},       {"scene.list", {0, 0.7f, 0.2f, 1, 0, true}},
            {"object.list", {0.8f, 0, 1, 0.3f, 1, true}},      {"setting", {0.8f, 0.3f, 1, 0.7f, 1, true}},
            {"setting.color", {0.8f, 0.7f, 1, 1, 1, false}},   {"preview", {0.2f, 0, 0.8f, 0.7f, 2, true}},
            {"edit", {0.2f, 0.7f, 0.5f, 1, 3, true}},          {"setting.time", {0.5f, 0.7f, 0.8f, 1, 3, false}},
            {"setting.text", {0.5f, 0.7f, 0.8f, 1, 3, false}}, {"log", {0, 0.7f, 1, 1, 4, false}},
        };
        for (const auto& r : records) panels.push_back(std::make_unique<BenchPanel>(r.name, r.record));
        get().resize(1280, 720);
    }
    ~Window_() {
        panels.clear();
        service.reset();
        router.reset();
        events.reset();
        direct2d.reset();
        settings.reset();
        std::error_code ignored;
        std::filesystem::remove_all(data, ignored);
    }
    static Window::WindowService& get() { return *Window::WindowService::get(); }

    std::string data;
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings;
    std::unique_ptr<System::ServiceHolder<Media::Direct2DService>> direct2d;
    std::unique_ptr<System::ServiceHolder<Event::EventService>> events;
    std::unique_ptr<System::ServiceHolder<Window::WindowMouseService>> router;
    std::unique_ptr<System::ServiceHolder<Window::WindowService>> service;
    std::vector<std::unique_ptr<BenchPanel>> panels;
};

Window::WindowService& window() {
    static Window_ made;
    return Window_::get();
}

void Arrange(benchmark::State& state) {
    Window::WindowService& service = window();
    for (auto _ : state) service.arrangeClients();
}
BENCHMARK(Arrange);

// The left column's edge dragged back and forth by 40 pixels.
void DragStep(benchmark::State& state) {
    Window::WindowService& service = window();
    // Where the edge is now: an earlier run may have left it 40 pixels to the right.
    const Window::MouseRect& column = service.clients.front()->clientRect;
    const int32_t edge = column.x + column.w + 2;
    if (!service.hitSeparator(edge, 100) || !service.checkSeparatorChain()) {
        state.SkipWithError("no separator at the left column's edge");
        return;
    }
    int32_t step = 0;
    for (auto _ : state) service.dragSeparator((++step & 1) != 0 ? 40 : -40, 0);
}
BENCHMARK(DragStep);

// The reference: every shown panel, the footer and the separators drawn again.
void Repaint(benchmark::State& state) {
    Window::WindowService& service = window();
    for (auto _ : state) service.paint();
}
BENCHMARK(Repaint);

}  // namespace

BENCHMARK_MAIN();
