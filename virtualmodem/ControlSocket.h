// A Unix stream socket that takes the card's control language, one command per line, and
// answers each with one line ("OK" or "ERROR <reason>"). Several clients may be connected.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace virtualmodem {

class VirtualModem;

class ControlSocket {
public:
    explicit ControlSocket(VirtualModem &card);
    ControlSocket(const ControlSocket &) = delete;
    ControlSocket &operator=(const ControlSocket &) = delete;
    ~ControlSocket();

    // Listens at path. A socket left there by an earlier run is replaced; a live one (someone
    // answers) or any other file is an error, described in error.
    bool start(const std::string &path, std::string &error);
    void stop();

private:
    void serve();

    VirtualModem &m_card;
    std::string m_path;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace virtualmodem
