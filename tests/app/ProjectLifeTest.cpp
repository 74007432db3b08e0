// The open project across the program's life: opened from the command line
// or the resume file, rescued by the emergency backup when the main loop
// fails, and kept by the automatic backup when the program is killed.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ProgramDataFixture.h"
#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "support/ScriptedBoxes.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

fs::path binaryDir() {
    const char* dir = std::getenv("VELMO_TEST_BINARY_DIR");
    return dir ? fs::path(dir) / "bin" : fs::path();
}

// A data folder of its own for the program (XDG_DATA_HOME), removed afterwards.
class ProjectLife : public ProgramDataFixture {
protected:
    ProjectLife() : ProgramDataFixture("life") {}
    fs::path appData() const { return root / "xdg" / "velmo2"; }

    // A project file of one root scene with the name.
    static void writeProject(const fs::path& path, const std::wstring& name) {
        Edit::Project project;
        project.getOrCreateScene(0)->name = name;
        project.saveProjectFile(System::utf8ToWide(path.string()));
    }
    // The project as the writer puts it, after reading it back.
    std::string reopened(const fs::path& path) {
        Edit::Project project;
        project.loadProjectFile(System::utf8ToWide(path.string()));
        const fs::path text = root / "reopened.txt";
        project.saveProjectFile(System::utf8ToWide(text.string()));
        return readFile(text);
    }
    std::string sceneName(const fs::path& path) {
        Edit::Project project;
        project.loadProjectFile(System::utf8ToWide(path.string()));
        return System::wideToUtf8(project.getScene(project.displayScene)->name);
    }
    std::vector<fs::path> backups(const std::string& prefix) const {
        std::vector<fs::path> found;
        if (fs::is_directory(appData() / "Backup"))
            for (const auto& entry : fs::directory_iterator(appData() / "Backup"))
                if (entry.path().filename().string().rfind(prefix, 0) == 0) found.push_back(entry.path());
        return found;
    }
    // Runs the program without a display, with the arguments given as shell words.
    int runProgram(const std::string& arguments) {
        const std::string command = "cd " + root.string() +
                                    " && env -u DISPLAY XDG_DATA_HOME=" + (root / "xdg").string() + " " +
                                    (binaryDir() / "velmo2").string() + " " + arguments + " >/dev/null 2>&1";
        return std::system(command.c_str());
    }
};

TEST_F(ProjectLife, HeadlessStartOpensTheCommandLineProjectAndResumesIt) {
    writeProject(root / "a.vpj2", L"a");
    writeProject(root / "B.VPJ2", L"B");
    writeFile(appData() / "velmo2.ini", "[Edit]\r\nEditResume=1\r\n");

    ASSERT_EQ(runProgram("-x /y a.vpj2 B.VPJ2"), 0);
    const fs::path resume = appData() / "resume.vpj2";
    ASSERT_TRUE(fs::exists(resume));
    EXPECT_EQ(sceneName(resume), "B");
    EXPECT_EQ(readFile(appData() / "history.ini"), "[project]\r\n1=B.VPJ2\r\n");
    // The "Edit" settings are written back at shutdown, every key of the group.
    const std::string settings = readFile(appData() / "velmo2.ini");
    for (const char* line : {"EditResume=1\r\n", "AutoBackupInterval=5\r\n", "HistoryFileMax=10\r\n",
                             "FixedMovieTimeRange=0\r\n", "SingleClickFocusLayerObject=1\r\n"})
        EXPECT_NE(settings.find(line), std::string::npos) << line;

    // The next start without a project reopens the resume file, which keeps
    // the project's own path.
    ASSERT_EQ(runProgram(""), 0);
    EXPECT_EQ(sceneName(resume), "B");
    EXPECT_NE(readFile(resume).find("file=B.VPJ2\r\n"), std::string::npos);

    // Without resuming the file stays as the last resuming run left it.
    writeFile(appData() / "velmo2.ini", "[Edit]\r\nEditResume=0\r\n");
    writeProject(root / "c.vpj2", L"c");
    ASSERT_EQ(runProgram("c.vpj2"), 0);
    EXPECT_EQ(sceneName(resume), "B");
    EXPECT_EQ(readFile(appData() / "history.ini"), "[project]\r\n1=c.vpj2\r\n2=B.VPJ2\r\n");
}

TEST_F(ProjectLife, ExceptionInTheMainLoopLeavesAnEmergencyBackupAndNoResumeFile) {
    writeFile(appData() / "velmo2.ini", "[Edit]\r\nEditResume=1\r\n");
    writeProject(appData() / "resume.vpj2", L"stale");  // a project: opening it shows no box
    ScriptedBoxes boxes;
    std::string model;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Edit::EditService& edit = *Edit::EditService::instance();
        {
            auto scope = edit.openSection();
            edit.currentScene()->name = L"unsaved work";
            edit.currentScene()->audioRate = 44100;
        }
        const fs::path text = root / "model.txt";
        edit.project().saveProjectFile(System::utf8ToWide(text.string()));
        model = readFile(text);
        throw std::runtime_error("main loop failed");
    };
    EXPECT_EQ(App::run(steps), 0);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2 : Application Exception");
    EXPECT_EQ(boxes.shown[0].text, "main loop failed\n\nプロジェクトをバックアップしてアプリケーションを終了します");
    const auto rescued = backups("ExceptionBackup_");
    ASSERT_EQ(rescued.size(), 1u);
    EXPECT_EQ(rescued[0].extension(), ".vpj2");
    EXPECT_EQ(reopened(rescued[0]), model);
    EXPECT_FALSE(fs::exists(appData() / "resume.vpj2"));
}

TEST_F(ProjectLife, KilledProgramLeavesItsBackupAndTheSavedProject) {
    const fs::path child = binaryDir() / "velmo2_backup_child";
    ASSERT_TRUE(fs::exists(child));
    const fs::path project = root / "work.vpj2";
    writeProject(project, L"original");
    const fs::path expected = root / "expected.txt";

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0 && std::string(*e).rfind("XDG_DATA_HOME=", 0) != 0)
            environment.emplace_back(*e);
    environment.push_back("XDG_DATA_HOME=" + (root / "xdg").string());
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string argv0 = child.string(), argv1 = project.string(), argv2 = expected.string();
    char* argv[] = {argv0.data(), argv1.data(), argv2.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv0.c_str(), &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    // The child reports its backup, then runs on until it is killed.
    std::string output, backupPath;
    char buffer[256];
    for (ssize_t n; backupPath.empty() && (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<size_t>(n));
        const size_t at = output.find("backup ");
        const size_t end = at == std::string::npos ? at : output.find('\n', at);
        if (end != std::string::npos) backupPath = output.substr(at + 7, end - at - 7);
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(out[0]);
    ASSERT_FALSE(backupPath.empty()) << output;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(fs::path(backupPath).parent_path(), appData() / "Backup");
    EXPECT_EQ(reopened(backupPath), reopened(expected));
    EXPECT_EQ(sceneName(backupPath), "backed up");
    // The project file holds what was saved before the later change.
    EXPECT_EQ(sceneName(project), "saved");
    EXPECT_EQ(reopened(project).find("video.width=1280"), std::string::npos);
}

}  // namespace
