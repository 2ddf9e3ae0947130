// The library as the program sees it: the C functions over a bench, through libmoxtausbdll.so.

#include "moxtasim.h"
#include "moxtausbdll.h"

#include "hextext.h"

#include <gtest/gtest.h>

#include "testfiles.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

using testfiles::slurp;
using testfiles::spit;
using testfiles::tempPath;

const char* const kBench = "[bench]\nlin_baud=0\n"
                           "[adapter:ZB-A]\nserial=100001\n"
                           "[adapter:ZB-BUSY]\nserial=100002\nin_use=1\n"
                           "[adapter:ZB-OLD]\nserial=1234567\nusable=0\n"
                           "[box:ZB-A:0]\nhardware_id=80\nrevision=3\nproduct_class=2\nsoftware=40123\nversion=123\n"
                           "serial=240611-0042\ndate=20240611\nactivations=1200\nsit_stands=340\npowered_seconds=5000\n"
                           "errors=4000:18,3661:2\nconfig_type=KVR5E\n"
                           "[box:ZB-A:1]\nhardware_id=90\nbusy=-1\nconfig_type=MZ40\n"
                           "[box:ZB-OLD:0]\nbusy=1\n";




std::string hexImage(std::size_t size)
{
    return hextext::image(size);
}

class Api : public ::testing::Test
{
protected:
    void SetUp() override
    {
        moxtasim::reset();
        std::string error;
        ASSERT_TRUE(moxtasim::loadBench(kBench, &error)) << error;
    }

    // The adapter open and ready to talk to boxes, with a KVR5E session.
    void connect()
    {
        ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
        ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
        ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    }

    static std::string name(int index)
    {
        char buf[100];
        return lin_GetConfigNameExt(buf, sizeof buf, index) == 0 ? std::string(buf) : std::string();
    }
};

TEST_F(Api, AdaptersAreFoundOpenedAndIdentified)
{
    char list[1024];
    EXPECT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 3);
    EXPECT_STREQ(list, "ZB-A\tZB-BUSY\tZB-OLD");

    EXPECT_EQ(zbx_OpenSpecificDevice("ZB-BUSY") & 0xFF, 0); // in use elsewhere
    EXPECT_EQ(zbx_OpenSpecificDevice("nothing") & 0xFF, 0);
    EXPECT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 0); // nothing open

    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-OLD") & 0xFF, 1);
    EXPECT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 0); // too old for configuration
    EXPECT_EQ(zbx_SetUsageOfControlLink(0) & 0xFF, 1);
    unsigned char serial[20];
    ASSERT_EQ(zbx_GetZubrexSerial(serial, sizeof serial) & 0xFF, 1);
    EXPECT_EQ(std::memcmp(serial, "1\0" "2\0" "3\0" "4\0" "5\0" "6\0" "7\0" "\0", 16), 0);

    // Opening another closes the one before, even when the new one fails.
    EXPECT_EQ(zbx_OpenSpecificDevice("ZB-BUSY") & 0xFF, 0);
    EXPECT_EQ(zbx_GetZubrexSerial(serial, sizeof serial) & 0xFF, 0);

    EXPECT_EQ(zbx_IdentifyZubrex("ZB-A") & 0xFF, 1);
    EXPECT_EQ(zbx_IdentifyZubrex("ZB-X") & 0xFF, 0);
}

TEST_F(Api, SensingSeesAnsweringBoxesOnlyWithUsage0)
{
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    unsigned char frame[8];
    EXPECT_GT(zbx_GetData(frame) & 0xFF, 0x80);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    EXPECT_EQ(zbx_GetData(frame) & 0xFF, 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(0) & 0xFF, 1);
    ASSERT_TRUE(moxtasim::unplug("ZB-A", 0));
    ASSERT_TRUE(moxtasim::unplug("ZB-A", 1));
    EXPECT_EQ(zbx_GetData(nullptr) & 0xFF, 0);
    zbx_CloseDevice();
    ASSERT_TRUE(moxtasim::plug("ZB-A", 0));
    EXPECT_EQ(zbx_GetData(frame) & 0xFF, 0); // closed
}

TEST_F(Api, SessionWithoutOpenAndWithUnknownTypes)
{
    uint16_t v = 0;
    char buf[100];
    EXPECT_EQ(lin_GetConfig("channel1", &v), -28);
    EXPECT_EQ(lin_SetConfig("channel1", 1), -28);
    EXPECT_EQ(lin_GetConfigDefault("channel1", &v), -28);
    EXPECT_EQ(lin_GetStringConfig("ConfType", buf, sizeof buf), -28);
    EXPECT_EQ(lin_SetStringConfig("ConfType", "x"), -28);
    EXPECT_EQ(lin_GetConfigNameExt(buf, sizeof buf, 0), -28);
    EXPECT_LT(lin_GetConfigMemBlockName(buf, 40, 0), 0);
    EXPECT_EQ(lin_SaveConfig(tempPath("x.cfg").c_str(), nullptr, 1), -28);
    EXPECT_EQ(lin_CloseConfig(), -28);

    const int16_t count = lin_OpenConfig("KVR5E", 0, 0);
    ASSERT_GT(count, 0);
    ASSERT_EQ(lin_SetConfig("channel1", 7), 0);
    EXPECT_EQ(lin_OpenConfig("KVR6", 0, 0), -29);
    EXPECT_EQ(lin_OpenConfig(nullptr, 0, 0), -29);
    ASSERT_EQ(lin_GetConfig("channel1", &v), 0);
    EXPECT_EQ(v, 7); // the refused open left the session as it was
    EXPECT_EQ(lin_GetConfig("no_such_parameter", &v), -31);
    EXPECT_EQ(lin_SetConfig("CHANNEL1", 1), -31); // names are exact
    EXPECT_EQ(lin_GetConfig(nullptr, &v), -24);
    EXPECT_EQ(lin_GetConfig("channel1", nullptr), -24);

    // A re-open starts from the defaults again.
    ASSERT_EQ(lin_OpenConfig("KVR5E", 0, 0), count);
    uint16_t def = 0;
    ASSERT_EQ(lin_GetConfigDefault("channel1", &def), 0);
    ASSERT_EQ(lin_GetConfig("channel1", &v), 0);
    EXPECT_EQ(v, def);
}

