// The CP932 decoder that reads text of the earlier generation (ini and
// exchange files); every byte gives at most one character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/TextConvert.h"
#include "platform/os/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::wstring wide = Platform::os::decodeCp932(text);
    if (wide.size() > size) std::abort();
    // A decoded text always converts on to UTF-8.
    (void)System::wideToUtf8(wide);
    // No converter state is left over from the call before.
    if (size > 1) {
        const std::wstring again = Platform::os::decodeCp932(text);
        if (again != wide) std::abort();
    }
    return 0;
}
