#pragma once
// The operating-system layer: what the program asks of the kernel (threads,
// events, files, processes, libraries, the crash guard) expressed in its own
// terms over POSIX and the C++ standard library. Calls that can fail return a
// Platform::Result whose numbers mean what the program's texts expect.
#include "platform/os/Result.h"
#include "platform/os/Com.h"
#include "platform/os/CrashGuard.h"
#include "platform/os/ErrorText.h"
#include "platform/os/FileHandle.h"
#include "platform/os/FileSystem.h"
#include "platform/os/KnownFolder.h"
#include "platform/os/AlignedMemory.h"
#include "platform/os/Cp932.h"
#include "platform/os/SystemInfo.h"
#include "platform/os/Event.h"
#include "platform/os/Wait.h"
#include "platform/os/WaitableTimer.h"
#include "platform/os/Semaphore.h"
#include "platform/os/SlimLock.h"
#include "platform/os/Thread.h"
#include "platform/os/ProcessMutex.h"
#include "platform/os/Pipe.h"
#include "platform/os/ChildProcess.h"
#include "platform/os/DynamicLibrary.h"
