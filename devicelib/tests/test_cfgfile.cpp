#include "cfgfile.h"
#include "statusnames.h"

#include <gtest/gtest.h>

#include "testfiles.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace moxta;

namespace {

using testfiles::slurp;
using testfiles::spit;
using testfiles::tempPath;

const LayoutIndex& kvr5e()
{
    const LayoutIndex* layout = findLayout("KVR5E");
    if (!layout)
        throw std::runtime_error("no KVR5E layout");
    return *layout;
}



} // namespace

TEST(CfgFile, RoundTripKeepsEveryValueTheHexFileAndTheMark)
{
    Configuration c(kvr5e());
    for (std::size_t i = 0; i < c.values().size(); ++i)
        c.values()[i] = uint16_t(i * 7 + 1);
    c.values().back() = 65535;
    c.values().front() = 0;
    ASSERT_EQ(c.setString("ConfType", "WZQ"), OK);

    const std::string text = formatCfg(c, "/fw/box app.hex", true);
    CfgFile back;
    ASSERT_EQ(parseCfg(text, back), OK);
    ASSERT_TRUE(back.configuration);
    EXPECT_TRUE(*back.configuration == c);
    EXPECT_EQ(back.hexFile, "/fw/box app.hex");
    EXPECT_TRUE(back.resetToDefaults);

    // Through a file, the same.
    const std::string path = tempPath("round.cfg");
    ASSERT_EQ(saveCfg(path, c, "", false), OK);
    CfgFile fromFile;
    ASSERT_EQ(loadCfg(path, fromFile), OK);
    EXPECT_TRUE(*fromFile.configuration == c);
    EXPECT_EQ(fromFile.hexFile, "");
    EXPECT_FALSE(fromFile.resetToDefaults);
    std::remove(path.c_str());
}

TEST(CfgFile, NamesNotInTheFileKeepDefaultsAndUnknownNamesAreIgnored)
{
    const std::string first = kvr5e().numeric.front()->name;
    const std::string second = kvr5e().numeric.at(1)->name;
    const std::string text = "; hand-written\r\n[Configuration]\r\nType = KVR5E\r\n[parameters]\r\n" + first
                             + "=42\r\nno_such_parameter=7\r\n" + first + "=43\r\n[strings]\r\nConfType=RQ9\r\n";
    CfgFile file;
    ASSERT_EQ(parseCfg(text, file), OK);
    uint16_t v = 0;
    ASSERT_EQ(file.configuration->get(first, v), OK);
    EXPECT_EQ(v, 42); // the first of a repeated key holds
    ASSERT_EQ(file.configuration->get(second, v), OK);
    EXPECT_EQ(v, kvr5e().numeric.at(1)->defaultValue);
    std::string s;
    ASSERT_EQ(file.configuration->getString("ConfType", s), OK);
    EXPECT_EQ(s, "RQ9");
}

TEST(CfgFile, TheFileDecidesTheLayout)
{
    CfgFile file;
    ASSERT_EQ(parseCfg("[configuration]\ntype=MZ40\n", file), OK);
    EXPECT_EQ(file.configuration->type(), "MZ40");
    EXPECT_TRUE(*file.configuration == Configuration(*findLayout("MZ40")));
}

TEST(CfgFile, BrokenTextIsAMangledFile)
{
    const std::string first = kvr5e().numeric.front()->name;
    const std::string head = "[configuration]\ntype=KVR5E\n";
    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"no configuration section", "[parameters]\n" + first + "=1\n"},
        {"no type", "[configuration]\nhexfile=\n"},
        {"unknown type", "[configuration]\ntype=KVR6\n"},
        {"value above 65535", head + "[parameters]\n" + first + "=65536\n"},
        {"negative value", head + "[parameters]\n" + first + "=-1\n"},
        {"value with letters", head + "[parameters]\n" + first + "=12a\n"},
        {"empty value", head + "[parameters]\n" + first + "=\n"},
        {"bad factory mark", head + "reset_to_defaults=yes\n"},
        {"repeated section", head + "[parameters]\n[parameters]\n"},
        {"repeated configuration", head + head},
        {"truncated line", head + "[parameters]\n" + first.substr(0, 3)},
        {"binary", std::string("[configuration]\ntype=KVR5E\n\x01\x02\x00\xff", 31)},
        {"string too long", head + "[strings]\nConfType=" + std::string(232, 'x') + "\n"},
    };
    for (const auto& c : cases) {
        CfgFile file;
        EXPECT_EQ(parseCfg(c.text, file), ERROR_MANGLED_FILE) << c.what;
        EXPECT_FALSE(file.configuration) << c.what;
    }
}

TEST(CfgFile, MissingFileAndUnwritablePlace)
{
    CfgFile file;
    EXPECT_EQ(loadCfg(tempPath("does-not-exist.cfg"), file), ERROR_CFG_NO_FILE);
    EXPECT_EQ(loadCfg(::testing::TempDir(), file), ERROR_CFG_NO_FILE); // a directory

    const Configuration c(kvr5e());
    EXPECT_EQ(saveCfg(tempPath("no-dir") + "/x.cfg", c, "", false), ERROR_CFG_WRITING);
    EXPECT_EQ(saveCfg(tempPath("x.cfg"), c, "a\nb.hex", false), ERROR_CFG_WRITING);

    // A failed save leaves the old file as it was.
    const std::string path = tempPath("keep.cfg");
    ASSERT_EQ(saveCfg(path, c, "old.hex", false), OK);
    const std::string before = slurp(path);
    EXPECT_EQ(saveCfg(path, c, std::string(1024, 'h'), false), ERROR_CFG_WRITING);
    EXPECT_EQ(slurp(path), before);

    // A read-only file is not replaced, whoever runs the program.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(saveCfg(path, c, "new.hex", false), ERROR_CFG_WRITING);
    EXPECT_EQ(slurp(path), before);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(saveCfg(path, c, "new.hex", false), OK);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the mode it had
    std::remove(path.c_str());
}