TEST_F(Api, NamesAndBlocksEnumerateTheLayout)
{
    for (const char* type : {"KVR5E", "MZ40"}) {
        const int16_t count = lin_OpenConfig(type, 0, 0);
        ASSERT_GT(count, 0) << type;
        for (int k = 0; k < count; ++k) {
            const std::string n = name(k);
            ASSERT_FALSE(n.empty()) << type << " " << k;
            uint16_t v = 0;
            ASSERT_EQ(lin_GetConfig(n.c_str(), &v), 0) << n;
        }
        char buf[100];
        EXPECT_EQ(lin_GetConfigNameExt(buf, sizeof buf, count), -24);
        EXPECT_EQ(lin_GetConfigNameExt(buf, sizeof buf, -1), -24);
        int blocks = 0;
        while (lin_GetConfigMemBlockName(buf, 40, blocks) >= 0) {
            EXPECT_GT(std::strlen(buf), 0u);
            ++blocks;
        }
        EXPECT_GT(blocks, 0);
    }
}

TEST_F(Api, StringParameters)
{
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    char buf[232];
    ASSERT_EQ(lin_GetStringConfig("ConfType", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, ""); // a fresh session names no product
    ASSERT_EQ(lin_SetStringConfig("ConfType", "WZQ"), 0);
    ASSERT_EQ(lin_GetStringConfig("ConfType", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "WZQ");
    EXPECT_EQ(lin_SetStringConfig("ConfType", std::string(232, 'x').c_str()), -16);
    EXPECT_EQ(lin_SetStringConfig("ConfType", std::string(231, 'x').c_str()), 0);
    EXPECT_EQ(lin_SetStringConfig("ConfType", "two\nlines"), -24);
    EXPECT_EQ(lin_SetStringConfig("no_such_string", "x"), -31);
    EXPECT_EQ(lin_GetStringConfig("channel1", buf, sizeof buf), -31); // a number, not a string
}

TEST_F(Api, BuffersAreCutAndNeverOverrun)
{
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetStringConfig("ConfType", "LONGER-TEXT"), 0);
    // Exactly sized heap buffers: AddressSanitizer stops any write past them.
    for (int size : {1, 2, 3, 5}) {
        std::unique_ptr<char[]> buf(new char[std::size_t(size)]);
        const std::size_t max = std::size_t(size) - 1;
        zbx_FindAllMoxtaDevices(buf.get(), size);
        EXPECT_EQ(std::string(buf.get()), std::string("ZB-A\tZB-BUSY").substr(0, max));
        ASSERT_EQ(lin_GetStringConfig("ConfType", buf.get(), size), 0);
        EXPECT_EQ(std::string(buf.get()), std::string("LONGER-TEXT").substr(0, max));
        ASSERT_EQ(lin_GetConfigNameExt(buf.get(), size, 0), 0);
        EXPECT_EQ(std::string(buf.get()), name(0).substr(0, max));
        ASSERT_GE(lin_GetConfigMemBlockName(buf.get(), size, 0), 0);
        EXPECT_EQ(std::strlen(buf.get()), std::min<std::size_t>(max, std::strlen(buf.get())));
        ASSERT_EQ(lin_GetErrorMessage(-2, buf.get(), size), 0);
        EXPECT_EQ(std::string(buf.get()), std::string("ERROR_READ_TIMEOUT").substr(0, max));
    }
    // A null buffer or a size below 1 gets nothing.
    EXPECT_EQ(zbx_FindAllMoxtaDevices(nullptr, 100), 3);
    char untouched[4] = {'a', 'b', 'c', 'd'};
    zbx_FindAllMoxtaDevices(untouched, 0);
    EXPECT_EQ(lin_GetStringConfig("ConfType", untouched, 0), -24);
    EXPECT_EQ(lin_GetErrorMessage(0, untouched, -5), -24);
    EXPECT_EQ(std::memcmp(untouched, "abcd", 4), 0);

    // The adapter serial: whole UTF-16 characters only, always terminated.
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    for (int size : {2, 3, 7}) {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[std::size_t(size)]);
        ASSERT_EQ(zbx_GetZubrexSerial(buf.get(), size) & 0xFF, 1);
        const int chars = size / 2 - 1;
        EXPECT_EQ(buf[std::size_t(2 * chars)], 0);
        EXPECT_EQ(buf[std::size_t(2 * chars + 1)], 0);
    }
    unsigned char one[1] = {0x55};
    EXPECT_EQ(zbx_GetZubrexSerial(one, 1) & 0xFF, 0);
    EXPECT_EQ(one[0], 0x55);

    // Loading hands the stored firmware path back cut to the buffer.
    const std::string path = tempPath("hex.cfg");
    ASSERT_EQ(lin_SaveConfig(path.c_str(), "/firmware/box.hex", 1), 0);
    std::unique_ptr<char[]> hex(new char[6]);
    ASSERT_EQ(lin_LoadConfig(path.c_str(), hex.get(), 6), 0);
    EXPECT_STREQ(hex.get(), "/firm");
    std::remove(path.c_str());
}

