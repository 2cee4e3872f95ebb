// pppd's output and exit status, as pppd 2.4 and chat -v -s print them, turned into the error a
// user reads.
#include "platform/ras/PppdProgress.h"
#include "platform/ras/RasApi.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ras;

namespace {

TEST(PppdProgress, ExitAndOutputBecomeTheRightError)
{
    struct Case {
        std::vector<std::string> lines;
        int exitStatus;
        bool hungUp;
        uint32_t error;
    };
    const std::vector<Case> cases{
        {{"send (ATD*99#^M)", "expect (CONNECT)", "abort on (NO CARRIER)", "Connect script failed"},
         8,
         false,
         kNoCarrier},
        {{"send (AT+CGDCONT=1,\"IP\",\"bad\"^M)", "expect (OK)", "abort on (ERROR)"},
         8,
         false,
         kFromDevice},
        {{"send (ATD*99#^M)", "abort on (ERROR)"}, 8, false, kNoCarrier},
        {{"send (ATD*99#^M)", "abort on (BUSY)"}, 8, false, kLineBusy},
        {{"send (AT^M)", "expect (OK)", "alarm", "Failed (OK)"}, 8, false, kNoAnswer},
        {{"PAP authentication failed"}, 19, false, kAuthenticationFailure},
        {{"This system lacks kernel support for PPP."}, 4, false, kNotSupported},
        {{"pppd: must be root to run pppd, since it is not setuid-root"}, 3, false, kAccessDenied},
        {{"Can't open options file /etc/ppp/peers/lumadial: No such file or directory"},
         2,
         false,
         kPeerMustAuthenticate},
        {{"pppd: The remote system is required to authenticate itself"},
         1,
         false,
         kPeerMustAuthenticate},
        {{"Failed to open /dev/ttyUSB0: Permission denied"}, 7, false, kAccessDenied},
        {{"Device ttyUSB0 is locked by pid 4242"}, 6, false, kPortNotAvailable},
        {{"Modem hangup"}, 16, false, kPortDisconnected},
        {{"Terminating on signal 15"}, 5, true, kSuccess},
        {{"Terminating on signal 15"}, 5, false, kPortDisconnected},
        {{}, 0, false, kSuccess},
        {{}, 42, false, kDialerFailed},
    };
    for (const Case &test : cases) {
        PppdProgress progress;
        for (const auto &line : test.lines)
            progress.readLine(line);
        EXPECT_EQ(progress.errorForExit(test.exitStatus, test.hungUp), test.error)
            << (test.lines.empty() ? "" : test.lines.back()) << " exit " << test.exitStatus;
        EXPECT_FALSE(rasErrorText(test.error).empty() && test.error != kSuccess);
    }
}

TEST(PppdProgress, InterfaceAndConnectedFromPppdLines)
{
    PppdProgress progress;
    progress.readLine("Serial connection established.");
    progress.readLine("Using interface ppp3\r");
    progress.readLine("Connect: ppp3 <--> /dev/ttyUSB0");
    EXPECT_EQ(progress.interfaceName(), "ppp3");
    EXPECT_FALSE(progress.connected());
    progress.readLine("local  IP address 10.64.64.64");
    EXPECT_TRUE(progress.connected());
}

}  // namespace
