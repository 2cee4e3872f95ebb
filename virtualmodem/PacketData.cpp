// Packet data: PDP contexts (+CGDCONT) and attachment (+CGATT).
#include "virtualmodem/Modem.h"
#include "virtualmodem/Network.h"

#include <algorithm>

namespace virtualmodem {

namespace {

constexpr int kMaxContext = 16;
constexpr size_t kMaxApnLength = 100;
const std::vector<std::string> kPdpTypes{"IP", "IPV6", "IPV4V6", "PPP"};

Result defineContext(Modem &modem, const AtCommand &command)
{
    auto &contexts = modem.state().contexts;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > 6)
            return Result::error();
        const auto cid = numberArgument(*values, 0, 1, kMaxContext);
        if (!cid)
            return Result::cme(cme::kInvalidIndex);
        if (values->size() == 1) {
            // A context id alone undefines the context.
            contexts.erase(static_cast<int>(*cid));
            return Result::ok();
        }
        PdpContext context;
        const auto type = textArgument(*values, 1);
        if (!type)
            return Result::error();
        context.type = toUpper(*type);
        if (std::find(kPdpTypes.begin(), kPdpTypes.end(), context.type) == kPdpTypes.end()) {
            return Result::cme(cme::kNotSupported);
        }
        context.apn = textArgument(*values, 2).value_or("");
        if (context.apn.size() > kMaxApnLength)
            return Result::cme(cme::kTextTooLong);
        context.address = textArgument(*values, 3).value_or("");
        if (values->size() > 4 && !(*values)[4].empty()) {
            const auto compression = numberArgument(*values, 4, 0, 2);
            if (!compression)
                return Result::error();
            context.dataCompression = static_cast<int>(*compression);
        }
        if (values->size() > 5 && !(*values)[5].empty()) {
            const auto compression = numberArgument(*values, 5, 0, 4);
            if (!compression)
                return Result::error();
            context.headerCompression = static_cast<int>(*compression);
        }
        contexts[static_cast<int>(*cid)] = context;
        return Result::ok();
    }
    case AtKind::Read: {
        std::vector<std::string> lines;
        for (const auto &[cid, context] : contexts) {
            lines.push_back("+CGDCONT: " + std::to_string(cid) + ",\"" + context.type + "\",\"" +
                            context.apn + "\",\"" + context.address + "\"," +
                            std::to_string(context.dataCompression) + "," +
                            std::to_string(context.headerCompression));
        }
        return Result::ok(std::move(lines));
    }
    case AtKind::Test: {
        std::vector<std::string> lines;
        for (const std::string &type : kPdpTypes) {
            lines.push_back("+CGDCONT: (1-" + std::to_string(kMaxContext) + "),\"" + type +
                            "\",,,(0-2),(0-4)");
        }
        return Result::ok(std::move(lines));
    }
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result packetAttach(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        const auto attach = numberArgument(*values, 0, 0, 1);
        if (!attach)
            return Result::error();
        state.network.packetAttached = *attach == 1;
        if (*attach == 1) {
            const int status = psRegistration(state).status;
            if (status != 1 && status != 5)
                return Result::cme(cme::kNoNetworkService);
        }
        return Result::ok();
    }
    case AtKind::Read: {
        const int status = psRegistration(state).status;
        return Result::ok({std::string("+CGATT: ") + (status == 1 || status == 5 ? "1" : "0")});
    }
    case AtKind::Test: return Result::ok({"+CGATT: (0,1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

}  // namespace

void registerPacketDataCommands(CommandTable &table)
{
    table.add("+CGDCONT", defineContext);
    table.add("+CGATT", packetAttach);
}

}  // namespace virtualmodem
