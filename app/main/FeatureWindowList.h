// The list of the program's windows after the main window.
#pragma once

#include "WindowTable.h"

#include <vector>

// Every window the program makes after the main window, in the order of creation, each with its
// registration (see FeatureWindowList.cpp). Adding a window to the program is one line there.
const std::vector<feature::Registration> &FeatureWindowList();
