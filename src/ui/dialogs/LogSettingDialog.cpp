#include "ui/dialogs/LogSettingDialog.h"

#include "core/Logger.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemListBox.h"

namespace Dialog {

bool LogSettingDialog::open() {
    System::Logger* logger = System::Logger::get();
    const System::Logger::Settings now = logger != nullptr ? logger->settings() : System::Logger::Settings{};
    DialogItemListBox* levels[3] = {
        addItem(L"ログウィンドウの表示対象レベル", now.viewLogLevel),
        addItem(L"ログファイルの記録対象レベル", now.fileLogLevel),
        addItem(L"OutputDebugStringの出力対象レベル", now.debuggerLogLevel),
    };
    for (auto* list : levels)
        for (const wchar_t* level : {L"NONE", L"VERBOSE", L"INFO", L"WARN", L"ERROR"}) list->addItem(level);
    auto* lines = addInteger(L"ログウィンドウの最大行数", now.maxViewLine, 1, 10000);
    auto* files = addInteger(L"ログファイルの最大ファイル数", now.maxFileNum, 1, 100);
    if (!create()) return false;
    if (logger != nullptr)
        logger->setSettings({levels[0]->selected, levels[1]->selected, levels[2]->selected, lines->value, files->value});
    return true;
}

}  // namespace Dialog
