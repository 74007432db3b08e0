#pragma once
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "edit/BackupHistory.h"
#include "edit/EditAnchorCommands.h"
#include "edit/Project.h"
#include "edit/ProjectHistory.h"
#include "edit/ProjectQueries.h"
#include "edit/SceneCommands.h"

namespace Event {
class EventService;
}
namespace Undo {
class UndoService;
}
namespace Media {
class ImageBuffer;
class RenderBuffer;
}  // namespace Media
namespace Window {
class WindowControl;
}

namespace Edit {

class EditDialogs;
class KeyHoldRouter;
class Object;
class ObjectClipboard;
class PopupMenu;
class Scene;
class UpdateSection;
struct SceneValues;

// The owner of the open project: the current scene, the project lock behind
// the edit and read scopes, the "Edit" settings, the edit clipboard, the
// recent-project and backup lists, and the operations on scenes, on the
// project as a whole, on the selection and on the cursor. Runs on the UI thread.
class EditService : public SceneCommands {
public:
    static constexpr const wchar_t* kResumeFile = L"%AppData%/resume.vpj2";
    static constexpr const wchar_t* kProjectExtension = L"vpj2";
    // Description and pattern, NUL-separated, ended by an empty text.
    static constexpr const wchar_t* kProjectFilter = L"ProjectFile (*.vpj2)\0*.vpj2\0";

    // The "Edit" settings, in their stored order.
    struct Settings {
        int32_t editResume = 0;
        int32_t autoBackup = 1;
        int32_t autoBackupInterval = 5;
        int32_t autoBackupFileMax = 10;
        int32_t historyFileMax = 10;
        int32_t layerObjectMoveSnap = 1;
        int32_t anchorObjectMoveSnap = 1;
        int32_t singleClickFocusLayerObject = 1;
        int32_t singleClickFocusAnchorObject = 0;
        int32_t clickLayerObjectSelectGroup = 1;
        int32_t clickAnchorObjectSelectGroup = 1;
        int32_t displayObjectMovePoint = 1;
        int32_t displayObjectCenterAnchor = 0;
        int32_t mouseHoverHideOtherAnchor = 0;
        int32_t addSectionSplitByCursorFrame = 0;
        int32_t fixedMovieTimeRange = 0;
    };

    // Needs the event and undo services; loads the settings and both lists,
    // registers the start-up and exit listeners and makes the root scene current.
    EditService();
    ~EditService() override;
    EditService(const EditService&) = delete;
    EditService& operator=(const EditService&) = delete;

    static EditService* instance() { return System::ServiceSlot<EditService>::instance; }

    // The dialogs in use; the headless ones until the window layer installs
    // its own. Returns the previous ones (null for the built-in headless ones).
    static std::shared_ptr<EditDialogs> setDialogs(std::shared_ptr<EditDialogs> dialogs);
    static EditDialogs& dialogs();
    // The mouse router the selection clicks hold keys on; none until the
    // window layer installs it.
    static std::shared_ptr<KeyHoldRouter> setKeyHoldRouter(std::shared_ptr<KeyHoldRouter> router);
    // Whether the key is down, as that router sees it; false without one.
    static bool isKeyDown(uint32_t virtualKey);

    // An edit scope over the project lock on the current scene.
    std::unique_ptr<UpdateSection> openSection();
    std::shared_mutex& lock() { return lock_; }

    Project& project() { return project_; }
    const Project& project() const { return project_; }
    const std::shared_ptr<Scene>& currentScene() const { return currentScene_; }
    Settings& settings() { return settings_; }
    // What anchors ask of the edit side; installed while the service lives.
    EditAnchorCommands& anchorCommands() { return anchorCommands_; }
    ProjectHistory& projectHistory() { return projectHistory_; }
    BackupHistory& backupHistory() { return backupHistory_; }
    // The edit clipboard's content: the copy and paste commands keep theirs
    // here; clearing the project empties it.
    std::shared_ptr<ObjectClipboard> objectClipboard;

    // Current scene (setCurrentScene only inside an edit scope).
    void setCurrentScene(int32_t id);
    void updateScene(int32_t id);
    std::wstring getSceneName(int32_t id) const;
    std::wstring getLayerName(int32_t index) const;
    // Whether the scene is neither the root scene nor the one with otherId.
    static bool isOtherScene(const Scene& scene, int32_t otherId);

