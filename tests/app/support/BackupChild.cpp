// The program's own steps with a driver in place of the user: the project
// named on the command line is opened by start-up, renamed "saved" and saved,
// then changed again; once an automatic backup of that state is written the
// model is saved to the second argument for comparison and the backup's path
// printed as "backup <path>". The program then keeps running until killed.
#include <cstdio>
#include <string>

#include "app/Application.h"
#include "core/TextConvert.h"
#include "core/Timer.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::wstring expected = System::utf8ToWide(argv[2]);
    App::Steps steps = App::programSteps();
    steps.run = [expected] {
        Edit::EditService& edit = *Edit::EditService::instance();
        {
            auto scope = edit.openSection();
            edit.currentScene()->name = L"saved";
        }
        if (!edit.saveProjectOverwrite()) {
            std::puts("save failed");
            std::fflush(stdout);
            return;
        }
        {
            auto scope = edit.openSection();
            edit.currentScene()->name = L"backed up";
            edit.currentScene()->videoWidth = 1280;
        }
        const size_t before = edit.backupHistory().size();
        edit.backupHistory().setMinuteLength(20);
        edit.settings().autoBackup = 1;
        edit.settings().autoBackupInterval = 1;
        edit.updateBackupTimer();
        bool reported = false;
        System::Timer watch;
        watch.set(5, [&] {
            if (reported || edit.backupHistory().size() == before) return;
            reported = true;
            edit.project().saveProjectFile(expected);
            std::printf("backup %s\n", System::wideToUtf8(edit.backupHistory().getItem(0)).c_str());
            std::fflush(stdout);
        });
        App::runMessageLoop();
    };
    return App::run(steps);
}