TEST_F(Api, ErrorMessages)
{
    char buf[64];
    const struct
    {
        int16_t status;
        const char* text;
    } cases[] = {{0, "OK"}, {-1, "ERROR_GEN_READWRITE"}, {-29, "ERROR_CFG_NO_SUCH_CONFIG"}, {-35, "Unknown error code"},
                 {-52, "ERROR_NO_DOWNLOAD"}, {1, "Unknown error code"}, {-32768, "Unknown error code"}};
    for (const auto& c : cases) {
        ASSERT_EQ(lin_GetErrorMessage(c.status, buf, sizeof buf), 0);
        EXPECT_STREQ(buf, c.text) << c.status;
    }
}

TEST_F(Api, ConfigurationFilesRoundTrip)
{
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    const std::string a = name(0);
    const std::string b = name(1);
    ASSERT_EQ(lin_SetConfig(a.c_str(), 65535), 0);
    ASSERT_EQ(lin_SetConfig(b.c_str(), 0), 0);
    ASSERT_EQ(lin_SetStringConfig("ConfType", "RQ9"), 0);
    ASSERT_EQ(lin_SetConfigResetToDefaults(1), 0);
    const std::string path = tempPath("round.cfg");
    ASSERT_EQ(lin_SaveConfig(path.c_str(), "/fw/app.hex", 1), 0);
    const std::string saved = slurp(path);

    ASSERT_GT(lin_OpenConfig("MZ40", 0, 0), 0);
    EXPECT_EQ(lin_GetConfigResetToDefaults() & 0xFF, 0);
    char hex[1024];
    ASSERT_EQ(lin_LoadConfig(path.c_str(), hex, sizeof hex), 0);
    EXPECT_STREQ(hex, "/fw/app.hex");
    EXPECT_NE(lin_GetConfigResetToDefaults() & 0xFF, 0);
    uint16_t v = 1;
    ASSERT_EQ(lin_GetConfig(b.c_str(), &v), 0); // the session took the file's KVR5E layout
    EXPECT_EQ(v, 0);
    char text[232];
    ASSERT_EQ(lin_GetStringConfig("ConfType", text, sizeof text), 0);
    EXPECT_STREQ(text, "RQ9");

    // Saved again unchanged, the file is the same byte for byte.
    ASSERT_EQ(lin_SaveConfig(path.c_str(), "/fw/app.hex", 1), 0);
    EXPECT_EQ(slurp(path), saved);
    // Without a firmware path, an empty one.
    ASSERT_EQ(lin_SaveConfig(path.c_str(), nullptr, 1), 0);
    ASSERT_EQ(lin_LoadConfig(path.c_str(), hex, sizeof hex), 0);
    EXPECT_STREQ(hex, "");
    std::remove(path.c_str());
}

TEST_F(Api, BrokenOrMissingFilesLeaveTheSessionAsItWas)
{
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetConfig("channel2", 1234), 0);
    const std::string broken = tempPath("broken.cfg");
    spit(broken, "[configuration]\ntype=KVR5E\n[parameters]\nchannel2=70000\n");
    char hex[16] = "unchanged";
    EXPECT_EQ(lin_LoadConfig(broken.c_str(), hex, sizeof hex), -18);
    EXPECT_EQ(lin_LoadConfig(tempPath("missing.cfg").c_str(), hex, sizeof hex), -30);
    EXPECT_EQ(lin_LoadConfig(nullptr, hex, sizeof hex), -30);
    EXPECT_STREQ(hex, "unchanged");
    uint16_t v = 0;
    ASSERT_EQ(lin_GetConfig("channel2", &v), 0);
    EXPECT_EQ(v, 1234);

    EXPECT_EQ(lin_SaveConfig(nullptr, nullptr, 1), -20);
    EXPECT_EQ(lin_SaveConfig((tempPath("no-such-dir") + "/x.cfg").c_str(), nullptr, 1), -32);
    std::remove(broken.c_str());
}

TEST_F(Api, BoxIdentity)
{
    connect();
    int32_t software = 0;
    uint16_t version = 0;
    uint16_t a = 9;
    uint16_t b = 9;
    ASSERT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, &a, &b), 0);
    EXPECT_EQ(software, 40123);
    EXPECT_EQ(version, 123);
    char serial[16];
    char date[16];
    const int16_t production = lin_RC_GetProductionInfo(0, serial, date);
    EXPECT_EQ(production & 0xFF, 80);
    EXPECT_EQ((production >> 8) & 0xFF, 3);
    EXPECT_STREQ(serial, "240611-0042");
    EXPECT_STREQ(date, "20240611");
    unsigned char product[64];
    ASSERT_EQ(lin_GetRC_ProductInfo(0, product), 0);
    EXPECT_EQ(product[1], 2);
    uint32_t activations = 0;
    uint32_t sitStands = 0;
    ASSERT_EQ(lin_RC_GetActivations32(0, &activations, &sitStands), 0);
    EXPECT_EQ(activations, 1200u);
    EXPECT_EQ(sitStands, 340u);
    EXPECT_EQ(lin_RC_GetConfigBusy(0), 0);
    EXPECT_LT(lin_RC_GetConfigBusy(1), 0); // the slave does not support the query

    unsigned char powered[64];
    ASSERT_EQ(lin_RC_DoAny(0, 22, 64, powered), 0);
    const uint32_t seconds = uint32_t(powered[1]) | uint32_t(powered[2]) << 8 | uint32_t(powered[3]) << 16
                             | uint32_t(powered[4]) << 24;
    EXPECT_GE(seconds, 5000u);
    EXPECT_LT(seconds, 5100u);
    EXPECT_LT(lin_RC_DoAny(0, 23, 64, powered), 0);

    unsigned char errors[64];
    std::memset(errors, 0xEE, sizeof errors);
    ASSERT_EQ(lin_RC_GetErrors(0, errors), 0);
    const unsigned char expected[12] = {0xA0, 0x0F, 0, 0, 18, 0, 0x4D, 0x0E, 0, 0, 2, 0}; // 4000:18, 3661:2
    EXPECT_EQ(std::memcmp(errors, expected, sizeof expected), 0);
    for (std::size_t i = sizeof expected; i < sizeof errors; ++i)
        EXPECT_EQ(errors[i], 0) << i;
}