    // Scenes, each change in its own edit scope.
    void renameScene(int32_t id) override;
    void settingScene(int32_t id) override;
    bool newScene() override;
    bool createScene(const std::wstring& name, int32_t width, int32_t height, int32_t rate, int32_t scale,
                     int32_t audioRate);
    void deleteScene(int32_t id) override;
    // Reads an object exchange file as a new current scene; false when it failed.
    bool importSceneFromKto(const std::wstring& path);

    // Project.
    bool confirmDiscard();
    void clearProject();
    bool createProject();
    // False when the file is missing, the question was declined or reading
    // it failed (the project is then empty and keeps no path).
    bool loadProject(const std::wstring& path, bool ask, bool adoptPath);
    // False when writing failed (the error text is posted). A quiet save (a
    // backup) leaves the modified flag and the recent list alone.
    bool saveProject(const std::wstring& path, bool quiet);
    bool saveProjectAs();
    bool saveProjectOverwrite();

    // Selection of the current scene.
    bool addSelectObject(const std::shared_ptr<Object>& object, bool notify);
    void clearSelectObject(bool notify);
    // A click on an object (its whole group with withGroup): selects it and
    // keeps the selection growing while Ctrl is held on the control.
    void clickSelectObject(Window::WindowControl* control, const std::shared_ptr<Object>& object, bool withGroup);
    // A click on empty space: clears the selection unless Ctrl is held or a
    // focus target keeps it.
    void clickClearSelection(Window::WindowControl* control);

    // Context-menu entries, each grayed when its command would have nothing
    // to act on (decided once, as they are appended): cut, copy, paste and
    // delete; group and ungroup.
    void insertEditMenu(PopupMenu& menu) const;
    void insertGroupMenu(PopupMenu& menu) const;

    // Cursor.
    void setCursorFrame(int32_t frame);
    void updateCursorFrame();

    // Start-up and shutdown.
    // The last argument after the program name that does not start with '-'
    // and whose extension is the project's (any case); empty when none.
    static std::wstring processCommandLine(const std::vector<std::wstring>& arguments);
    std::wstring processCommandLine() const;
    void onStartup();
    void onExit();
    // The main loop ended by an exception: shows it, writes an emergency
    // backup and deletes the resume file.
    void applicationException(const std::exception& e);
    bool exceptionExit() const { return exceptionExit_; }
    // Arms or stops the automatic backup from the settings.
    void updateBackupTimer();

    // Converts the rendered frame to the clipboard image format (87 or 88)
    // and hands it to the UI thread, waiting until it is on the clipboard.
    static void copyFrameImage(int32_t format, Media::RenderBuffer& buffer);
    // How a frame becomes an image of a format; the program installs the
    // render buffer's conversion. Returns the one installed before.
    using FrameImageReader = std::shared_ptr<Media::ImageBuffer> (*)(Media::RenderBuffer& buffer, int32_t format);
    static FrameImageReader setFrameImageReader(FrameImageReader reader);

private:
    // Shows an OK/Cancel question with the warning icon; true for OK.
    static bool askOkCancel(const wchar_t* text);
    void logCurrentScene(const char* scope, const char* what) const;
    bool saveBackup(const std::wstring& path);
    // saveProject; a failure is shown at once instead of posted when no main
    // loop is left to show it.
    bool writeProject(const std::wstring& path, bool quiet, bool showAtOnce);

    Event::EventService* events_;
    Undo::UndoService* undo_;
    Settings settings_;
    System::Config::ParameterGroup group_{"Edit"};
    std::vector<std::unique_ptr<System::Config::Int>> parameters_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    Project project_;
    // The effect framework's questions about the model, answered from the
    // open project while the service lives.
    ProjectQueries queries_;
    std::optional<System::HookScope<const Effect::ModelQueries*>> queriesScope_;
    EditAnchorCommands anchorCommands_{*this};
    std::optional<System::HookScope<Effect::AnchorCommands*>> anchorCommandsScope_;
    std::optional<System::HookScope<Project::ErrorPoster>> posterScope_;
    ProjectHistory projectHistory_;
    BackupHistory backupHistory_;
    std::shared_ptr<Scene> currentScene_;
    std::shared_mutex lock_;
    bool exceptionExit_ = false;
    // Edit scopes opened so far, and the count when the project last matched
    // a file (opened, or backed up): a backup tick without new scopes is skipped.
    uint64_t scopeCount_ = 0;
    uint64_t backedUpCount_ = 0;
};

// Mix-in of the classes that reach the edit service.
class EditInstance {
protected:
    EditService* editService = EditService::instance();
};

}  // namespace Edit
