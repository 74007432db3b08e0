#include "ui/dialogs/AviFileSaveDialog.h"

#include "ui/dialogs/DialogItemListBox.h"

namespace Dialog {

const std::vector<std::wstring>& AviFileSaveDialog::videoFormats() {
    static const std::vector<std::wstring> formats{L"RGB24bit", L"RGBA32bit", L"YUY2"};
    return formats;
}

const std::vector<std::wstring>& AviFileSaveDialog::audioFormats() {
    static const std::vector<std::wstring> formats{L"PCM16bit", L"PCM(float)32bit"};
    return formats;
}

bool AviFileSaveDialog::open(Platform::window::WindowHandle owner, std::wstring& video, std::wstring& audio) {
    DialogItemListBox* videoList = addItem(L"Video", 0);
    for (const std::wstring& name : videoFormats()) videoList->addItem(name);
    DialogItemListBox* audioList = addItem(L"Audio", 0);
    for (const std::wstring& name : audioFormats()) audioList->addItem(name);
    videoList->selectItem(video);
    audioList->selectItem(audio);
    if (!create(0, owner)) return false;
    video = videoFormats()[static_cast<size_t>(videoList->selected)];
    audio = audioFormats()[static_cast<size_t>(audioList->selected)];
    return true;
}

}  // namespace Dialog
