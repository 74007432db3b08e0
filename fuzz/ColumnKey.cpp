// Feeds arbitrary lines to the reader of the file browser's stored column
// keys (the "ColumnList" and "SortColumn" values of the settings file): a
// key that reads must write back to a text that reads as the same key.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/shell/PropertyKey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find_first_of(",\n", begin);
        if (end == std::string::npos) end = text.size();
        Platform::shell::PropertyKey key;
        if (Platform::succeeded(Platform::shell::propertyKeyFromString(text.substr(begin, end - begin), key))) {
            Platform::shell::PropertyKey again;
            const std::string written = Platform::shell::propertyKeyToString(key);
            if (Platform::failed(Platform::shell::propertyKeyFromString(written, again)) || !(again == key)) std::abort();
            (void)Platform::shell::columnOf(key);
        }
        begin = end + 1;
    }
    return 0;
}
