#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/EditControl.h"
#include "ui/controls/ExplorerControl.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/panels/ExplorerBookmarks.h"
#include "ui/panels/MultiInstanceComponent.h"

// A docked file browser from which media files are dragged onto the
// timeline: back, forward and parent-folder buttons, an address box (Enter
// opens the folder typed) and a bookmark button over the folder view. The
// folder bookmarks are shared by every explorer panel; the first panel
// (index 0) reads them from "explorer.ini" when it is built and writes them
// back when it goes. The folder view keeps its folder and view settings in
// the panel's own section of the main settings.
namespace Component {

class ExplorerComponent : public MultiInstanceComponent, public Window::WindowClientRenderTarget {
public:
    using Bookmark = ExplorerBookmark;

    explicit ExplorerComponent(int32_t index);
    ~ExplorerComponent() override;
    ExplorerComponent(const ExplorerComponent&) = delete;
    ExplorerComponent& operator=(const ExplorerComponent&) = delete;

    void procPaint() override;
    void procMove() override;
    // Bookmark this folder or remove its bookmarks, the program's folders, the placement.
    void procContextMenu(int32_t x, int32_t y) override;

    // "%AppData%\explorer.ini", expanded.
    static std::wstring bookmarkFile();

    // Asks for a name and bookmarks the folder; a folder that is not there is refused.
    void addBookmark(const std::wstring& path);
    // The sorted bookmarks in a list below the address box, or a hint when there are none.
    void showBookmarks();
    // The first bookmark's name of the shown folder, else its path.
    void refreshAddress();
    void goBack();
    void goForward();
    void goUp();

    Window::ControlContainer container;
    Control::IconButtonControl backButton;
    Control::IconButtonControl forwardButton;
    Control::IconButtonControl upButton;
    Control::LayoutControl strip;
    Control::EditControl address;
    Control::IconButtonControl bookmarkButton;
    Control::ExplorerControl host;

private:
    // Back and forward walk the folders shown before.
    void step(int32_t delta);
    void logPlace();

    std::vector<std::wstring> history_;
    int32_t historyAt_ = -1;
    bool stepping_ = false;
    std::array<int32_t, 4> loggedPlace_{};
    std::shared_ptr<ExplorerComponent*> self_;
};

}  // namespace Component
