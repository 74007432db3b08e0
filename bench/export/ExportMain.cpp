// Times an export through the program's own services, without a window:
//   bench_export PROJECT.vpj2 OUTPUT OUTPUT_FILE
// OUTPUT is the output plug-in's index or display name. The whole scene is
// exported (the still writers take the cursor frame); the last line is
// "frames=N seconds=S fps=F". A failed export exits with 1 and its reason.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include <unistd.h>

#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "plugin/image/JpgFileSave.h"
#include "plugin/image/PngFileSave.h"
#include "platform/window/FileDialog.h"

namespace {

int findPlugin(const Plugin::OutputService& output, const std::string& wanted) {
    const auto& plugins = output.plugins();
    char* end = nullptr;
    const long index = std::strtol(wanted.c_str(), &end, 10);
    if (!wanted.empty() && *end == '\0') return index >= 0 && index < static_cast<long>(plugins.size()) ? index : -1;
    for (size_t i = 0; i < plugins.size(); ++i)
        if (System::wideToUtf8(plugins[i]->name) == wanted) return static_cast<int>(i);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROJECT.vpj2 OUTPUT OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    // The shipped files beside the program, a data folder of its own (default
    // settings, nothing of the user's touched), removed at the end.
    namespace fs = std::filesystem;
    const fs::path program = fs::canonical("/proc/self/exe").parent_path().parent_path() / "bin" / "velmo2";
    System::FileName::resetVariableList(System::utf8ToWide(program.string()));
    char dataHome[] = "/tmp/velmo-bench-export-XXXXXX";
    if (mkdtemp(dataHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome, 1);
    struct RemoveData {
        const char* path;
        ~RemoveData() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } removeData{dataHome};

    std::string failure = "the program did not start";
    int32_t frames = 0;
    double seconds = 0;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Edit::EditService* edit = Edit::EditService::instance();
        Plugin::OutputService* output = Plugin::OutputService::get();
        if (!edit || !output) return;
        if (!edit->loadProject(System::utf8ToWide(argv[1]), false, true)) {
            failure = std::string("cannot open the project ") + argv[1];
            return;
        }
        const int index = findPlugin(*output, argv[2]);
        if (index < 0) {
            failure = std::string("no output plug-in ") + argv[2] + "; there are:";
            for (size_t i = 0; i < output->plugins().size(); ++i)
                failure += " " + std::to_string(i) + "=" + System::wideToUtf8(output->plugins()[i]->name);
            return;
        }
        // The whole scene, not a selection left in the project.
        edit->currentScene()->selectedStart = -1;
        edit->currentScene()->selectedEnd = -1;
        // The save dialog is answered with the output path, once.
        const std::string target = argv[3];
        bool answered = false;
        const Platform::window::FileDialogHook previous = Platform::window::setFileDialogHook(
            [&](const Platform::window::FileDialogRequest&) -> std::optional<std::string> {
                if (answered) return std::nullopt;
                answered = true;
                return target;
            });
        struct RestoreHook {
            Platform::window::FileDialogHook previous;
            ~RestoreHook() { Platform::window::setFileDialogHook(previous); }
        } restore{previous};
        const auto started = std::chrono::steady_clock::now();
        output->outputFile(index);
        if (!output->isRunning()) {
            failure = "the export did not start";
            return;
        }
        const std::shared_ptr<Plugin::OutputFile> job = output->currentJob();
        const Plugin::OutputPlugin* plugin = output->plugins()[static_cast<size_t>(index)].get();
        const bool still = dynamic_cast<const Plugin::PngFileSave*>(plugin) != nullptr ||
                           dynamic_cast<const Plugin::JpgFileSave*>(plugin) != nullptr;
        output->waitExport();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        frames = still ? 1 : job->frameCount;
        failure = output->lastExportSucceeded() ? "" : output->lastFailure();
    };
    App::run(steps);
    if (!failure.empty()) {
        std::fprintf(stderr, "export failed: %s\n", failure.c_str());
        return 1;
    }
    std::printf("frames=%d seconds=%.3f fps=%.2f\n", frames, seconds, seconds > 0 ? frames / seconds : 0.0);
    return 0;
}
