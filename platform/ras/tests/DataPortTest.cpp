// Finding the data port in a sysfs tree laid out as the kernel lays out USB serial cards.
#include "platform/ras/DataPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace ras;

namespace {

class DataPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("ras-sysfs-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "class" / "tty");
        lookup = {root.string(), "/dev"};
    }
    void TearDown() override { fs::remove_all(root); }

    // A usb-serial port (ttyUSB): the tty is a child of the interface's port device.
    void usbSerial(const std::string &device, int interface, const std::string &tty)
    {
        const fs::path folder =
            root / "devices" / device / (device + ":1." + std::to_string(interface));
        fs::create_directories(folder / tty);
        std::ofstream(folder / "bInterfaceNumber") << "0" << interface << "\n";
        link(tty, folder / tty);
    }
    // A CDC ACM port: the tty's device is the interface itself.
    void acm(const std::string &device, int interface, const std::string &tty)
    {
        const fs::path folder =
            root / "devices" / device / (device + ":1." + std::to_string(interface));
        fs::create_directories(folder);
        link(tty, folder);
    }
    void link(const std::string &tty, const fs::path &target)
    {
        fs::create_directories(root / "class" / "tty" / tty);
        fs::create_directory_symlink(target, root / "class" / "tty" / tty / "device");
    }

    fs::path root;
    DataPortLookup lookup;
};

TEST_F(DataPortTest, OtherSerialInterfaceOfTheSameCard)
{
    // Two cards: 1-1 with modem, diagnostics and control ports; 2-1 with two ports.
    usbSerial("1-1", 0, "ttyUSB0");
    usbSerial("1-1", 1, "ttyUSB1");
    usbSerial("1-1", 2, "ttyUSB2");
    usbSerial("2-1", 0, "ttyUSB3");
    usbSerial("2-1", 3, "ttyUSB4");
    std::ofstream(root / "devices" / "1-1" / "product") << "E1550 HSDPA Modem\n";

    EXPECT_EQ(findDataPort("/dev/ttyUSB2", lookup), "/dev/ttyUSB0");
    EXPECT_EQ(findDataPort("/dev/ttyUSB0", lookup), "/dev/ttyUSB1");
    EXPECT_EQ(findDataPort("/dev/ttyUSB4", lookup), "/dev/ttyUSB3");
    EXPECT_EQ(findDataPort("/dev/ttyUSB9", lookup), "");  // not a port we know
    EXPECT_EQ(findDataPort("", lookup), "/dev/ttyUSB0");  // no control port named: first card
    EXPECT_EQ(cardProductName("/dev/ttyUSB0", lookup), "E1550 HSDPA Modem");
}

TEST_F(DataPortTest, AcmDataFunctionAndLoneports)
{
    acm("3-1", 0, "ttyACM0");
    acm("3-1", 2, "ttyACM1");
    acm("4-1", 0, "ttyACM2");  // a card with one port has no data port
    EXPECT_EQ(findDataPort("/dev/ttyACM1", lookup), "/dev/ttyACM0");
    EXPECT_EQ(findDataPort("/dev/ttyACM0", lookup), "/dev/ttyACM1");
    EXPECT_EQ(findDataPort("/dev/ttyACM2", lookup), "");
}

}  // namespace
