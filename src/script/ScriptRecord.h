#pragma once
#include <memory>
#include <string>

namespace Plugin {

class ScriptPlugin;

// What one run needs of a script: its name (also the scope of its log lines),
// information text, the folder of its file, its text and its engine.
struct ScriptRecord {
    std::wstring name;
    std::wstring information;
    std::wstring folder;
    std::string scriptText;  // UTF-8
    std::shared_ptr<ScriptPlugin> engine;
};

}  // namespace Plugin
