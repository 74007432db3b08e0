#include "ui/panels/StatusComponent.h"

#include <algorithm>
#include <cwchar>

#include "core/EventService.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextFormat.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/FrameRate.h"
#include "edit/Scene.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

const std::wstring kDefaultCaption = L"Velmo Kirta2";

std::wstring readTemplate(const char* key) {
    Setting::SettingService* settings = Setting::SettingService::get();
    if (settings == nullptr || settings->style.sections().empty()) return {};
    return settings->style.getSection("Format").findValue(key).toString(std::wstring());
}

// The project file's name, variables expanded; empty for an unsaved project.
std::wstring projectFileName(const Edit::EditService& edit) {
    std::wstring path = edit.project().path;
    if (path.empty()) return {};
    System::FileName::expandVariable(path);
    const size_t separator = path.rfind(System::kPathSeparator);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

void put(wchar_t (&out)[16], const std::wstring& text) {
    const size_t n = std::min<size_t>(text.size(), 15);
    std::wmemcpy(out, text.data(), n);
    out[n] = L'\0';
}

}  // namespace

StatusComponent::StatusComponent()
    : editService_(Edit::EditService::instance()),
      eventService_(Event::EventService::get()),
      windowService_(Window::WindowService::get()),
      leftTemplate_(readTemplate("FooterLeft")),
      rightTemplate_(readTemplate("FooterRight")),
      self_(std::make_shared<StatusComponent*>(this)) {
    if (windowService_ != nullptr) caption_ = windowService_->title;
    if (eventService_ == nullptr) return;
    const std::weak_ptr<StatusComponent*> weak = self_;
    auto alive = [weak]() -> StatusComponent* {
        const auto self = weak.lock();
        return self ? *self : nullptr;
    };
    eventService_->sceneListeners.add([alive](int) {
        if (StatusComponent* self = alive()) {
            self->updateSceneVariables();
            self->updateTimeVariables();
            self->updateFooter();
            self->updateTitle();
        }
    });
    eventService_->cursorFrameListeners.add([alive](int frame) {
        if (StatusComponent* self = alive()) self->followCursor(frame);
    });
    eventService_->objectChangedListeners.add([alive](const Event::EventService::ObjectRef&) {
        StatusComponent* self = alive();
        if (self == nullptr || self->editService_ == nullptr || !self->editService_->currentScene()) return;
        self->followCursor(self->editService_->currentScene()->cursorFrame);
    });
}

StatusComponent::~StatusComponent() { *self_ = nullptr; }

void StatusComponent::followCursor(int32_t frame) {
    if (editService_ == nullptr || !editService_->currentScene()) return;
    const int32_t length = editService_->currentScene()->length;
    if (frame == lastCursorFrame_ && length == lastSceneLength_) return;
    lastCursorFrame_ = frame;
    lastSceneLength_ = length;
    updateTimeVariables();
    updateFooter();
}

const wchar_t* StatusComponent::expandStatusVariable(const std::wstring& name) const {
    if (name == L"ProjectName") return projectName_.c_str();
    if (name == L"SceneName") return sceneName_.c_str();
    if (name == L"Resolution") return resolution_;
    if (name == L"FrameRate") return frameRate_;
    if (name == L"SamplingRate") return samplingRate_;
    if (name == L"CurrentTime") return currentTime_;
    if (name == L"TotalTime") return totalTime_;
    if (name == L"CurrentFrame") return currentFrame_;
    if (name == L"TotalFrame") return totalFrame_;
    System::Log::warn("Component::StatusComponent::expandStatusVariable", L"invalid footer text variable. {%ls}",
                      name.c_str());
    return L"";
}

void StatusComponent::updateSceneVariables() {
    if (editService_ == nullptr || !editService_->currentScene()) return;
    const Edit::Scene& scene = *editService_->currentScene();
    projectName_ = projectFileName(*editService_);
    if (const size_t dot = projectName_.rfind(L'.'); dot != std::wstring::npos) projectName_.resize(dot);
    sceneName_ = scene.name;
    put(resolution_, System::formatString(L"%dx%d", scene.videoWidth, scene.videoHeight));
    put(frameRate_, System::formatDecimal(Edit::getFrameRateValue(scene.videoRate, scene.videoScale)) + L"fps");
    put(samplingRate_, System::formatDecimal(scene.audioRate / 1000.0) + L"khz");
}

void StatusComponent::updateTimeVariables() {
    if (editService_ == nullptr || !editService_->currentScene()) return;
    const Edit::Scene& scene = *editService_->currentScene();
    const double rate = scene.videoRate;
    const auto seconds = [&](int32_t frames) {
        return rate != 0 ? static_cast<double>(frames) * scene.videoScale / rate : 0.0;
    };
    System::formatTime(currentTime_, seconds(scene.cursorFrame));
    System::formatTime(totalTime_, seconds(scene.length));
    put(currentFrame_, std::to_wstring(static_cast<int64_t>(scene.cursorFrame) + 1));
    put(totalFrame_, std::to_wstring(static_cast<int64_t>(scene.length) + 1));
}

void StatusComponent::updateFooter() {
    const auto lookup = [this](const std::wstring& name) { return std::wstring(expandStatusVariable(name)); };
    leftText_ = leftTemplate_;
    System::expandPlaceholders(leftText_, lookup);
    rightText_ = rightTemplate_;
    System::expandPlaceholders(rightText_, lookup);
    if (windowService_ != nullptr && windowService_->footer) windowService_->footer->setText(&leftText_, &rightText_);
}

void StatusComponent::updateTitle() {
    std::wstring caption = editService_ != nullptr ? projectFileName(*editService_) : std::wstring();
    if (caption.empty()) caption = kDefaultCaption;
    caption_ = caption;
    if (windowService_ != nullptr) {
        if (caption == windowService_->title) return;
        windowService_->title = caption;
        if (windowService_->window != nullptr)
            (void)Platform::window::setWindowText(windowService_->window, System::wideToUtf8(caption));
    }
}

}  // namespace Component
