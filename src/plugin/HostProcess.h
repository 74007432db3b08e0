#pragma once
#include <memory>
#include <string>

#include "core/PipeProcess.h"

namespace System {
class Pipe;
}

// The life of a host program that runs an older plug-in, shared by the input
// and the output side: started on first use, asked to quit when its plug-in
// goes, killed when its conversation went out of step.
namespace Plugin::HostProcess {

// Starts the program (a path with variables) unless it runs, and connects its pipe.
void start(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe, const wchar_t* program);
// Sends the quit command to a running host, then ends it.
void quit(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe);
// Kills the host so no later reply is read as the answer to another request.
void stop(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe, const char* scope,
          const std::wstring& fileName);

}  // namespace Plugin::HostProcess
