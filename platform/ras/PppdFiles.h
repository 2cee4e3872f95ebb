// The two files pppd dials one connection with: its options file and the chat script that
// brings the card to CONNECT. Pure text in, text out, so what a hostile profile turns into can be
// read in a test.
//
// Every profile field that reaches pppd or chat is either quoted so that pppd reads it as one
// word of data (user name, password, paths), or checked against the characters its job allows
// and refused otherwise (dial number, APN, PDP type, address). Nothing can add an option, a chat
// step or a shell command. Fixed name servers go to pppd's ip-up scripts as its "ipparam"
// ("lumadial-dns 8.8.8.8 8.8.4.4"), for the hook that hands them to the system's resolver.
#pragma once

#include "platform/ras/RasApi.h"

#include <string>
#include <string_view>

namespace ras {

struct PppdFiles {
    std::string options;
    std::string chat;
};

struct PppdFileNames {
    std::string dataPort;     // the card's data port
    std::string chatProgram;  // absolute path of chat
    std::string chatScript;   // where the chat script will be
    std::string optionsFile;  // where the options file will be; removed once pppd read it
};

// kSuccess, or kInvalidParameter with problem naming the field that was refused.
uint32_t buildPppdFiles(const PhonebookEntry &entry, const DialParams &params,
                        const PppdFileNames &names, PppdFiles &files, std::string &problem);

// One word of a pppd options file holding any printable text: in double quotes, with '\' and
// '"' escaped. Control characters have no safe form and are refused (false).
bool quotePppdWord(std::string_view text, std::string &word);
// One word for /bin/sh (pppd runs its connect option through a shell): in single quotes.
std::string quoteShellWord(std::string_view text);

}  // namespace ras
