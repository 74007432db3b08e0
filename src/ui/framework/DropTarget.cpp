#include "ui/framework/DropTarget.h"

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/window/MessageQueue.h"
#include "ui/framework/WindowMouseService.h"

namespace Window {

namespace W = Platform::window;

void DropTarget::Register(W::WindowHandle window) {
    if (const Platform::Result hr = W::registerDragDrop(window, std::make_shared<DropTarget>(window));
        Platform::failed(hr))
        throw System::hresultException("RegisterDragDrop", "Window::DropTarget::Register", hr);
}

void DropTarget::Revoke(W::WindowHandle window) {
    if (const Platform::Result hr = W::revokeDragDrop(window); Platform::failed(hr))
        System::Log::error("Window::DropTarget::Revoke", "RevokeDragDrop failed. (0x%08X)", static_cast<uint32_t>(hr));
}

uint32_t DropTarget::sendRecord(uint32_t message, W::Point point) {
    files_.point = point;
    files_.accepted = false;
    W::sendMessage(window_, message, 0, reinterpret_cast<intptr_t>(&files_));
    return files_.accepted ? W::kDropEffectCopy : W::kDropEffectNone;
}

Platform::Result DropTarget::dragEnter(const W::DragData& data, uint32_t keyState, W::Point point, uint32_t& effect) {
    if (!data.hasFiles) {
        effect = W::kDropEffectNone;
        return W::kDragDropCancel;
    }
    files_.files.clear();
    files_.files.reserve(data.files.size());
    for (const std::string& name : data.files) files_.files.push_back(System::utf8ToWide(name));
    return dragOver(keyState, point, effect);
}

Platform::Result DropTarget::dragOver(uint32_t, W::Point point, uint32_t& effect) {
    effect = sendRecord(kWmDragOver, point);
    return Platform::kOk;
}

Platform::Result DropTarget::dragLeave() {
    files_.files.clear();
    W::sendMessage(window_, kWmDragLeave, 0, 0);
    return Platform::kOk;
}

Platform::Result DropTarget::drop(const W::DragData&, uint32_t, W::Point point, uint32_t& effect) {
    effect = sendRecord(kWmDrop, point);
    files_.files.clear();
    W::sendMessage(window_, kWmDragLeave, 0, 0);
    return Platform::kOk;
}

}  // namespace Window