TEST_F(Api, BoxCallsNeedAnAnsweringBoxAndUsage8)
{
    int32_t software = 0;
    uint16_t version = 0;
    EXPECT_LT(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), 0); // no adapter
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    EXPECT_LT(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), 0); // usage 0
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    EXPECT_EQ(lin_RC_GetSoftwareVersion(2, &software, &version, nullptr, nullptr), -2); // nobody there
    EXPECT_EQ(lin_RC_GetSoftwareVersion(200, &software, &version, nullptr, nullptr), -2);
    ASSERT_TRUE(moxtasim::unplug("ZB-A", 0));
    EXPECT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), -2);
    EXPECT_EQ(lin_RC_GetProductionInfo(0, nullptr, nullptr), -2);
    ASSERT_TRUE(moxtasim::plug("ZB-A", 0));
    EXPECT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), 0);
}

TEST_F(Api, ReadAndProgram)
{
    connect();
    ASSERT_EQ(lin_SetConfig("channel1", 4242), 0);
    ASSERT_EQ(lin_SetStringConfig("ConfType", "WZQ"), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    ASSERT_EQ(lin_RC_ActivateConfig(0), 0);
    moxtasim::BoxState box;
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, box));
    EXPECT_EQ(box.programmed, 1);
    EXPECT_EQ(box.activated, 1);

    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    EXPECT_EQ(lin_ConfigRunMode() & 0xFF, 0);
    ASSERT_GE(lin_ReadConfigRunMode(0, 1), 1);
    EXPECT_NE(lin_ConfigRunMode() & 0xFF, 0);
    uint16_t v = 0;
    ASSERT_EQ(lin_GetConfig("channel1", &v), 0);
    EXPECT_EQ(v, 4242);
    char text[232];
    ASSERT_EQ(lin_GetStringConfig("ConfType", text, sizeof text), 0);
    EXPECT_STREQ(text, "WZQ");

    moxtasim::StoredConfiguration stored;
    ASSERT_TRUE(moxtasim::storedConfiguration("ZB-A", 0, stored));
    EXPECT_EQ(stored.type, "KVR5E");
    bool found = false;
    for (const auto& [n, value] : stored.values)
        found = found || (n == "channel1" && value == 4242);
    EXPECT_TRUE(found);

    // The slave holds an MZ40 configuration: a KVR5E session cannot take it, nor be programmed into it.
    EXPECT_EQ(lin_ReadConfigRunMode(1, 1), -33);
    EXPECT_EQ(lin_ProgramConfigRunMode(1, 1, 1), -33);
    ASSERT_GT(lin_OpenConfig("MZ40", 0, 0), 0);
    EXPECT_GE(lin_ReadConfigRunMode(1, 1), 1);
    EXPECT_EQ(lin_ReadConfigRunMode(3, 1), -2);
    ASSERT_EQ(lin_CloseConfig(), 0);
    EXPECT_EQ(lin_ReadConfigRunMode(1, 1), -28);
}

