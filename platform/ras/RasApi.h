// The dial-up networking calls the program makes, in place of the system's RAS.
//
// A connection is dialled from a phonebook entry (built from the default profile), watched
// through its status and its statistics, and hung up. Two backends do the work: PppdBackend
// dials a real card's data port with pppd; VirtualBackend dials the virtual data card.
//
// Everything runs on the thread that owns the object (the GUI thread); what RAS reported with
// window messages is reported here with signals: the dial's progress (dialEvent), the end of a
// hang-up (hangUpFinished) and the connection going away (disconnected).
//
// Results are RAS-style error numbers (0 success; RasError below); errorString() turns one
// into a plain sentence.
#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ras {

using ConnectionHandle = uint32_t;  // 0: no connection
constexpr ConnectionHandle kNoConnection = 0;

// The error numbers this layer answers. They keep the numbers of the system the program was
// first written for, so a number shown to a user means the same thing everywhere.
enum RasError : uint32_t {
    kSuccess = 0,
    kNoRuntimeFolder = 3,     // $XDG_RUNTIME_DIR unset, or not a folder only the user may write
    kAccessDenied = 5,        // pppd may not be run by this user, or the port not opened
    kInvalidHandle = 6,       // no such connection (it has ended)
    kNotSupported = 50,       // the kernel has no PPP
    kInvalidParameter = 87,   // a profile field that cannot be given to the dialler safely
    kInvalidName = 123,       // an entry name that cannot be used
    kAlreadyExists = 183,     // the entry exists
    kEntryNotFound = 623,     // no such phonebook entry
    kPortDisconnected = 629,  // the modem hung up
    kPortNotAvailable = 633,  // the data port is locked or used by another program
    kFromDevice = 651,        // the card answered ERROR (it refused the access point)
    kLineBusy = 676,          // the card answered BUSY
    kNoAnswer = 678,          // the card did not answer
    kNoCarrier = 679,         // the network did not take the data call
    kAuthenticationFailure = 691,
    kDialerMissing = 692,         // pppd or chat is not installed
    kNegotiationFailed = 720,     // PPP did not come up
    kPeerNotResponding = 734,     // the link stopped answering
    kDeviceNotFound = 797,        // the card has no data port
    kPeerMustAuthenticate = 917,  // the system's pppd options demand that the network authenticates
    kDialerFailed = 1000,         // pppd ended with a failure this layer has no better words for
};

// A device that can be dialled. The card's data port is listed with type "modem".
struct DialDevice {
    std::string type;  // "modem"
    std::string name;  // the card's name
    std::string port;  // the data port, e.g. /dev/ttyUSB0
};

// What a phonebook entry holds (the default profile, turned into dialling terms).
struct PhonebookEntry {
    std::string name;                  // the profile's name
    std::string number;                // the dial number, e.g. *99#
    std::string deviceName;            // DialDevice::name of the card
    std::string deviceType;            // "modem"
    std::string apn;                   // empty: the card's own context is used
    std::string pdpType;               // "IP" or "PPP"
    bool requireChap = false;          // else PAP
    bool specificIpAddress = false;    // the PDP address is fixed
    std::string ipAddress;             // with specificIpAddress
    bool specificNameServers = false;  // else the network's name servers
    std::array<uint8_t, 4> primaryDns{};
    std::array<uint8_t, 4> secondaryDns{};
};

struct DialParams {
    std::string entryName;
    std::string number;
    std::string userName;
    std::string password;
};

enum ConnectionState : uint32_t {
    kConnecting = 0,
    kConnected = 0x2000,     // 8192
    kDisconnected = 0x2001,  // 8193
};

struct ConnectionStatus {
    ConnectionState state = kDisconnected;
    uint32_t error = kSuccess;
    std::string deviceName;
};

struct ActiveConnection {
    ConnectionHandle handle = kNoConnection;
    std::string entryName;
    std::string deviceName;
};

// Counters since the last clear, 64-bit as the kernel keeps them (the caller still clears them
// once one passes the 32-bit limit RAS counters had).
struct Statistics {
    uint64_t bytesSent = 0;
    uint64_t bytesReceived = 0;
    uint32_t connectDurationMs = 0;
};

class RasApi : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~RasApi() override = default;

    virtual uint32_t enumDevices(std::vector<DialDevice> &devices) = 0;
    // 0 when the name can be used and no entry has it; kAlreadyExists; kInvalidName.
    virtual uint32_t validateEntryName(const std::string &name) = 0;
    // Creates or replaces the entry.
    virtual uint32_t setEntryProperties(const PhonebookEntry &entry) = 0;
    virtual uint32_t deleteEntry(const std::string &name) = 0;

    // Starts dialling; progress comes as dialEvent. On success handle names the connection.
    virtual uint32_t dial(const DialParams &params, ConnectionHandle &handle) = 0;
    // kInvalidHandle once the connection has ended.
    virtual uint32_t getConnectStatus(ConnectionHandle handle, ConnectionStatus &status) = 0;
    virtual uint32_t getStatistics(ConnectionHandle handle, Statistics &statistics) = 0;
    virtual uint32_t clearStatistics(ConnectionHandle handle) = 0;
    // Starts hanging up; hangUpFinished follows (at once when there is nothing to hang up).
    virtual uint32_t hangUp(ConnectionHandle handle) = 0;
    virtual uint32_t enumConnections(std::vector<ActiveConnection> &connections) = 0;

    // A name for the connection that stays the same while it lasts and is never given to
    // another; empty when this layer has none.
    virtual std::string connectionIdentity(ConnectionHandle handle) const
    {
        (void)handle;
        return {};
    }
    // A plain sentence for an error number; empty for a number this layer does not know.
    virtual std::string errorString(uint32_t error) const;

signals:
    // state is a ConnectionState; error is nonzero when the dial failed.
    void dialEvent(ras::ConnectionHandle handle, uint32_t state, uint32_t error);
    void hangUpFinished(ras::ConnectionHandle handle, uint32_t result);
    // The connection ended after it was up (the card hung up, the link died, pppd ended).
    void disconnected(ras::ConnectionHandle handle);
};

// Plain sentences for the error numbers above; empty for others.
std::string rasErrorText(uint32_t error);

}  // namespace ras
