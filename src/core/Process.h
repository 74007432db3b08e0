#pragma once

// The calling thread's priority from a setting of "system.conf" [Config].
namespace System::Process {

// 0 or a missing setting leaves the priority as it is; a failure is logged
// where its text is built and otherwise ignored.
void SetThreadPriority(const char* setting);

}  // namespace System::Process