TEST_F(Api, FactoryDefaultsMarkProgramsTheDefaults)
{
    connect();
    ASSERT_EQ(lin_SetConfig("channel1", 4242), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetConfig("channel1", 1111), 0);
    ASSERT_EQ(lin_SetConfigResetToDefaults(1), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    ASSERT_GE(lin_ReadConfigRunMode(0, 1), 1);
    uint16_t v = 0;
    uint16_t def = 0;
    ASSERT_EQ(lin_GetConfig("channel1", &v), 0);
    ASSERT_EQ(lin_GetConfigDefault("channel1", &def), 0);
    EXPECT_EQ(v, def);
    EXPECT_EQ(lin_GetConfigResetToDefaults() & 0xFF, 0); // a read clears the mark
}

TEST_F(Api, ABoxThatKeepsParametersIgnoresThemSilently)
{
    std::string error;
    ASSERT_TRUE(moxtasim::loadBench("[bench]\nlin_baud=0\n[adapter:ZB-A]\n[box:ZB-A:0]\nkeeps=channel1\n", &error)) << error;
    connect();
    uint16_t before = 0;
    ASSERT_EQ(lin_GetConfig("channel1", &before), 0);
    ASSERT_EQ(lin_SetConfig("channel1", uint16_t(before + 1)), 0);
    ASSERT_EQ(lin_SetConfig("channel2", 4242), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    ASSERT_GE(lin_ReadConfigRunMode(0, 1), 1);
    uint16_t v = 0;
    ASSERT_EQ(lin_GetConfig("channel1", &v), 0);
    EXPECT_EQ(v, before);
    ASSERT_EQ(lin_GetConfig("channel2", &v), 0);
    EXPECT_EQ(v, 4242);
}

TEST_F(Api, ProgrammingWritesTheBoxFileAtomically)
{
    const std::string dir = ::testing::TempDir();
    const std::string cfg = "api-box-" + std::to_string(::getpid()) + ".cfg";
    std::remove((dir + cfg).c_str());
    const std::string bench = "[bench]\nlin_baud=0\n[adapter:A]\n[box:A:0]\nconfig=" + cfg + "\n";
    const std::string benchPath = dir + "api-bench-" + std::to_string(::getpid()) + ".ini";
    spit(benchPath, bench);
    std::string error;
    ASSERT_TRUE(moxtasim::loadBenchFile(benchPath, &error)) << error;

    ASSERT_EQ(zbx_OpenSpecificDevice("A") & 0xFF, 1);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetConfig("channel3", 77), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    const std::string written = slurp(dir + cfg);
    EXPECT_NE(written.find("channel3=77\n"), std::string::npos);

    // A new start of the bench reads the box's configuration back from its file.
    moxtasim::reset();
    ASSERT_TRUE(moxtasim::loadBenchFile(benchPath, &error)) << error;
    moxtasim::StoredConfiguration stored;
    ASSERT_TRUE(moxtasim::storedConfiguration("A", 0, stored));
    bool found = false;
    for (const auto& [n, value] : stored.values)
        found = found || (n == "channel3" && value == 77);
    EXPECT_TRUE(found);
    std::remove((dir + cfg).c_str());
    std::remove(benchPath.c_str());
}

TEST_F(Api, InitializationLockResetAndMemoryErase)
{
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    EXPECT_LT(lin_RC_DoAny(129, 0x8026, 0, nullptr), 0); // usage 0
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    EXPECT_EQ(lin_RC_DoAny(129, 0x8026, 0, nullptr) & 0xFF, 0);
    moxtasim::BoxState master;
    moxtasim::BoxState slave;
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, master));
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 1, slave));
    EXPECT_EQ(master.initLockResets, 1);
    EXPECT_EQ(slave.initLockResets, 1);

    // The handset command erases only when sent three times with usage 4.
    EXPECT_LT(lin_SetHandsetCommand(78, 78), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(4) & 0xFF, 1);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(lin_SetHandsetCommand(78, 78), 0);
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, master));
    EXPECT_EQ(master.memoryPositionErasures, 0);
    ASSERT_EQ(lin_SetHandsetCommand(78, 78), 0);
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, master));
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 1, slave));
    EXPECT_EQ(master.memoryPositionErasures, 1);
    EXPECT_EQ(slave.memoryPositionErasures, 1);

    ASSERT_TRUE(moxtasim::unplug("ZB-A", 0));
    ASSERT_TRUE(moxtasim::unplug("ZB-A", 1));
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    EXPECT_EQ(lin_RC_DoAny(129, 0x8026, 0, nullptr), -2); // nobody answers
}

std::vector<int> g_progress;
int g_stopAt = 1000;
int recordProgress(int percent)
{
    g_progress.push_back(percent);
    return percent < g_stopAt;
}

TEST_F(Api, FirmwareDownload)
{
    const std::string hex = tempPath("app.hex");
    spit(hex, hexImage(0x10000));
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);
    EXPECT_EQ(nbl_Download(hex.c_str(), 0, recordProgress, 1), -52); // the box runs its application
    EXPECT_EQ(nbl_Download(tempPath("none.hex").c_str(), 0, recordProgress, 1), -17);

    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_EQ(lin_RC_GotoBootMode(0), 0);
    int32_t software = 0;
    uint16_t version = 0;
    EXPECT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), -2); // in its bootloader
    ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);

    // A mangled file is refused before anything is written: the old application still starts.
    std::string mangled = hexImage(64);
    mangled[mangled.find(":10") + 9] ^= 1;
    spit(hex, mangled);
    EXPECT_EQ(nbl_Download(hex.c_str(), 0, recordProgress, 1), -18);
    EXPECT_EQ(nbl_ExecuteApp(), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), 0);

    ASSERT_EQ(lin_RC_GotoBootMode(0), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);
    spit(hex, hexImage(0x10000));
    g_progress.clear();
    ASSERT_EQ(nbl_Download(hex.c_str(), 0, recordProgress, 1), 0);
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.front(), 0);
    EXPECT_EQ(g_progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(g_progress.begin(), g_progress.end()));
    moxtasim::BoxState box;
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, box));
    EXPECT_EQ(box.downloadedBytes, 0x10000u);
    ASSERT_EQ(nbl_ExecuteApp(), 0);
    EXPECT_EQ(nbl_ChangeSpeed(0), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    EXPECT_EQ(lin_RC_GetSoftwareVersion(0, &software, &version, nullptr, nullptr), 0);
    std::remove(hex.c_str());
}

