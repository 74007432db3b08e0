// Feeds arbitrary text to the control-tag reader and to the text layout's
// measuring pass (texts and their tags come from project and user files).
// The bytes are taken as 16-bit units, so lone and paired surrogates occur.
#include <cstdint>
#include <cstring>
#include <string>

#include "media/text/TextDraw.h"
#include "media/text/TextTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    std::wstring text;
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(wchar_t(data[i] | (data[i + 1] << 8)));
    for (size_t at = text.find(L'<'); at != std::wstring::npos; at = text.find(L'<', at + 1)) {
        const Media::TextTag tag = Media::TextTag::parse(std::wstring_view(text).substr(at));
        double number = 0;
        for (const auto& field : tag.field)
            if (field) Media::TextTag::readNumber(*field, number);
    }
    Media::TextDraw draw;
    draw.text = text.c_str();
    draw.baseFamily = L"";
    draw.baseSize = 8;
    draw.vertical = (mode & 1) != 0;
    draw.outlineRatio = (mode & 2) ? 0.1f : 0;
    draw.shadowRatio = (mode & 4) ? 1 : 0;
    draw.displaySpeed = (mode & 8) ? 10 : 0;
    draw.time = (mode >> 4) * 0.25;
    draw.letterSpacing = (mode & 16) ? -3 : 1;
    draw.individual = true;
    draw.measure();
    return 0;
}
