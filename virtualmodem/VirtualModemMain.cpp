// virtual-modem: runs the virtual data card on a pseudo-terminal linked at a path of your
// choice, until SIGINT or SIGTERM.
//
//   virtual-modem --link /tmp/card [--control /tmp/card.control] [--pin 1234]
//                 [--puk 12345678] [--pin-required on|off] [--quirk NAME[=VALUE]]...
#include "virtualmodem/ControlSocket.h"
#include "virtualmodem/VirtualModem.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

void usage(std::ostream &out)
{
    out << "usage: virtual-modem --link PATH [--control SOCKET] [--pin PIN] [--puk PUK]\n"
           "                     [--pin-required on|off] [--sim-busy MS]\n"
           "                     [--quirk NAME[=VALUE]]...   (see \"quirk\" in the README)\n";
}

bool isDigits(const std::string &text, size_t minimum, size_t maximum)
{
    return text.size() >= minimum && text.size() <= maximum &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string link;
    std::string control;
    virtualmodem::CardOptions options;
    std::vector<std::string> quirks;  // control lines: "quirk no-chains on"
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            usage(std::cout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "virtual-modem: " << option << " needs a value\n";
            usage(std::cerr);
            return 2;
        }
        const std::string value = argv[++i];
        if (option == "--link") {
            link = value;
        } else if (option == "--control") {
            control = value;
        } else if (option == "--pin") {
            if (!isDigits(value, 4, 8)) {
                std::cerr << "virtual-modem: the PIN must be 4 to 8 digits\n";
                return 2;
            }
            options.pin = value;
        } else if (option == "--puk") {
            if (!isDigits(value, 8, 8)) {
                std::cerr << "virtual-modem: the PUK must be 8 digits\n";
                return 2;
            }
            options.puk = value;
        } else if (option == "--pin-required") {
            if (value != "on" && value != "off") {
                std::cerr << "virtual-modem: --pin-required takes on or off\n";
                return 2;
            }
            options.pinRequired = value == "on";
        } else if (option == "--quirk") {
            // NAME (on) or NAME=VALUE, as the control socket's "quirk NAME VALUE".
            const auto equals = value.find('=');
            quirks.push_back("quirk " + value.substr(0, equals) + " " +
                             (equals == std::string::npos ? "on" : value.substr(equals + 1)));
        } else if (option == "--sim-busy") {
            if (!isDigits(value, 1, 6)) {
                std::cerr << "virtual-modem: --sim-busy takes milliseconds\n";
                return 2;
            }
            options.simBusyTime = std::chrono::milliseconds(std::stol(value));
        } else {
            std::cerr << "virtual-modem: unknown option " << option << "\n";
            usage(std::cerr);
            return 2;
        }
    }
    if (link.empty()) {
        usage(std::cerr);
        return 2;
    }

    // Signals are taken by sigwait below, never by a handler; block them before any thread
    // starts so every thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    virtualmodem::VirtualModem card(options);
    if (!card.start(link)) {
        std::cerr << "virtual-modem: " << card.lastError() << "\n";
        return 1;
    }
    for (const std::string &quirk : quirks) {
        const std::string answer = card.control(quirk);
        if (answer != "OK") {
            std::cerr << "virtual-modem: " << quirk << ": " << answer << "\n";
            return 2;
        }
    }
    virtualmodem::ControlSocket controlSocket(card);
    if (!control.empty()) {
        std::string error;
        if (!controlSocket.start(control, error)) {
            std::cerr << "virtual-modem: " << error << "\n";
            return 1;
        }
    }
    std::cout << "virtual-modem: card on " << card.devicePath() << std::endl;

    int received = 0;
    sigwait(&signals, &received);
    controlSocket.stop();
    card.stop();
    return 0;
}