TEST_F(Api, StoppedOrEmptyDownloadsLeaveNothingToStart)
{
    const std::string hex = tempPath("stop.hex");
    spit(hex, hexImage(4096));
    ASSERT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_EQ(lin_RC_GotoBootMode(0), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);

    spit(hex, ":00000001FF\n"); // an image without data
    ASSERT_EQ(nbl_Download(hex.c_str(), 0, nullptr, 1), 0);
    EXPECT_EQ(nbl_ExecuteApp(), -19);

    spit(hex, hexImage(4096));
    g_stopAt = 50;
    EXPECT_LT(nbl_Download(hex.c_str(), 0, recordProgress, 1), 0);
    g_stopAt = 1000;
    EXPECT_EQ(nbl_ExecuteApp(), -19); // half an application does not start
    moxtasim::BoxState box;
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, box));
    EXPECT_TRUE(box.inBootloader);
    EXPECT_FALSE(box.applicationRunning);

    // Power cycling does not help: the box comes back in its bootloader, and a whole download cures it.
    ASSERT_TRUE(moxtasim::unplug("ZB-A", 0));
    ASSERT_TRUE(moxtasim::plug("ZB-A", 0));
    ASSERT_EQ(nbl_Download(hex.c_str(), 0, nullptr, 1), 0);
    EXPECT_EQ(nbl_ExecuteApp(), 0);
    std::remove(hex.c_str());
}

TEST_F(Api, InjectedStatusesAndBenchFailures)
{
    moxtasim::injectStatus("lin_OpenConfig", -25, 2);
    EXPECT_EQ(lin_OpenConfig("KVR5E", 0, 0), -25);
    EXPECT_EQ(lin_OpenConfig("KVR5E", 0, 0), -25);
    EXPECT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    moxtasim::injectStatus("zbx_OpenSpecificDevice", -1);
    EXPECT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 0);
    EXPECT_EQ(zbx_OpenSpecificDevice("ZB-A") & 0xFF, 1);

    std::string error;
    ASSERT_TRUE(moxtasim::loadBench("[bench]\nfail=lin_OpenConfig:-29\n[adapter:A]\n[box:A:0]\nfail=lin_RC_GetErrors:-4\n"
                                    "[box:A:1]\n",
                                    &error))
        << error;
    EXPECT_EQ(lin_OpenConfig("KVR5E", 0, 0), -29);
    ASSERT_EQ(zbx_OpenSpecificDevice("A") & 0xFF, 1);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    unsigned char errors[64];
    EXPECT_EQ(lin_RC_GetErrors(0, errors), -4);
    EXPECT_EQ(lin_RC_GetErrors(1, errors), 0); // only the box that names it

    // The same entries set at once, and taken away again.
    EXPECT_FALSE(moxtasim::setFail("A", 2, "lin_RC_GetErrors", -4));
    ASSERT_TRUE(moxtasim::setFail("A", 1, "lin_RC_GetErrors", -7));
    EXPECT_EQ(lin_RC_GetErrors(1, errors), -7);
    ASSERT_TRUE(moxtasim::setFail("A", 1, "lin_RC_GetErrors", 0));
    EXPECT_EQ(lin_RC_GetErrors(1, errors), 0);
    ASSERT_TRUE(moxtasim::setFail("", -1, "lin_OpenConfig", 0));
    EXPECT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_TRUE(moxtasim::setFail("", -1, "lin_CloseConfig", -3));
    EXPECT_EQ(lin_CloseConfig(), -3);
    EXPECT_EQ(lin_RC_GetErrors(0, errors), -4); // a box's own entry is not the bench's
    // With its arguments, only those calls.
    ASSERT_TRUE(moxtasim::setFail("", -1, "zbx_SetUsageOfControlLink(6)", -1));
    EXPECT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 0);
    EXPECT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
}

// A held call waits before it starts, and only that call: the others go on meanwhile.
TEST_F(Api, HeldCallWaitsWithoutHoldingTheOthers)
{
    connect();
    EXPECT_FALSE(moxtasim::waitForHeldCall(0));
    moxtasim::holdNextCall("lin_RC_GetConfigBusy", 1000);
    int16_t busy = 0;
    const auto start = std::chrono::steady_clock::now();
    std::thread held([&busy] { busy = lin_RC_GetConfigBusy(0); });
    ASSERT_TRUE(moxtasim::waitForHeldCall(5000));
    unsigned char errors[64];
    EXPECT_EQ(lin_RC_GetErrors(0, errors), 0); // not behind the held call
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    held.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(busy, 0);
    // Taken once; a new bench drops a hold no call took.
    EXPECT_EQ(lin_RC_GetConfigBusy(0), 0);
    moxtasim::holdNextCall("lin_RC_GetConfigBusy", 60000);
    ASSERT_TRUE(moxtasim::loadBench(kBench));
    connect();
    EXPECT_EQ(lin_RC_GetConfigBusy(0), 0);
}

TEST_F(Api, CallLogRecordsEveryCallInOrder)
{
    moxtasim::clearCallLog();
    char buf[64];
    zbx_OpenSpecificDevice("ZB-A");
    lin_GetErrorMessage(-2, buf, 64);
    lin_RC_DoAny(129, 0x8026, 0, nullptr);
    const auto log = moxtasim::callLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].function, "zbx_OpenSpecificDevice");
    EXPECT_EQ(log[0].arguments, "\"ZB-A\"");
    EXPECT_EQ(log[1].function, "lin_GetErrorMessage");
    EXPECT_EQ(log[1].arguments, "-2, buf, 64");
    EXPECT_EQ(log[2].arguments, "129, 32806, 0, null");
    std::thread([] { lin_RC_DoAny(129, 0x8026, 0, nullptr); }).join();
    const auto withThread = moxtasim::callLog();
    ASSERT_EQ(withThread.size(), 4u);
    EXPECT_EQ(withThread[2].thread, std::this_thread::get_id());
    EXPECT_NE(withThread[3].thread, std::this_thread::get_id());
    moxtasim::clearCallLog();
    EXPECT_TRUE(moxtasim::callLog().empty());
}

