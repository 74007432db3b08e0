#pragma once
// The main window with stand-in panels: each fills its rectangle with a
// colour of its own and logs when it moves or paints.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageService.h"
#include "core/EventService.h"
#include "platform/draw2d/Brush.h"
#include "platform/window/MessageQueue.h"
#include "support/TestFolders.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

class StandInPanel : public Window::WindowClientRenderTarget {
public:
    StandInPanel(const std::string& name, const DefaultPlacement& defaults, uint32_t rgb,
                 std::vector<std::string>* log = nullptr)
        : WindowClientRenderTarget(&title_, name, defaults),
          title_(name.begin(), name.end()),
          name_(name),
          log_(log),
          brush_({float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255, 1}) {}
    void procPaint() override {
        if (log_ != nullptr) log_->push_back(name_ + ":paint");
        if (Media::RenderTarget::target == nullptr) return;
        const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                                   clientRect.y + clientRect.h, true);
        fillRectangle(0, 0, clientRect.w, clientRect.h, brush_);
    }
    void procMouseMove(int32_t x, int32_t y) override {
        if (log_ != nullptr) log_->push_back(name_ + ":hover " + std::to_string(x) + "," + std::to_string(y));
    }
    void procMove() override {
        if (log_ != nullptr)
            log_->push_back(name_ + ":move " + std::to_string(clientRect.x) + "," + std::to_string(clientRect.y) + "," +
                            std::to_string(clientRect.w) + "," + std::to_string(clientRect.h));
    }

private:
    std::wstring title_;
    std::string name_;
    std::vector<std::string>* log_;
    Platform::draw2d::SolidColorBrush brush_;
};

// The colours the stand-in style gives the framework.
inline constexpr uint32_t kBackground = 0x102030, kBorder = 0x405060, kSeparator = 0x708090, kFocus = 0xf0e0d0,
                          kFooter = 0xc08040, kProgress0 = 0x204080, kProgress1 = 0x40a0ff, kText = 0xffffff;

class DockWindow : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "style.conf",
                  "[Color]\nBackground=102030\nWindowBorder=405060\nWindowSeparator=708090\nBorderFocus=f0e0d0\n"
                  "Footer=c08040\nFooterProgress=204080,40a0ff\nText=ffffff\n"
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n"
                  "[Font]\nFooter=12,DejaVu Sans\n");
        startServices();
    }
    void TearDown() override {
        stopServices();
        TestFolders::TearDown();
    }
    void startServices() {
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        images_ = std::make_unique<System::ServiceHolder<Media::ImageService>>();
        direct2d_ = std::make_unique<System::ServiceHolder<Media::Direct2DService>>();
        if (withTextFormats()) {
            direct3d_ = std::make_unique<System::ServiceHolder<Media::Direct3DService>>();
            resources_ = std::make_unique<System::ServiceHolder<Resource::ResourceService>>();
        }
        events_ = std::make_unique<System::ServiceHolder<Event::EventService>>();
        router_ = std::make_unique<System::ServiceHolder<Window::WindowMouseService>>();
        // A window destroyed by an earlier test left its quit message behind.
        Platform::window::Message left;
        while (Platform::window::peekMessage(left, nullptr, 0, 0, Platform::window::kPmRemove)) {
        }
        service_ = std::make_unique<System::ServiceHolder<Window::WindowService>>();
        service = Window::WindowService::get();
    }
    // Panels first, so their placements reach the settings document, which
    // its service writes to velmo2.ini when it goes.
    void stopServices() {
        panels.clear();
        service_.reset();
        router_.reset();
        events_.reset();
        resources_.reset();
        direct3d_.reset();
        direct2d_.reset();
        images_.reset();
        settings_.reset();
        service = nullptr;
    }
    StandInPanel& add(const std::string& name, const Window::WindowClient::DefaultPlacement& defaults,
                      uint32_t rgb = 0x808080) {
        panels.push_back(std::make_unique<StandInPanel>(name, defaults, rgb, &log));
        return *panels.back();
    }
    // The panels of a first start, with their records.
    void addDefaultPanels() {
        add("explorer:1", {0, 0, 0.2f, 0.7f, 0, true}, 0x800000);
        add("explorer:2", {0, 0, 0.2f, 0.7f, 0, false}, 0x800080);
        add("scene.list", {0, 0.7f, 0.2f, 1, 0, true}, 0x008000);
        add("object.list", {0.8f, 0, 1, 0.3f, 1, true}, 0x000080);
        add("setting", {0.8f, 0.3f, 1, 0.7f, 1, true}, 0x808000);
        add("setting.color", {0.8f, 0.7f, 1, 1, 1, false}, 0x008080);
        add("preview", {0.2f, 0, 0.8f, 0.7f, 2, true}, 0xa0a0a0);
        add("edit", {0.2f, 0.7f, 0.5f, 1, 3, true}, 0x606060);
        add("setting.time", {0.5f, 0.7f, 0.8f, 1, 3, false}, 0xa06020);
        add("setting.text", {0.5f, 0.7f, 0.8f, 1, 3, false}, 0x20a060);
        add("log", {0, 0.7f, 1, 1, 4, false}, 0x6020a0);
    }
    StandInPanel& panel(const std::string& name) {
        for (auto& p : panels)
            if (p->sectionName() == "Window." + name) return *p;
        throw std::logic_error("no panel " + name);
    }

    // The resource service with the footer's text format (it needs the 3-D device).
    virtual bool withTextFormats() const { return false; }

    Window::WindowService* service = nullptr;
    std::vector<std::unique_ptr<StandInPanel>> panels;
    std::vector<std::string> log;

private:
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<Media::ImageService>> images_;
    std::unique_ptr<System::ServiceHolder<Media::Direct2DService>> direct2d_;
    std::unique_ptr<System::ServiceHolder<Media::Direct3DService>> direct3d_;
    std::unique_ptr<System::ServiceHolder<Resource::ResourceService>> resources_;
    std::unique_ptr<System::ServiceHolder<Event::EventService>> events_;
    std::unique_ptr<System::ServiceHolder<Window::WindowMouseService>> router_;
    std::unique_ptr<System::ServiceHolder<Window::WindowService>> service_;
};
