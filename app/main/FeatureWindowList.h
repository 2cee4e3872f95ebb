// The list of the program's windows after the main window.
#pragma once

#include "WindowTable.h"

#include <vector>

// Every window the program makes after the main window, in the order of creation, each with the
// notices and messages it takes. Adding a window to the program is one line here.
const std::vector<feature::Registration> &FeatureWindowList();