TEST_F(Api, BenchFileIsReReadWhenItChanges)
{
    const std::string path = tempPath("live.ini");
    spit(path, "[bench]\nlin_baud=0\n[adapter:A]\n[box:A:0]\n");
    std::string error;
    ASSERT_TRUE(moxtasim::loadBenchFile(path, &error)) << error;
    ASSERT_EQ(zbx_OpenSpecificDevice("A") & 0xFF, 1);
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetConfig("channel4", 99), 0);
    ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(0) & 0xFF, 1);
    EXPECT_GT(zbx_GetData(nullptr) & 0xFF, 0x80);

    // Unplugged by editing the file; a second adapter appears.
    spit(path, "[bench]\nlin_baud=0\n[adapter:A]\n[box:A:0]\nconnected=0\n[adapter:B]\n");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    char list[1024] = "";
    while (zbx_FindAllMoxtaDevices(list, sizeof list) != 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_STREQ(list, "A\tB");
    EXPECT_EQ(zbx_GetData(nullptr) & 0xFF, 0); // still open, the box is gone

    // Plugged in again it still holds what it was programmed with.
    spit(path, "[bench]\nlin_baud=0\n[adapter:A]\n[box:A:0]\n");
    while (zbx_FindAllMoxtaDevices(list, sizeof list) != 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(zbx_SetUsageOfControlLink(8) & 0xFF, 1);
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_GE(lin_ReadConfigRunMode(0, 1), 1);
    uint16_t v = 0;
    ASSERT_EQ(lin_GetConfig("channel4", &v), 0);
    EXPECT_EQ(v, 99);

    // A broken bench empties it.
    spit(path, "[adapter:A]\nusable=maybe\n");
    while (zbx_FindAllMoxtaDevices(list, sizeof list) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 0);
    std::remove(path.c_str());
}

// The bench changes while a long call is on the bus: the call fails as a real bus transfer would,
// and a program cut short leaves the box with the configuration it had.
TEST_F(Api, FaultsInTheMiddleOfACall)
{
    struct Case
    {
        const char* name;
        const char* call; // read, program, errors, download
        const char* change; // what the bench file becomes mid-call
        int16_t status;
    };
    const std::string healthy = "[adapter:ZB-A]\n[box:ZB-A:0]\nerrors=4000:18,3661:2\n";
    const Case cases[] = {
        {"read, box unplugged", "read", "[adapter:ZB-A]\n[box:ZB-A:0]\nconnected=0\n", -2},
        {"read, adapter removed", "read", "[adapter:B]\n", -1},
        {"read, box starts driving", "read", "[adapter:ZB-A]\n[box:ZB-A:0]\nbusy=1\n", -2},
        {"program, box unplugged", "program", "[adapter:ZB-A]\n[box:ZB-A:0]\nconnected=0\n", -2},
        {"program, box starts driving", "program", "[adapter:ZB-A]\n[box:ZB-A:0]\nbusy=1\n", -32},
        {"program, adapter removed", "program", "[adapter:B]\n", -1},
        {"error list, box unplugged", "errors", "[adapter:ZB-A]\n[box:ZB-A:0]\nconnected=0\n", -2},
        {"download, box unplugged", "download", "[adapter:ZB-A]\n[box:ZB-A:0]\nconnected=0\n", -2},
    };
    const std::string path = tempPath("midcall.ini");
    const std::string hex = tempPath("midcall.hex");
    spit(hex, hexImage(0x4000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string call = c.call;
        // Slow enough that every call lasts well over the moment of the change.
        const std::string baud = call == "errors" ? "600" : call == "download" ? "9600" : "19200";
        moxtasim::reset();
        spit(path, "[bench]\nlin_baud=0\n" + healthy);
        std::string error;
        ASSERT_TRUE(moxtasim::loadBenchFile(path, &error)) << error;
        connect();
        ASSERT_EQ(lin_SetConfig("channel4", 77), 0);
        ASSERT_EQ(lin_ProgramConfigRunMode(0, 1, 1), 0);
        ASSERT_EQ(lin_SetConfig("channel4", 99), 0);
        if (call == "download") {
            ASSERT_EQ(lin_RC_GotoBootMode(0), 0);
            ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);
        }
        // The slower bench is taken from its file as the program would see it, the session kept.
        spit(path, "[bench]\nlin_baud=" + baud + "\n" + healthy);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        char list[64];
        ASSERT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 1);

        std::thread changer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            spit(path, "[bench]\nlin_baud=" + baud + "\n" + c.change);
        });
        const auto started = std::chrono::steady_clock::now();
        int16_t status = 0;
        unsigned char errors[64];
        if (call == "read")
            status = lin_ReadConfigRunMode(0, 1);
        else if (call == "program")
            status = lin_ProgramConfigRunMode(0, 1, 1);
        else if (call == "errors")
            status = lin_RC_GetErrors(0, errors);
        else
            status = nbl_Download(hex.c_str(), 0, nullptr, 1);
        const auto took = std::chrono::steady_clock::now() - started;
        changer.join();
        EXPECT_EQ(status, c.status);
        // Cut short soon after the change, not at the end of the whole transfer.
        EXPECT_LT(took, std::chrono::milliseconds(250 + 400));

        // A program cut short left the box with its old configuration (a box whose adapter went is
        // gone from the bench with it).
        moxtasim::StoredConfiguration stored;
        if (moxtasim::storedConfiguration("ZB-A", 0, stored)) {
            int channel4 = -1;
            for (const auto& [n, value] : stored.values)
                if (n == "channel4")
                    channel4 = value;
            EXPECT_EQ(channel4, 77);
        } else {
            EXPECT_EQ(c.status, -1);
        }
        // Plugged in again, a box whose download was cut short has no application to start.
        if (call == "download") {
            spit(path, "[bench]\nlin_baud=0\n" + healthy);
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            ASSERT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 1);
            ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);
            EXPECT_EQ(nbl_ExecuteApp(), -19);
        }
    }
    std::remove(path.c_str());
    std::remove(hex.c_str());
}

