// The card's name in a sysfs tree laid out as the kernel lays out USB serial cards.
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

TEST_F(DataPortTest, ProductNameOfTheCard)
{
    usbSerial("1-1", 0, "ttyUSB0");
    acm("3-1", 0, "ttyACM0");
    std::ofstream(root / "devices" / "1-1" / "product") << "E1550 HSDPA Modem\n";
    std::ofstream(root / "devices" / "3-1" / "product") << "F3507g\n";
    EXPECT_EQ(cardProductName("/dev/ttyUSB0", lookup), "E1550 HSDPA Modem");
    EXPECT_EQ(cardProductName("/dev/ttyACM0", lookup), "F3507g");
    EXPECT_EQ(cardProductName("/dev/ttyUSB9", lookup), "");
}

}  // namespace
