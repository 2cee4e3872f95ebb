// The control and data ports of the common card layouts, in a sysfs tree (and udev database)
// laid out as the kernel and udev lay them out, in the test's own folder.
#include "PortRoles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace lumacore;

namespace {

class PortRolesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *home = std::getenv("HOME");
        root = fs::path(home ? home : ".") /
               ("port-roles-" + std::string(::testing::UnitTest::GetInstance()
                                                ->current_test_info()
                                                ->name()));
        fs::remove_all(root);
        fs::create_directories(root / "sys" / "class" / "tty");
        fs::create_directories(root / "udev");
        layout = {(root / "sys").string(), (root / "udev").string(), "/dev"};
    }
    void TearDown() override { fs::remove_all(root); }

    struct Port {
        int interface;
        const char *tty;
        const char *name = "";  // the interface's own name, when it has one
        const char *udev = "";  // the port type udev gave it, when any
    };
    // A card with its serial ports; ttyACM ports are CDC ACM functions (the tty's device is
    // the interface), the others usb-serial ports (the tty is a child of the interface).
    void card(const std::string &device, const std::vector<Port> &ports)
    {
        for (const Port &port : ports) {
            const fs::path interface = root / "sys" / "devices" / device /
                                       (device + ":1." + std::to_string(port.interface));
            const std::string tty = port.tty;
            const bool acm = tty.rfind("ttyACM", 0) == 0;
            fs::create_directories(acm ? interface : interface / tty);
            std::ofstream(interface / "bInterfaceNumber") << "0" << port.interface << "\n";
            if (*port.name)
                std::ofstream(interface / "interface") << port.name << "\n";
            const fs::path ttyFolder = root / "sys" / "class" / "tty" / tty;
            fs::create_directories(ttyFolder);
            fs::create_directory_symlink(acm ? interface : interface / tty, ttyFolder / "device");
            const std::string numbers = "188:" + std::to_string(++minor);
            std::ofstream(ttyFolder / "dev") << numbers << "\n";
            if (*port.udev)
                std::ofstream(root / "udev" / ("c" + numbers))
                    << "E:ID_VENDOR=x\nE:ID_MM_CANDIDATE=1\nE:" << port.udev << "=1\n";
        }
    }

    fs::path root;
    PortLayout layout;
    int minor = 0;
};

TEST_F(PortRolesTest, ModemInterfaceIsTheDataPortAndNeverTheControlPort)
{
    struct Layout {
        const char *what;
        std::vector<Port> ports;
        std::vector<std::string> controls;  // best first
        std::string data;
    };
    const std::vector<Layout> layouts{
        {"option, three interfaces, nothing known: the modem comes first",
         {{0, "ttyUSB0"}, {1, "ttyUSB1"}, {2, "ttyUSB2"}},
         {"/dev/ttyUSB1", "/dev/ttyUSB2"},
         "/dev/ttyUSB0"},
        {"option, three named interfaces",
         {{0, "ttyUSB0", "Mobile Connect - Modem"},
          {1, "ttyUSB1", "Mobile Connect - Diagnostics"},
          {2, "ttyUSB2", "Mobile Connect - PCUI"}},
         {"/dev/ttyUSB2"},
         "/dev/ttyUSB0"},
        {"option, four interfaces typed by udev, the modem last",
         {{0, "ttyUSB0", "", "ID_MM_PORT_TYPE_QCDM"},
          {1, "ttyUSB1", "", "ID_MM_PORT_TYPE_GPS"},
          {2, "ttyUSB2", "", "ID_MM_PORT_TYPE_AT_PRIMARY"},
          {3, "ttyUSB3", "", "ID_MM_PORT_TYPE_AT_PPP"}},
         {"/dev/ttyUSB2"},
         "/dev/ttyUSB3"},
        {"qcserial: diagnostics, GPS and one modem port that does both",
         {{0, "ttyUSB0", "", "ID_MM_PORT_TYPE_QCDM"},
          {2, "ttyUSB1", "", "ID_MM_PORT_TYPE_GPS"},
          {3, "ttyUSB2"}},
         {"/dev/ttyUSB2"},
         "/dev/ttyUSB2"},
        {"cdc-acm, two AT functions", {{0, "ttyACM0"}, {2, "ttyACM1"}}, {"/dev/ttyACM1"},
         "/dev/ttyACM0"},
        {"a card with one port", {{0, "ttyACM0"}}, {"/dev/ttyACM0"}, "/dev/ttyACM0"},
    };
    for (const Layout &each : layouts) {
        fs::remove_all(root / "sys" / "devices");
        fs::remove_all(root / "sys" / "class" / "tty");
        fs::create_directories(root / "sys" / "class" / "tty");
        card("1-1", each.ports);
        EXPECT_EQ(controlPortCandidates(layout), each.controls) << each.what;
        for (const std::string &control : each.controls)
            EXPECT_EQ(dataPortFor(control, layout), each.data) << each.what;
    }
}

TEST_F(PortRolesTest, EachCardKeepsItsOwnRoles)
{
    card("1-1", {{0, "ttyUSB0"}, {1, "ttyUSB1"}});
    card("2-1", {{0, "ttyUSB2", "Modem"}, {1, "ttyUSB3", "Application"}});
    EXPECT_EQ(controlPortCandidates(layout),
              (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB3"}));
    EXPECT_EQ(dataPortFor("/dev/ttyUSB3", layout), "/dev/ttyUSB2");
    // A control port the user named, even the modem port, gets another port for data.
    EXPECT_EQ(dataPortFor("/dev/ttyUSB0", layout), "/dev/ttyUSB1");
    EXPECT_EQ(dataPortFor("/dev/ttyUSB9", layout), "");
}

}  // namespace
