// What the SIM toolkit screen shows and does, without widgets: the SIM's main menu (kept from
// the first time it comes until the card or the SIM goes), the sub-menu of the moment, which
// controls may be used, and the busy period after each choice while the SIM answers.
//
// The SIM drives every change; the screen only waits a short busy period after a choice, so a
// SIM that does not answer leaves the user free to try again, go back or end.
#pragma once

#include "lumacore.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ToolkitMenu {
public:
    // The toolkit's calls; the program's pass them to the business logic, a test answers them.
    struct Calls {
        std::function<uint16_t()> mainMenu;
        std::function<uint16_t(uint32_t)> selectMain;
        std::function<uint16_t(uint32_t)> selectSub;
        std::function<uint16_t(uint8_t)> back;  // 1 one level up, 0 end
        std::function<uint16_t()> confirmText;
        std::function<uint16_t(uint32_t, const std::string &)> input;  // system code page
    };
    static Calls programCalls();

    // The busy period after a choice, and the time the SIM's message notice stays.
    static constexpr int kBusyMilliseconds = 3000;

    explicit ToolkitMenu(Calls calls);

    enum Level { kNoLevel = -1, kMainLevel = 0, kSubLevel = 1 };

    QString title() const { return m_title; }
    const std::vector<QString> &items() const { return m_shown.texts; }
    Level level() const { return m_level; }
    bool busy() const { return m_busy; }
    // The STK and USSD buttons: off while the card is off line.
    bool buttonsEnabled() const { return m_buttonsEnabled; }
    bool listEnabled() const { return m_listEnabled; }
    bool okEnabled() const { return m_listEnabled; }
    bool backEnabled() const { return m_backEnabled; }
    bool endEnabled() const { return m_backEnabled; }
    bool mainMenuCached() const { return !m_mainMenu.ids.empty(); }

    // The STK button: the sub-menu of the moment again, else the SIM's main menu. Returns the
    // status of asking for the menu (MEC_ERR_NOT_SUPPORTED: the card has no toolkit).
    uint16_t open();
    // The SIM's main menu (also when a dialogue ended), and a sub-menu.
    void mainMenu(const _MEC_STK_RECORD &record);
    void subMenu(const _MEC_STK_RECORD &record);
    // OK or a double click on row; nothing without a row.
    void choose(int row);
    void back();
    void end();
    // A text the SIM waits to have confirmed: OK, or the other button (back).
    void confirmText();
    // The input dialog's answer, or its Cancel.
    void answerInput(uint32_t kind, const std::string &text);
    void cancelInput();
    // The busy period ran out with no answer from the SIM.
    void busyOver();
    void cardStateChanged(uint8_t state);
    // A notice came that leaves the screen waiting (the SIM sending a message).
    void waitForSim() { makeBusy(); }
    // A dialogue step ended without a new menu: the screen is ready again at the sub-menu.
    void readyAtSubMenu();

private:
    struct Menu {
        QString title;
        std::vector<QString> texts;
        std::vector<uint32_t> ids;
    };
    static Menu menuOf(const _MEC_STK_RECORD &record);
    void show(const Menu &menu);
    void makeBusy();
    void makeReady();

    Calls m_calls;
    Menu m_mainMenu;  // empty until the SIM's first main menu
    Menu m_subMenu;
    Menu m_shown;
    QString m_title;
    Level m_level = kNoLevel;
    bool m_busy = false;
    bool m_buttonsEnabled = true;
    bool m_listEnabled = false;
    bool m_backEnabled = false;
};

// The input dialog's rules by input kind (0 text in the 7-bit alphabet, 1 yes/no, 2 digits,
// 3 UCS-2 text, 4 UCS-2 digits).
namespace toolkit_input {
// Whether the edit may hold the text; a change that makes it invalid is undone.
bool accepts(uint32_t kind, uint32_t maximum, const QString &text);
// The length compared with the minimum: bytes for kinds 0 and 2, two per UTF-16 unit for
// kinds 3 and 4.
int countedLength(uint32_t kind, const QString &text);
// Whether OK refuses the text as too short (never for yes/no).
bool tooShort(uint32_t kind, uint32_t minimum, const QString &text);
}  // namespace toolkit_input
