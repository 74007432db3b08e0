#pragma once
#include <cstdint>
#include <string>

#include "platform/os/Result.h"

// The calling thread's name and priority.
namespace Platform::os {

inline constexpr int32_t kPriorityIdle = -15;
inline constexpr int32_t kPriorityLowest = -2;
inline constexpr int32_t kPriorityBelowNormal = -1;
inline constexpr int32_t kPriorityNormal = 0;
inline constexpr int32_t kPriorityAboveNormal = 1;
inline constexpr int32_t kPriorityHighest = 2;
inline constexpr int32_t kPriorityTimeCritical = 15;

// The operating system keeps 15 bytes of a name; the name is cut there (at a
// character boundary) for it only.
void setCurrentThreadName(const std::string& name);
std::string systemThreadName(const std::string& name);

// A Windows thread priority (the constants above) as the thread's nice value.
// Lowering always works; raising above normal needs privileges Linux gives
// only to some, so it can fail (access denied). Other numbers are invalid.
Result setCurrentThreadPriority(int32_t priority);

}  // namespace Platform::os
