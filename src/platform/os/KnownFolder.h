#pragma once
#include <string>

#include "platform/os/Result.h"

// Where the program and its data live.
namespace Platform::os {

// The full path of the running executable (UTF-8).
Result executablePath(std::string& out);

// The per-user data folder that stands in for the machine-wide program-data
// folder: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
Result programDataFolder(std::string& out);

}  // namespace Platform::os
