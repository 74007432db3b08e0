#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

// Keeps the main window's caption and the two footer texts in step with the
// project: the footer texts are the style's "FooterLeft" and "FooterRight"
// templates with their {Name} placeholders filled from the current project,
// scene and cursor. It draws nothing itself; without a window service it
// only keeps the texts.
namespace Edit {
class EditService;
}
namespace Event {
class EventService;
}
namespace Window {
class WindowService;
}

namespace Component {

class StatusComponent {
public:
    // Reads the templates and joins the scene, cursor and object lists; the
    // texts stay as they are until the first scene change.
    StatusComponent();
    ~StatusComponent();
    StatusComponent(const StatusComponent&) = delete;
    StatusComponent& operator=(const StatusComponent&) = delete;

    // The variable's current text; a name outside the known ones is warned
    // about and gives the empty text.
    const wchar_t* expandStatusVariable(const std::wstring& name) const;

    void updateSceneVariables();
    void updateTimeVariables();
    void updateFooter();
    void updateTitle();

    const std::wstring& leftText() const { return leftText_; }
    const std::wstring& rightText() const { return rightText_; }
    // The caption last computed (also set on the main window when there is one).
    const std::wstring& caption() const { return caption_; }

private:
    using Buffer = wchar_t[16];

    // Stores the frame and the scene's last frame and refreshes the times
    // when either differs from what was last seen.
    void followCursor(int32_t frame);

    Edit::EditService* editService_;
    Event::EventService* eventService_;
    Window::WindowService* windowService_;
    // Values no scene has, so that the first cursor or object event refreshes.
    int32_t lastCursorFrame_ = std::numeric_limits<int32_t>::min();
    int32_t lastSceneLength_ = std::numeric_limits<int32_t>::min();
    std::wstring leftTemplate_;
    std::wstring rightTemplate_;
    std::wstring leftText_;
    std::wstring rightText_;
    std::wstring caption_;

    std::wstring projectName_;
    std::wstring sceneName_;
    Buffer resolution_{};
    Buffer frameRate_{};
    Buffer samplingRate_{};
    Buffer currentTime_{};
    Buffer totalTime_{};
    Buffer currentFrame_{};
    Buffer totalFrame_{};
    // Keeps the listeners, which outlive the component, from reaching it once it is gone.
    std::shared_ptr<StatusComponent*> self_;
};

}  // namespace Component
