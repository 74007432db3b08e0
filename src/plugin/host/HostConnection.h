#pragma once
#include <cstdint>
#include <string>

#include "core/Pipe.h"
#include "platform/os/DynamicLibrary.h"

// What both host programs do: take the editor's pipes from the command line
// ("<program> <read end> <write end>", the descriptors in hexadecimal), find
// the plug-in the editor names and load it, and send texts as UTF-16.
namespace Plugin::Host {

// False when the command line does not carry two descriptors.
bool connect(int argc, char** argv, int& readFd, int& writeFd);

// The plug-in's path: a bare file name is looked up in the plug-in folder.
std::string pluginPath(const std::wstring& fileName);

// Loads the library and returns the table its exported function gives;
// null when either fails (the reason goes to the standard error stream).
void* loadTable(Platform::os::DynamicLibrary& library, const std::wstring& fileName, const char* function);

// The plug-in's file filter as one string: its pairs, each with its NUL.
std::u16string filterUnits(const char16_t* filter);
std::u16string textUnits(const char16_t* text);

}  // namespace Plugin::Host
