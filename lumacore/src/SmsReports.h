// The card's short-message reports: a stored message (+CMTI), one handed over directly (+CMT:
// class 0 for the pop-up, others kept on the PC), a status report (+CDS) and a cell broadcast
// (+CBM), each turned into the program's callback. Runs on the engine's event thread.
#pragma once

#include "AtLine.h"

namespace lumacore {

class Engine;

// False when the code is no short-message report.
bool handleSmsReport(Engine &engine, const AtUnsolicited &code);

}  // namespace lumacore
