#pragma once
// The dialog framework and the program's dialogs: modal windows built from a
// table of items, and the message boxes that show failures to the user.
#include "ui/dialogs/ShowException.h"
#include "ui/dialogs/EditServiceDialogs.h"
