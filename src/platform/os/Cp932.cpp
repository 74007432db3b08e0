#include "platform/os/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace Platform::os {
namespace {

// One converter per thread: iconv descriptors carry state and are not
// thread-safe, and opening one per call is costly.
class Converter {
public:
    Converter() : cd_(iconv_open("WCHAR_T", "CP932")) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::wstring decodeCp932(std::string_view text) {
    std::wstring out;
    if (text.empty()) return out;
    thread_local Converter converter;
    if (!converter.valid()) {
        // Without the converter only ASCII can be trusted.
        for (unsigned char c : text) out.push_back(c < 0x80 ? static_cast<wchar_t>(c) : L'\xFFFD');
        return out;
    }
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    out.reserve(text.size());
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    wchar_t chunk[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(chunk);
        size_t outLeft = sizeof chunk;
        const size_t r = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, (sizeof chunk - outLeft) / sizeof(wchar_t));
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ: an invalid byte; EINVAL: a character cut off at the end.
        out.push_back(L'\xFFFD');
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace Platform::os
