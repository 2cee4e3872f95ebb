#include "logic/BL_Members.h"

#include "logic/BL_Base.h"
#include "platform/WindowMessages.h"

uint16_t TBL_Cr::GetFirstEntry(uint8_t kind, CallEntry *entry)
{
    return _MEC_GetFirstCallEntry(kind, entry);
}

uint16_t TBL_Cr::GetNextEntry(CallEntry *entry) { return _MEC_GetNextCallEntry(entry); }

uint16_t TBL_Cr::SaveEntry(CallEntry *entry) { return _MEC_SaveCallEntry(entry); }

uint16_t TBL_Cr::DeleteEntry(uint32_t index, uint8_t storage)
{
    return _MEC_DeleteCallEntry(index, storage);
}

uint16_t TBL_Cr::ClearEntries(uint8_t kind, uint8_t storage)
{
    return _MEC_ClearCallEntries(kind, storage);
}

uint16_t TBL_Cr::EntryCount(uint8_t kind, uint8_t storage)
{
    return _MEC_GetCallEntryCount(kind, storage);
}

uint16_t TBL_Stk::MainMenu() { return _MEC_SetStkMainMenu(); }

uint16_t TBL_Stk::SelectMainMenuItem(uint32_t itemId) { return _MEC_SelectStkMainMenu(itemId); }

uint16_t TBL_Stk::SelectSubMenuItem(uint32_t itemId) { return _MEC_SelectStkSubMenu(itemId); }

uint16_t TBL_Stk::MenuBack(uint8_t back) { return _MEC_SetStkMenuBack(back); }

uint16_t TBL_Stk::ConfirmDisplayText() { return _MEC_StkConfirmDisplayText(); }

uint16_t TBL_Stk::InputText(uint32_t kind, const char *text) { return _MEC_StkInputText(kind, text); }
