// Calls whose feature is not built yet: each answers 7004 ("not supported yet"), and the
// counting call answers a count of 0, as when the count cannot be read.
#include "Exports.h"

using namespace lumacore;

