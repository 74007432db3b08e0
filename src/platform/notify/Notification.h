#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace Platform::notify {

struct Notice {
    std::string title;       // UTF-8
    std::string body;        // UTF-8
    std::string icon;        // an icon theme name or a file path; empty shows none
    int32_t timeoutMs = -1;  // how long the server shows it; -1 its own default
};

// Shows the notice in place of the one this process shows (which is closed
// first). Returns at once.
void show(const Notice& notice);
// Closes the notice shown, if any. Returns at once.
void close();
// Waits until every call queued before has been made or has failed.
void flush();

// Receives the text of each call that failed, on the module's thread; returns
// the listener installed before.
using ErrorListener = std::function<void(const std::string& text)>;
ErrorListener setErrorListener(ErrorListener listener);

// Whether the process knows a session bus to reach a server on (its address
// in DBUS_SESSION_BUS_ADDRESS, or the bus socket in XDG_RUNTIME_DIR). Without
// one nothing is sent: no bus is started on the program's behalf.
bool sessionBusKnown();

}  // namespace Platform::notify
