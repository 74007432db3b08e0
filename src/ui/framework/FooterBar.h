#pragma once
#include <string>

#include "media/gpu/RenderTarget.h"
#include "media/gpu/TextFormat.h"

// The strip along the bottom of the main window: a status text on the left
// and one on the right, and while a long operation runs a progress message
// in place of the left text over a progress bar. It takes no input; the
// window service owns it and draws it with every paint.
namespace Window {

class StyleBrushList;
class WindowMouseService;
class WindowService;

class FooterBar {
public:
    // Draws on the service's target with its brushes.
    explicit FooterBar(WindowService& service);
    FooterBar(const FooterBar&) = delete;
    FooterBar& operator=(const FooterBar&) = delete;

    // Stores the given texts (null: keep) and redraws when one changed.
    void setText(const std::wstring* left, const std::wstring* right);
    // The message through the message table, with the detail after a blank;
    // an empty message ends the progress display, whatever the detail. The wait cursor shows
    // while a message does.
    void setProgress(const std::wstring& message, const std::wstring* detail, float ratio);
    void draw();

    Media::RenderTarget area;
    // The resource service's "Footer" format; null without the service (no text is drawn then).
    Resource::TextFormat* textFormat;
    WindowService* windowService;
    WindowMouseService* router;
    StyleBrushList* brushes;
    std::wstring leftText;
    std::wstring rightText;
    std::wstring message;
    float ratio = 0;
};

}  // namespace Window
