// Answers that stay the same while the SIM stays in: its IMSI, the phonebook selected and each
// phonebook's range, the message storages' capacities. The engine asks for one before a command
// goes out, so the program's many readers of the same facts cost the card one command each. A
// command that changes one of them, and the card or SIM going, forgets it.
#pragma once

#include "AtChannel.h"
#include "AtParsersPhonebook.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumacore {

class StableAnswers {
public:
    // The answer the card would give, when it is known; nullopt to ask the card.
    std::optional<AtResponse> answerFor(std::string_view command) const;
    // The card answered the command (or it failed): what it shows is remembered, what it may
    // have changed is forgotten.
    void noteAnswer(std::string_view command, const AtResponse &response);
    // The range +CPBR=? gave for a book ("SM", "ME"); nullopt when not known.
    std::optional<PhonebookRange> phonebookRange(const std::string &book) const;
    // The capacity of a message storage ("SM", "ME"), as +CPMS gave it; nullopt when not known.
    std::optional<int> messageCapacity(const std::string &memory) const;
    // +CPMS? was read: the storages it did not name need +CPMS=<mem> for their capacity.
    bool messageStoragesListed() const { return m_storagesListed; }
    // The card or its SIM went, or came new.
    void forget();

private:
    std::optional<AtResponse> m_imsi;
    std::string m_phonebook;  // the selected book as +CPBS= named it; empty when not known
    std::map<std::string, AtResponse> m_phonebookRanges;  // +CPBR=? by book
    std::map<std::string, int> m_capacities;              // message storages by name
    bool m_storagesListed = false;
};

}  // namespace lumacore
