#pragma once
// Desktop notifications: the notice the program puts up when an export has
// finished, shown by the session's notification server (the freedesktop
// notification interface, through libnotify). The calls never wait for the
// server: they are made in order on a thread of this module, so a missing or
// silent server neither holds nor fails the caller; what fails is reported to
// the error listener.
#include "platform/notify/Notification.h"