// A cut at a chosen frame: only the named call addressed to that box, counted per call (a download's
// frames over all its pieces), the box unplugged from there on.
TEST_F(Api, UnplugAfterFramesCutsTheNamedCallAtItsFrame)
{
    EXPECT_FALSE(moxtasim::unplugAfterFrames("lin_RC_GetErrors", "ZB-A", 3, 1)); // no such box
    connect();
    unsigned char errors[64];
    // The error list is 8 frames: a cut after 9 never comes, however often it is read.
    ASSERT_TRUE(moxtasim::unplugAfterFrames("lin_RC_GetErrors", "ZB-A", 0, 9));
    EXPECT_EQ(lin_RC_GetErrors(0, errors), 0);
    EXPECT_EQ(lin_RC_GetErrors(0, errors), 0);
    EXPECT_FALSE(moxtasim::unplugMade());
    // Another call, or another box, is not cut; the named call is, and the box is gone after it.
    ASSERT_TRUE(moxtasim::unplugAfterFrames("lin_ProgramConfigRunMode", "ZB-A", 0, 5));
    ASSERT_EQ(lin_SetConfig("channel4", 77), 0);
    EXPECT_EQ(lin_RC_GetErrors(0, errors), 0);
    ASSERT_GT(lin_OpenConfig("MZ40", 0, 0), 0);
    ASSERT_GE(lin_ReadConfigRunMode(1, 1), 1);
    EXPECT_FALSE(moxtasim::unplugMade());
    ASSERT_GT(lin_OpenConfig("KVR5E", 0, 0), 0);
    ASSERT_EQ(lin_SetConfig("channel4", 77), 0);
    EXPECT_EQ(lin_ProgramConfigRunMode(0, 1, 1), -2);
    EXPECT_TRUE(moxtasim::unplugMade());
    moxtasim::BoxState box;
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, box));
    EXPECT_FALSE(box.connected);
    EXPECT_EQ(box.programmed, 0); // the box keeps what it had
    EXPECT_EQ(lin_RC_GetErrors(0, errors), -2);

    // A download cut after its first tenth of frames: the box waits in its bootloader once plugged in.
    const std::string hex = tempPath("cut.hex");
    spit(hex, hexImage(0x4000));
    ASSERT_TRUE(moxtasim::plug("ZB-A", 0));
    ASSERT_EQ(lin_RC_GotoBootMode(0), 0);
    ASSERT_EQ(zbx_SetUsageOfControlLink(6) & 0xFF, 1);
    ASSERT_TRUE(moxtasim::unplugAfterFrames("nbl_Download", "ZB-A", 0, 0x4000 / 8 / 10));
    g_progress.clear();
    EXPECT_EQ(nbl_Download(hex.c_str(), 0, recordProgress, 1), -2);
    ASSERT_FALSE(g_progress.empty());
    EXPECT_LT(g_progress.back(), 50);
    EXPECT_TRUE(moxtasim::unplugMade());
    ASSERT_TRUE(moxtasim::plug("ZB-A", 0));
    ASSERT_TRUE(moxtasim::boxState("ZB-A", 0, box));
    EXPECT_TRUE(box.inBootloader && !box.applicationRunning);
    EXPECT_EQ(nbl_ExecuteApp(), -19);
    std::remove(hex.c_str());
}

// A box that starts driving still answers its status queries: the busy query is how the program
// learns of it.
TEST_F(Api, StatusQueriesAnswerABoxThatStartsDriving)
{
    const std::string path = tempPath("driving.ini");
    spit(path, "[bench]\nlin_baud=0\n[adapter:ZB-A]\n[box:ZB-A:0]\n");
    std::string error;
    ASSERT_TRUE(moxtasim::loadBenchFile(path, &error)) << error;
    connect();
    ASSERT_EQ(lin_RC_GetConfigBusy(0), 0);
    // Looked at during the query's own transfer, not yet at its start.
    spit(path, "[bench]\nlin_baud=0\n[adapter:ZB-A]\n[box:ZB-A:0]\nbusy=1\n");
    EXPECT_EQ(lin_RC_GetConfigBusy(0), 1);
    unsigned char status[64];
    EXPECT_EQ(lin_RC_DoAny(0, 22, 64, status), 0);
    EXPECT_EQ(lin_RC_GetConfigBusy(0), 1);
}

TEST_F(Api, BrokenBenchGivesAnEmptyBench)
{
    std::string error;
    EXPECT_FALSE(moxtasim::loadBench("[adapter:A]\n[box:A:9]\n", &error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
    char list[64];
    EXPECT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 0);
    EXPECT_FALSE(moxtasim::loadBenchFile(tempPath("no-bench.ini"), &error));
    EXPECT_EQ(zbx_FindAllMoxtaDevices(list, sizeof list), 0);
}

} // namespace
