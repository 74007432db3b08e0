#pragma once
// The dialog framework and the program's dialogs: modal windows built from a
// table of items, and the message boxes that show failures to the user.
#include "ui/dialogs/FileDialogTemplate.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/PostError.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"
#include "ui/dialogs/EditServiceDialogs.h"
