// The open dialog through which the user chooses the source.
#pragma once

#include "ui/FileDialogs.h"

// Title "Open File", the five file kinds in order, "All Files (*.*)"
// selected.
FileDialogRequest OpenSourceDialogRequest();
