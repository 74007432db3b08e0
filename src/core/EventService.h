#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "core/EventCommandType.h"
#include "core/EventListenerList.h"
#include "core/ServiceHolder.h"

namespace Edit {
class Object;
}

namespace Event {

// The notification hub of the user interface: fourteen listener lists, and
// the dispatcher of the command messages that worker threads post to the main
// window. Everything here runs on the UI thread.
class EventService {
public:
    EventService() = default;
    EventService(const EventService&) = delete;
    EventService& operator=(const EventService&) = delete;

    static EventService* get() { return System::ServiceSlot<EventService>::instance; }

    using ObjectRef = std::shared_ptr<Edit::Object>;

    EventListenerList<int> cursorFrameListeners;                 // 0: the cursor frame
    EventListenerList<int, int> visibleFrameListeners;           // 1: reserved (first and count of visible frames)
    EventListenerList<int, int> frameRangeListeners;             // 2: start and end of the frame-range selection
    EventListenerList<const ObjectRef&> focusObjectListeners;    // 3: the focused object, may be empty
    EventListenerList<int> settingSectionListeners;              // 4: the section shown by the object settings
    EventListenerList<int> sceneListeners;                       // 5: the scene id
    EventListenerList<int, int> renderResultListeners;           // 6: render task type (1, 2, 3) and a value
    EventListenerList<const ObjectRef&> objectChangedListeners;  // 7: the changed object, may be empty
    EventListenerList<> layerListeners;                          // 8
    EventListenerList<> selectionListeners;                      // 9
    EventListenerList<> bookmarkListeners;                       // 10
    EventListenerList<bool> playStateListeners;                  // 11: whether playback runs
    EventListenerList<> startupListeners;                        // 12
    EventListenerList<> exitListeners;                           // 13

    // The main window's procedure calls this for its WM_USER message.
    void processEventCommandMessage(uintptr_t kind, intptr_t payload);

    // The output service's end of an export (kind 7); it installs this when it
    // is created. Until then the command does nothing.
    void setOutputFileEnd(std::function<void()> handler) { outputFileEnd_ = std::move(handler); }

private:
    std::function<void()> outputFileEnd_;
};

}  // namespace Event
