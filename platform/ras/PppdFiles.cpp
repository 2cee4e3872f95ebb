#include "platform/ras/PppdFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace ras {

namespace {

// pppd keeps names and secrets in buffers of 256 bytes with their terminator.
constexpr size_t kMaxSecretLength = 255;
constexpr size_t kMaxNumberLength = 40;
constexpr size_t kMaxApnLength = 100;

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool onlyCharacters(std::string_view text, std::string_view allowed)
{
    return std::all_of(text.begin(), text.end(), [allowed](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || allowed.find(c) != allowed.npos;
    });
}

// A dial number as the card gets it: the dial digits and modifiers kept, the blanks and
// punctuation people write numbers with dropped (a card ignores them anyway). Empty when the
// number holds anything else, which could end the dial command and start another.
std::string dialString(std::string_view number)
{
    std::string dial;
    for (char c : number) {
        if (std::string_view(" -().").find(c) != std::string_view::npos)
            continue;
        const bool digit = c >= '0' && c <= '9';
        if (!digit && std::string_view("*#+,ABCDabcdPpTtWw!@").find(c) == std::string_view::npos)
            return {};
        dial += c;
    }
    return dial.size() <= kMaxNumberLength ? dial : std::string();
}

// The APN as the card gets it: a profile may keep trailing blanks and quotes around it.
std::string apnText(std::string_view apn)
{
    std::string text;
    for (char c : apn)
        if (c != '"')
            text += c;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// pppd hands this to the system's ip-up scripts, where a hook installed beside the peers file
// gives the name servers to the system's resolver for the link.
std::string nameServerParameter(const PhonebookEntry &entry)
{
    std::string servers;
    for (const auto &address : {entry.primaryDns, entry.secondaryDns}) {
        if (address == std::array<uint8_t, 4>{})
            continue;
        servers += ' ' + std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' +
                   std::to_string(address[2]) + '.' + std::to_string(address[3]);
    }
    return servers.empty() ? std::string() : "lumadial-dns" + servers;
}

// An APN is a domain name: labels of letters, digits and hyphens, joined by dots.
bool validApn(std::string_view apn)
{
    return apn.size() <= kMaxApnLength && onlyCharacters(apn, "-.") && apn.front() != '.' &&
           apn.back() != '.' && apn.find("..") == apn.npos;
}

bool validAddress(std::string_view address)
{
    unsigned parts[4];
    char tail = 0;
    std::string text(address);
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%c", &parts[0], &parts[1], &parts[2], &parts[3],
                    &tail) != 4)
        return false;
    return onlyCharacters(address, ".") && std::all_of(std::begin(parts), std::end(parts),
                                                       [](unsigned part) { return part < 256; });
}

bool validPdpType(std::string_view type)
{
    return type == "IP" || type == "PPP" || type == "IPV6" || type == "IPV4V6";
}

uint32_t refuse(std::string &problem, const char *field)
{
    problem = field;
    return kInvalidParameter;
}

}  // namespace

bool quotePppdWord(std::string_view text, std::string &word)
{
    if (hasControlCharacter(text))
        return false;
    word = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            word += '\\';
        word += c;
    }
    word += '"';
    return true;
}

std::string quoteShellWord(std::string_view text)
{
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    word += '\'';
    return word;
}

uint32_t buildPppdFiles(const PhonebookEntry &entry, const DialParams &params,
                        const PppdFileNames &names, PppdFiles &files, std::string &problem)
{
    std::string port, user, password, connect;
    if (names.dataPort.empty() || names.dataPort.front() != '/' ||
        !quotePppdWord(names.dataPort, port))
        return refuse(problem, "data port");
    if (params.userName.size() > kMaxSecretLength || !quotePppdWord(params.userName, user))
        return refuse(problem, "user name");
    if (params.password.size() > kMaxSecretLength || !quotePppdWord(params.password, password))
        return refuse(problem, "password");
    const std::string number = dialString(params.number.empty() ? entry.number : params.number);
    if (number.empty())
        return refuse(problem, "dial number");
    const std::string apn = apnText(entry.apn);
    if (!apn.empty() && !validApn(apn))
        return refuse(problem, "APN");
    const std::string pdpType = entry.pdpType.empty() ? "IP" : entry.pdpType;
    if (!validPdpType(pdpType))
        return refuse(problem, "PDP type");
    if (entry.specificIpAddress && !validAddress(entry.ipAddress))
        return refuse(problem, "PDP address");
    // pppd runs the connect command once it has read its options: the file with the password
    // goes then, not when the connection ends.
    std::string command;
    if (!names.optionsFile.empty())
        command = "rm -f -- " + quoteShellWord(names.optionsFile) + "; ";
    command += "exec " + quoteShellWord(names.chatProgram) + " -v -s -f " +
               quoteShellWord(names.chatScript);
    if (hasControlCharacter(names.chatProgram) || hasControlCharacter(names.chatScript) ||
        hasControlCharacter(names.optionsFile) || !quotePppdWord(command, connect))
        return refuse(problem, "chat script");

    std::string options;
    options += "# One connection of Lumadial, removed when the connection has ended.\n";
    options += port + "\n";
    options += "115200\n";
    options += "nodetach\n";  // pppd stays our child: its end is the connection's end
    // No "noauth": it is privileged. A system whose options demand "auth" needs the peers file
    // the README describes, which PppdBackend names with "call".
    options += "defaultroute\n";
    options += "noipdefault\n";
    if (entry.specificIpAddress)
        options += entry.ipAddress + ":\n";
    options += "ipcp-accept-local\nipcp-accept-remote\n";
    // The network's name servers, or the profile's own (never both).
    const std::string nameServers = nameServerParameter(entry);
    if (!entry.specificNameServers)
        options += "usepeerdns\n";
    else if (!nameServers.empty())
        options += "ipparam \"" + nameServers + "\"\n";
    // 3G networks compress nothing at the PPP level.
    options += "novj\nnobsdcomp\nnodeflate\n";
    options += entry.requireChap ? "refuse-pap\n"
                                 : "refuse-chap\nrefuse-mschap\nrefuse-mschap-v2\nrefuse-eap\n";
    options += "user " + user + "\n";
    options += "password " + password + "\n";
    options += "connect " + connect + "\n";
    files.options = std::move(options);

    std::string chat;
    // The order of the ABORT strings gives chat's exit code (4 onwards) for each.
    chat +=
        "ABORT 'NO CARRIER'\nABORT 'ERROR'\nABORT 'BUSY'\nABORT 'NO DIALTONE'\n"
        "ABORT 'NO ANSWER'\n";
    chat += "TIMEOUT 10\n";
    chat += "'' 'AT'\n";
    if (!apn.empty())
        chat += "OK 'AT+CGDCONT=1,\"" + pdpType + "\",\"" + apn + "\"'\n";
    chat += "OK 'ATD" + number + "'\n";
    chat += "TIMEOUT 60\n";
    chat += "CONNECT ''\n";
    files.chat = std::move(chat);
    problem.clear();
    return kSuccess;
}

}  // namespace ras
