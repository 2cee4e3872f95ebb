// The SIM toolkit's calls: the program's choices in the menus and dialogues the SIM runs.
#include "Engine.h"
#include "Exports.h"
#include "SimText.h"
#include "Toolkit.h"

using namespace lumacore;

MEC_STATUS _MEC_SetStkMainMenu(void)
{
    return withEngine([](Engine &engine) { return engine.toolkit().requestMainMenu(engine); });
}

MEC_STATUS _MEC_SelectStkMainMenu(uint32_t itemId)
{
    return withEngine(
        [&](Engine &engine) { return engine.toolkit().selectMainMenu(engine, itemId); });
}

MEC_STATUS _MEC_SelectStkSubMenu(uint32_t itemId)
{
    return withEngine(
        [&](Engine &engine) { return engine.toolkit().selectSubMenu(engine, itemId); });
}

MEC_STATUS _MEC_SetStkMenuBack(uint8_t back)
{
    return withEngine([&](Engine &engine) { return engine.toolkit().goBack(engine, back != 0); });
}

MEC_STATUS _MEC_StkConfirmDisplayText(void)
{
    return withEngine([](Engine &engine) { return engine.toolkit().confirmText(engine); });
}

MEC_STATUS _MEC_StkInputText(uint32_t kind, const char *text)
{
    if (!text)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        return engine.toolkit().answerInput(engine, kind, systemToUtf8(text));
    });
}
