#include "ToolkitMenu.h"

#include "gsm/GsmText.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/EngineValues.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint16_t kNoBusinessLogic = 4001;

// A toolkit call, or 4001 when the business logic is not running.
template <typename Call>
uint16_t whenRunning(Call &&call)
{
    return BusinessLogic() ? call() : kNoBusinessLogic;
}

bool isDialDigit(QChar c)
{
    return c.isDigit() || c == u'#' || c == u'*' || c == u'+';
}

bool allDialDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), isDialDigit);
}

// The text in GSM codes (an extension character counts two), or -1 when one has no code.
int gsmLength(const QString &text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const int count = static_cast<int>(text.size());
    if (count == 0)
        return 0;
    if (gsm::IsGsmText(units, count) != 1)
        return -1;
    std::vector<uint8_t> codes(static_cast<size_t>(2 * count));
    return gsm::Ucs2ToGsm(codes.data(), static_cast<int>(codes.size()), units, count);
}

}  // namespace

ToolkitMenu::Calls ToolkitMenu::programCalls()
{
    Calls calls;
    calls.mainMenu = [] { return whenRunning([] { return StkMainMenu(); }); };
    calls.selectMain = [](uint32_t id) {
        return whenRunning([&] { return StkSelectMainMenuItem(id); });
    };
    calls.selectSub = [](uint32_t id) {
        return whenRunning([&] { return StkSelectSubMenuItem(id); });
    };
    calls.back = [](uint8_t back) { return whenRunning([&] { return StkMenuBack(back); }); };
    calls.confirmText = [] { return whenRunning([] { return StkConfirmDisplayText(); }); };
    calls.input = [](uint32_t kind, const std::string &text) {
        return whenRunning([&] { return StkInputText(kind, text.c_str()); });
    };
    return calls;
}

ToolkitMenu::ToolkitMenu(Calls calls) : m_calls(std::move(calls)) {}

ToolkitMenu::Menu ToolkitMenu::menuOf(const _MEC_STK_RECORD &record)
{
    Menu menu;
    menu.title = platform::fromAnsi(platform::fieldText(record.title, sizeof record.title));
    const uint32_t count = std::min<uint32_t>(record.itemCount, MEC_STK_MAX_ITEMS);
    for (uint32_t i = 0; i < count; ++i) {
        menu.texts.push_back(platform::fromAnsi(
            platform::fieldText(record.itemTexts[i], sizeof record.itemTexts[i])));
        menu.ids.push_back(record.itemIds[i]);
    }
    return menu;
}

void ToolkitMenu::show(const Menu &menu)
{
    m_shown = menu;
    m_title = menu.title;
}

void ToolkitMenu::makeBusy()
{
    m_busy = true;
    m_listEnabled = false;
    m_backEnabled = false;
}

void ToolkitMenu::makeReady()
{
    m_busy = false;
    m_listEnabled = m_buttonsEnabled;
    m_backEnabled = m_buttonsEnabled && m_level == kSubLevel;
}

uint16_t ToolkitMenu::open()
{
    m_buttonsEnabled = true;
    m_shown = {};
    uint16_t status = 0;
    if (m_level == kSubLevel)
        show(m_subMenu);
    else
        status = m_calls.mainMenu();  // the menu comes as a message; a refusal leaves it empty
    makeReady();
    return status;
}

void ToolkitMenu::mainMenu(const _MEC_STK_RECORD &record)
{
    // The first main menu stays the one shown for as long as it is kept.
    if (!mainMenuCached() && record.itemCount > 0)
        m_mainMenu = menuOf(record);
    show(m_mainMenu);
    if (m_level != kMainLevel && m_level != kSubLevel)
        (void)m_calls.back(0);  // whatever the SIM had open from before is ended
    m_level = kMainLevel;
    makeReady();
}

void ToolkitMenu::subMenu(const _MEC_STK_RECORD &record)
{
    m_subMenu = menuOf(record);
    show(m_subMenu);
    m_level = kSubLevel;
    makeReady();
}

void ToolkitMenu::choose(int row)
{
    if (row < 0 || row >= static_cast<int>(m_shown.ids.size()) || !m_listEnabled)
        return;
    const uint32_t id = m_shown.ids[static_cast<size_t>(row)];
    if (m_level == kMainLevel)
        (void)m_calls.selectMain(id);
    else if (m_level == kSubLevel)
        (void)m_calls.selectSub(id);
    else
        return;
    makeBusy();
}

void ToolkitMenu::back()
{
    (void)m_calls.back(1);
    makeBusy();
}

void ToolkitMenu::end()
{
    (void)m_calls.back(0);
    makeBusy();
}

void ToolkitMenu::confirmText()
{
    (void)m_calls.confirmText();
    makeBusy();
}

void ToolkitMenu::answerInput(uint32_t kind, const std::string &text)
{
    (void)m_calls.input(kind, text);
    makeBusy();
}

void ToolkitMenu::cancelInput()
{
    (void)m_calls.back(1);
    makeBusy();
}

void ToolkitMenu::busyOver() { makeReady(); }

void ToolkitMenu::readyAtSubMenu()
{
    m_level = kSubLevel;
    makeReady();
}

void ToolkitMenu::cardStateChanged(uint8_t state)
{
    switch (state) {
    case kCardAbsent:
    case kSimBlocked:
        // Another card, or none: its SIM's menu is no longer this one.
        m_mainMenu = {};
        m_subMenu = {};
        m_shown = {};
        m_title.clear();
        m_level = kNoLevel;
        break;
    case kCardOffline:
        m_buttonsEnabled = false;
        makeBusy();
        break;
    case kSimReady:
        m_buttonsEnabled = true;
        makeReady();
        break;
    default: break;
    }
}

namespace toolkit_input {

bool accepts(uint32_t kind, uint32_t maximum, const QString &text)
{
    const auto length = static_cast<uint32_t>(text.size());
    switch (kind) {
    case 0: {
        const int codes = gsmLength(text);
        return codes >= 0 && static_cast<uint32_t>(codes) <= maximum;
    }
    case 2: return length <= maximum && allDialDigits(text);
    case 3: return length <= maximum;
    case 4: return length <= maximum / 2 && allDialDigits(text);
    default: return true;  // yes/no comes from its list
    }
}

int countedLength(uint32_t kind, const QString &text)
{
    switch (kind) {
    case 0: return std::max(gsmLength(text), 0);
    case 3:
    case 4: return 2 * static_cast<int>(text.size());
    default: return static_cast<int>(text.size());
    }
}

bool tooShort(uint32_t kind, uint32_t minimum, const QString &text)
{
    if (kind == 1 || kind > 4)
        return false;
    return countedLength(kind, text) < static_cast<int>(minimum);
}

}  // namespace toolkit_input
