#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Edit {

class Scene;

// The open project: its scenes by id (0 is the root scene) and the file it
// came from.
class Project {
public:
    std::wstring path;
    int32_t displayScene = 0;
    std::unordered_map<int32_t, std::shared_ptr<Scene>> scenes;

    // The project's path enters through here: a line break becomes a blank,
    // so the path fits on one line of the project file.
    void setPath(std::wstring text);

    std::shared_ptr<Scene> getScene(int32_t id) const;
    std::shared_ptr<Scene> getOrCreateScene(int32_t id);
    int32_t getNewSceneId() const;
    void deleteScene(int32_t id);
    void clear();
    // The scenes by ascending display.order (then id).
    std::vector<std::shared_ptr<Scene>> getSceneList() const;

    // Writes the project file; a failure leaves any old file as it was.
    void saveProjectFile(const std::wstring& path) const;
    // Reads a project file into this cleared project. Throws on a fatal
    // error; a dropped object or an unsound value posts the partial-failure
    // text once and makes the result false.
    bool loadProjectFile(const std::wstring& path);
    // Moves effect file paths under the old project folder to the new one
    // (after one question).
    void updateEffectItemFilePath(const std::wstring& newPath);

    // Where loadProjectFile posts its error text. By default it goes to the
    // main window as a posted error (shown later on the UI thread); with no
    // window to post to it is logged.
    using ErrorPoster = std::function<void(const std::wstring& text)>;
    static ErrorPoster setErrorPoster(ErrorPoster poster);
    static void postError(const std::wstring& text);

    // How the model asks the user an OK / Cancel question (the text is in the
    // active language); true is OK. The program installs the dialog at
    // start-up; with none installed the answer is Cancel.
    using QuestionAsker = std::function<bool(const std::wstring& question)>;
    static QuestionAsker setQuestionAsker(QuestionAsker asker);
};

}  // namespace Edit
