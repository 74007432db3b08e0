#include "core/Clipboard.h"

#include <cstring>
#include <exception>
#include <utility>

#include "core/Exception.h"
#include "platform/window/Clipboard.h"
#include "core/ExceptionPresenter.h"

namespace System {
namespace W = Platform::window;

namespace {
void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

Clipboard::Clipboard() {
    if (!W::openClipboard(nullptr)) throw lastErrorException("OpenClipboard", "System::Clipboard::Clipboard");
}

Clipboard::~Clipboard() { W::closeClipboard(); }

bool Clipboard::getText(std::wstring& text) {
    try {
        Clipboard scope;
        if (!W::isClipboardFormatAvailable(W::kCfUnicodeText)) return false;
        std::vector<uint8_t> block;
        if (!W::getClipboardData(W::kCfUnicodeText, block))
            throw lastErrorException("GetClipboardData", "System::Clipboard::getText");
        const auto* units = reinterpret_cast<const wchar_t*>(block.data());
        const size_t count = block.size() / sizeof(wchar_t);
        size_t length = 0;
        while (length < count && units[length] != 0) ++length;
        text.assign(units, length);
        return true;
    } catch (const std::exception&) {
        // Already logged by the exception's builder; a failed read is silent.
        return false;
    }
}

bool Clipboard::setText(const wchar_t* text) {
    try {
        Clipboard scope;
        if (!W::emptyClipboard()) throw lastErrorException("EmptyClipboard", "System::Clipboard::setText");
        const size_t length = std::wcslen(text);
        std::vector<uint8_t> block((length + 1) * sizeof(wchar_t), 0);
        std::memcpy(block.data(), text, length * sizeof(wchar_t));
        if (!W::setClipboardData(W::kCfUnicodeText, std::move(block)))
            throw lastErrorException("SetClipboardData", "System::Clipboard::setText");
        return true;
    } catch (const std::exception& e) {
        System::presentException(e);
        return false;
    }
}

bool Clipboard::setImage(const ClipboardImage& image) {
    try {
        Clipboard scope;
        if (!W::emptyClipboard()) throw lastErrorException("EmptyClipboard", "System::Clipboard::setImage");
        if (!W::setClipboardData(W::kCfDib, buildBitmap(image)))
            throw lastErrorException("SetClipboardData", "System::Clipboard::setImage");
        return true;
    } catch (const std::exception& e) {
        System::presentException(e);
        return false;
    }
}

std::vector<uint8_t> Clipboard::buildBitmap(const ClipboardImage& image) {
    const uint32_t width = image.width > 0 ? static_cast<uint32_t>(image.width) : 0;
    const uint32_t height = image.height > 0 ? static_cast<uint32_t>(image.height) : 0;
    const uint32_t bytesPerPixel = image.alpha ? 4 : 3;
    const uint32_t rowSize = (width * bytesPerPixel + 3) & ~3u;
    std::vector<uint8_t> block(40 + static_cast<size_t>(rowSize) * height, 0);
    uint8_t* h = block.data();
    putLe32(h + 0, 40);
    putLe32(h + 4, width);
    putLe32(h + 8, height);
    h[12] = 1;  // planes
    h[14] = static_cast<uint8_t>(bytesPerPixel * 8);
    putLe32(h + 20, rowSize * height);  // no compression, image size
    for (uint32_t y = 0; y < height; ++y) {
        // The bottom row comes first.
        const uint8_t* in = image.pixels + image.pitch * (height - 1 - y);
        uint8_t* out = block.data() + 40 + static_cast<size_t>(rowSize) * y;
        if (image.alpha) {
            std::memcpy(out, in, static_cast<size_t>(width) * 4);
        } else {
            for (uint32_t x = 0; x < width; ++x) std::memcpy(out + x * 3, in + x * 4, 3);
        }
    }
    return block;
}

}  // namespace System
