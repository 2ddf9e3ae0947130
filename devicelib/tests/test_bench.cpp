#include "bench.h"
#include "cfgfile.h"
#include "statusnames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace moxta;

TEST(Bench, DefaultBench)
{
    Bench bench;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(parseBench(defaultBenchText(), "", bench, error, warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(bench.linBaud, 19200);
    ASSERT_EQ(bench.adapters.size(), 1u);
    EXPECT_EQ(bench.adapters[0].name, "ZUBREX-0001");
    EXPECT_EQ(bench.adapters[0].serial, "100001");
    ASSERT_EQ(bench.boxes.size(), 1u);
    const BoxSpec& box = bench.boxes[0];
    EXPECT_EQ(box.device, 0);
    EXPECT_EQ(box.hardwareId, 12);
    EXPECT_EQ(box.productClass, 0);
    EXPECT_EQ(box.software, 40123);
    EXPECT_EQ(box.version, 123);
    EXPECT_EQ(box.serial, "240611-0042");
    EXPECT_EQ(box.date, "20240611");
    EXPECT_EQ(box.configType, "KVR5E");
    EXPECT_FALSE(box.errors.empty());
    ASSERT_TRUE(box.configuration);
    EXPECT_TRUE(*box.configuration == Configuration(*findLayout("KVR5E")));
}

TEST(Bench, EveryKeyIsRead)
{
    const char* text = "[bench]\nlin_baud=0\nfail=lin_OpenConfig:-29, zbx_GetData:-1\n"
                       "[adapter:A:with:colons]\nserial=123456789\nusable=0\nin_use=1\n"
                       "[box:A:with:colons:3]\nconnected=0\nhardware_id=255\nrevision=127\nproduct_class=2\n"
                       "software=-5\nversion=65535\nserial=123456789012345\ndate=20240101\nactivations=4294967295\n"
                       "sit_stands=7\nbusy=-1\npowered_seconds=4294967295\nerrors=1:1,2:2,3:3,4:4,5:5,6:6,7:7,8:8,9:9,4294967295:65535\n"
                       "config_type=MZ40\nfail=lin_RC_GetErrors:-2\nkeeps=channel1, channel2\n";
    Bench bench;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(parseBench(text, "", bench, error, warnings)) << error;
    EXPECT_EQ(bench.fail.at("lin_OpenConfig"), -29);
    EXPECT_EQ(bench.fail.at("zbx_GetData"), -1);
    ASSERT_EQ(bench.adapters.size(), 1u);
    EXPECT_EQ(bench.adapters[0].name, "A:with:colons");
    EXPECT_FALSE(bench.adapters[0].usable);
    EXPECT_TRUE(bench.adapters[0].inUse);
    const BoxSpec& box = bench.boxes.at(0);
    EXPECT_EQ(box.adapter, "A:with:colons");
    EXPECT_EQ(box.device, 3);
    EXPECT_FALSE(box.connected);
    EXPECT_EQ(box.revision, 127);
    EXPECT_EQ(box.software, -5);
    EXPECT_EQ(box.activations, 4294967295u);
    EXPECT_EQ(box.busy, -1);
    ASSERT_EQ(box.errors.size(), 10u);
    EXPECT_EQ(box.errors[9].time, 4294967295u);
    EXPECT_EQ(box.errors[9].code, 65535);
    EXPECT_EQ(box.configuration->type(), "MZ40");
    EXPECT_EQ(box.fail.at("lin_RC_GetErrors"), -2);
    EXPECT_EQ(box.keeps, (std::vector<std::string>{"channel1", "channel2"}));
}

TEST(Bench, UnknownKeysAreNamedAndIgnored)
{
    Bench bench;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(parseBench("[bench]\ncolour=blue\n[adapter:A]\n[box:A:0]\nsize=9\n", "", bench, error, warnings));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("line 2"), std::string::npos);
    EXPECT_NE(warnings[0].find("colour"), std::string::npos);
    EXPECT_NE(warnings[1].find("line 5"), std::string::npos);
}

TEST(Bench, FaultsNameTheLineAndGiveAnEmptyBench)
{
    const struct
    {
        std::string text;
        int line;
    } cases[] = {
        {"[bench]\nlin_baud=fast\n", 2},
        {"[bench]\nlin_time_divisor=0\n", 2},
        {"[adapter:A]\nusable=2\n", 2},
        {"[adapter:A]\nserial=1234567890\n", 2}, // longer than the 20-byte UTF-16 buffer holds
        {"[adapter:A]\n[box:A:0]\nhardware_id=256\n", 3},
        {"[adapter:A]\n[box:A:0]\nrevision=128\n", 3},
        {"[adapter:A]\n[box:A:0]\nbusy=2\n", 3},
        {"[adapter:A]\n[box:A:0]\nversion=-1\n", 3},
        {"[adapter:A]\n[box:A:0]\nserial=1234567890123456\n", 3},
        {"[adapter:A]\n[box:A:0]\nerrors=1:1,2:2,3:3,4:4,5:5,6:6,7:7,8:8,9:9,10:10,11:11\n", 3},
        {"[adapter:A]\n[box:A:0]\nerrors=12\n", 3},
        {"[adapter:A]\n[box:A:0]\nconfig_type=KVR6\n", 3},
        {"[adapter:A]\n[box:A:0]\nfail=lin_OpenConfig\n", 3},
        {"[adapter:A]\n[box:A:0]\nkeeps=channel1,no_such_parameter\n", 3},
        {"[adapter:A]\n[box:A:0]\nkeeps=channel1,,channel2\n", 3},
        {"[adapter:A]\n[box:A:4]\n", 2},
        {"[adapter:A]\n[box:B:0]\n", 2},
        {"[box:A:0]\n[adapter:A]\n", 1},
        {"[adapter:A]\n\n[adapter:A]\n", 3},
        {"[adapter:A]\n[gadget]\n", 2},
        {"[adapter:A]\nserial\n", 2},
        {"serial=1\n", 1},
        {"[adapter:A\n", 1},
        {std::string("[adapter:A]\nserial=1\x01\x02\n", 22), 2},
    };
    for (const auto& c : cases) {
        Bench bench;
        bench.linBaud = 5;
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(parseBench(c.text, "", bench, error, warnings)) << c.text;
        EXPECT_EQ(error.rfind("line " + std::to_string(c.line) + ":", 0), 0u) << c.text << " -> " << error;
        EXPECT_TRUE(bench.adapters.empty() && bench.boxes.empty() && bench.linBaud == 0) << c.text;
    }
}

TEST(Bench, ConfigFileIsTheBoxMemory)
{
    const std::string dir = ::testing::TempDir();
    const std::string name = "bench-box-" + std::to_string(::getpid()) + ".cfg";
    Configuration stored(*findLayout("KVR5E"));
    stored.values()[0] = 4711;
    ASSERT_EQ(saveCfg(dir + name, stored, "", false), OK);

    Bench bench;
    std::string error;
    std::vector<std::string> warnings;
    const std::string text = "[adapter:A]\n[box:A:0]\nconfig=" + name + "\n[box:A:1]\nconfig=missing-" + name + "\n";
    ASSERT_TRUE(parseBench(text, dir, bench, error, warnings)) << error;
    EXPECT_EQ(bench.boxes[0].configPath, dir + (dir.back() == '/' ? "" : "/") + name);
    EXPECT_TRUE(*bench.boxes[0].configuration == stored);
    // Not there yet: the box starts with the defaults; the file appears when it is programmed.
    EXPECT_TRUE(*bench.boxes[1].configuration == Configuration(*findLayout("KVR5E")));

    // A file of another layout, or no configuration at all, is a fault of the config= line.
    const std::string wrong = "[adapter:A]\n[box:A:0]\nconfig_type=MZ40\nconfig=" + name + "\n";
    EXPECT_FALSE(parseBench(wrong, dir, bench, error, warnings));
    EXPECT_EQ(error.rfind("line 4:", 0), 0u) << error;
    std::FILE* f = std::fopen((dir + name).c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("not a configuration\n", f);
    std::fclose(f);
    EXPECT_FALSE(parseBench(text, dir, bench, error, warnings));
    EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
    std::remove((dir + name).c_str());
}
