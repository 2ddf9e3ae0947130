// The built-in layouts: well-formed names and blocks, complete families, and defaults that the
// window can show in every product mode of their type. The decoders below follow the window's own
// rules for channels, aux types, plug usage, reset orders and value slots.

#include "layouts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace moxta;

namespace {

constexpr uint16_t kNotSet = 0xFFFF;

const Layout* findLayout(const std::string& type)
{
    for (const Layout& l : builtInLayouts())
        if (l.type == type)
            return &l;
    return nullptr;
}

const Layout& layoutOf(const std::string& type)
{
    const Layout* l = findLayout(type);
    if (!l)
        throw std::runtime_error("no layout " + type);
    return *l;
}

// The configuration type of a product mode: 0 to 2 the desk box's, 3 and 4 the MZ40's.
const Layout& layoutOfMode(int mode)
{
    return layoutOf(mode >= 3 ? "MZ40" : "KVR5E");
}

std::map<std::string, uint16_t> numericDefaults(const Layout& l)
{
    std::map<std::string, uint16_t> m;
    for (const MemoryBlock& b : l.blocks)
        for (const NumericParameter& p : b.parameters)
            m.emplace(p.name, p.defaultValue);
    return m;
}

std::optional<uint16_t> defaultOf(const Layout& l, const std::string& name)
{
    const auto m = numericDefaults(l);
    const auto it = m.find(name);
    if (it == m.end())
        return std::nullopt;
    return it->second;
}

std::string n(const std::string& prefix, int i, const std::string& suffix = {})
{
    return prefix + std::to_string(i) + suffix;
}

// ---- decoders --------------------------------------------------------------------------------

// One channel code shown in the channel boxes of a mode.
bool channelDecodes(uint16_t code)
{
    if (code < 8)
        return true;
    const auto badByte = [](unsigned b) { return b >= 18 || (b >= 13 && b <= 15); };
    return !badByte(code & 0xFFu) && !badByte(code >> 8);
}

bool isPreset(const std::array<uint16_t, 4>& c)
{
    const auto zeroOrAux = [](uint16_t v) { return v == 0 || v >= 8; };
    using A = std::array<uint16_t, 4>;
    return (c[0] == 0 && c[1] == 0 && zeroOrAux(c[2]) && zeroOrAux(c[3])) || c == A{0, 0, 1, 2}
        || c == A{0, 0, 1, 1} || c == A{0, 0, 0, 1} || c == A{0, 1, 2, 3};
}

// Whether the four stored channel codes can be shown in a mode.
bool channelsRepresentable(std::array<uint16_t, 4> c, int mode)
{
    if (mode == 2)
        return true; // RQ9 never reads the channels
    const bool allAux = std::all_of(c.begin(), c.end(), [](uint16_t v) { return v >= 8; });
    const bool anyAuto = std::find(c.begin(), c.end(), kNotSet) != c.end();
    if (allAux && anyAuto && mode == 0)
        return true; // plug and play: nothing is decoded
    if (!allAux && isPreset(c))
        return true;
    if (mode == 1) {
        constexpr std::array<uint16_t, 4> own = {7, 6, 0x1110, 0x0908};
        for (int i = 0; i < 4; ++i)
            if (c[i] == kNotSet)
                c[i] = own[i];
    }
    if (mode >= 3) {
        if (c[0] == kNotSet)
            c[0] = 7;
        if (c[1] == kNotSet)
            c[1] = 6;
        return channelDecodes(c[0]) && channelDecodes(c[1]); // channels 3 and 4 are not shown
    }
    return std::all_of(c.begin(), c.end(), channelDecodes);
}

// Step numbers p1..p8 of one memory: they must follow the sequence the window writes for the
// order and pair flags it derives from them; 15 is never checked.
bool resetOrderFollowsSequence(const std::array<uint16_t, 8>& p)
{
    const bool order = p[0] < p[2];
    bool pair = (p[0] == p[1] && p[0] != 15) || (p[7] == p[6] && p[7] != 15);
    if (p[0] == 15 && p[2] == 15)
        pair = true;
    const int stride = order ? 1 : -1;
    int step = order ? 1 : 8;
    for (int r = 1; r <= 8; ++r) {
        if (r > 1 && (!pair || r % 2 == 1))
            step += stride;
        if (p[r - 1] != 15 && p[r - 1] != step)
            return false;
    }
    return true;
}

bool auxTypeDecodes(uint16_t v)
{
    return v <= 3 || v == 7;
}

constexpr int kPlugUsageItems = 11;

bool plugTypeDecodes(uint16_t v)
{
    return (v + 1) % 256 < kPlugUsageItems;
}

// ---- the checkers themselves ----------------------------------------------------------------

TEST(LayoutCheckers, ChannelCodes)
{
    struct Case
    {
        uint16_t code;
        bool ok;
    };
    const Case cases[] = {
        {0, true}, {7, true}, {0x1110, true}, {0x0908, true}, {0x0910, true},
        {0x0E08, false}, {0x080D, false}, {0x0812, false}, {kNotSet, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(channelDecodes(c.code), c.ok) << c.code;

    EXPECT_TRUE(channelsRepresentable({kNotSet, kNotSet, kNotSet, kNotSet}, 0));
    EXPECT_TRUE(channelsRepresentable({0, 0, 1, 2}, 0));
    // Custom in the desk mode decodes every channel; a bad B byte is caught.
    EXPECT_FALSE(channelsRepresentable({0x0E08, 0x0908, 0x0908, 0x0908}, 0));
    // The bed mode chooses Custom for all-automatic channels and substitutes its own codes.
    EXPECT_TRUE(channelsRepresentable({kNotSet, kNotSet, kNotSet, kNotSet}, 1));
    EXPECT_FALSE(channelsRepresentable({kNotSet, 0x0E08, kNotSet, kNotSet}, 1));
    // The MZ40 modes never show channels 3 and 4.
    EXPECT_TRUE(channelsRepresentable({7, 6, 0x0E08, 0x0E08}, 3));
    EXPECT_FALSE(channelsRepresentable({7, 6, 0x0E08, 0x0E08}, 0));
}

TEST(LayoutCheckers, ResetOrders)
{
    struct Case
    {
        std::array<uint16_t, 8> steps;
        bool ok;
    };
    const Case cases[] = {
        {{8, 7, 6, 5, 4, 3, 2, 1}, true},
        {{1, 2, 3, 4, 5, 6, 7, 8}, true},
        {{1, 1, 2, 2, 3, 3, 4, 4}, true},
        {{8, 8, 7, 7, 6, 6, 5, 5}, true},
        {{15, 15, 15, 15, 15, 15, 15, 15}, true},
        {{8, 7, 6, 5, 4, 3, 2, 2}, false},
        {{1, 2, 3, 4, 5, 6, 8, 7}, false},
        {{kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resetOrderFollowsSequence(c.steps), c.ok) << c.steps[0] << "," << c.steps[1] << ",...";
}

TEST(LayoutCheckers, AuxTypesAndPlugUsage)
{
    EXPECT_TRUE(auxTypeDecodes(0));
    EXPECT_TRUE(auxTypeDecodes(3));
    EXPECT_TRUE(auxTypeDecodes(7));
    EXPECT_FALSE(auxTypeDecodes(4));
    EXPECT_FALSE(auxTypeDecodes(kNotSet));
    EXPECT_TRUE(plugTypeDecodes(255));
    EXPECT_TRUE(plugTypeDecodes(kNotSet));
    EXPECT_TRUE(plugTypeDecodes(9));
    EXPECT_FALSE(plugTypeDecodes(10));
}

// ---- form -----------------------------------------------------------------------------------

TEST(Layouts, ExactlyTheTwoTypes)
{
    std::vector<std::string> types;
    for (const Layout& l : builtInLayouts())
        types.push_back(l.type);
    EXPECT_EQ(types, (std::vector<std::string>{"KVR5E", "MZ40"}));
}

bool wellFormedName(const std::string& name)
{
    if (name == "ConfType")
        return true;
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

TEST(Layouts, NamesAndBlocksAreWellFormed)
{
    for (const Layout& l : builtInLayouts()) {
        SCOPED_TRACE(l.type);
        std::set<std::string> names;
        std::set<std::string> blocks;
        for (const MemoryBlock& b : l.blocks) {
            EXPECT_FALSE(b.name.empty());
            EXPECT_LE(b.name.size(), kMaxBlockNameLength) << b.name;
            EXPECT_TRUE(blocks.insert(b.name).second) << "block twice: " << b.name;
            EXPECT_FALSE(b.parameters.empty()) << b.name;
            for (const NumericParameter& p : b.parameters) {
                EXPECT_TRUE(wellFormedName(p.name) && p.name != "ConfType") << p.name;
                EXPECT_LE(p.name.size(), kMaxParameterNameLength) << p.name;
                EXPECT_TRUE(names.insert(p.name).second) << "name twice: " << p.name;
            }
        }
        for (const StringParameter& s : l.strings) {
            EXPECT_TRUE(wellFormedName(s.name)) << s.name;
            EXPECT_LE(s.name.size(), kMaxParameterNameLength) << s.name;
            EXPECT_TRUE(names.insert(s.name).second) << "name twice: " << s.name;
            EXPECT_LE(s.defaultValue.size(), kMaxStringValueLength) << s.name;
            EXPECT_TRUE(std::all_of(s.defaultValue.begin(), s.defaultValue.end(),
                                    [](char c) { return c >= 0x20 && c < 0x7F; }))
                << s.name;
        }
    }
}

// ---- families -------------------------------------------------------------------------------

const std::vector<std::string> kReferenceStems = {
    "reference", "auto_init_plug", "use_init_plug", "stroke_max", "stroke_min", "speed_up", "speed_dw",
    "ac_disabled", "ac_plug", "ac_limit_up", "ac_limit_dw", "sls_up", "sls_dw", "sls_accelerate",
    "return_sls_up", "return_sls_dw", "return_eop_up", "return_eop_dw", "safety_stroke_max",
    "safety_speed_up", "safety_stop_max_up", "safety_stop_max_dw", "safety_speed_max_up",
    "safety_speed_max_dw", "safety_lock_max", "safety_stroke_min", "safety_speed_dw",
    "safety_stop_min_up", "safety_stop_min_dw", "safety_speed_min_up", "safety_speed_min_dw",
    "safety_lock_min", "no_impulse_key", "impulse_key_up", "impulse_key_dw", "impulse_key_mem",
    "auto_type", "iid_length", "iid_type", "family", "subtype", "kemf", "rmi", "p2mm", "cm", "gfd",
    "gfd_h", "iup", "idw", "physstroke", "logistroke", "dbe_up", "dbe_dw", "endstopup", "endstopdn",
    "psys", "piezo", "speed", "initplug", "unused1", "unused2", "unused3", "unused4", "unused5",
    "unused6", "unused7",
};

const std::vector<std::string> kMemoryStems = {
    "value_index", "use_position", "use_massage", "use_dc1", "use_dc2", "use_dc3", "use_dc4",
    "impulse", "inv_impulse", "write_enabled", "pos_mask",
};

const std::vector<std::string> kMassageNames = {
    "massage_mode_hard_wave", "massage_mode_soft_wave", "massage_mode_hard_puls",
    "massage_mode_soft_puls", "massage_mode_constant", "massage_mode_next_restore",
    "massage_volt_min", "massage_volt_max", "massage_volt_step", "massage_volt_low",
    "massage_vol_stop_up", "massage_vol_stop_dw", "massage_no_vol_off_dw", "massage_period_max",
    "massage_period_min", "massage_period_step", "massage_per_stop_up", "massage_per_stop_dw",
    "massage_timeout",
};

const std::vector<std::string> kMz40Names = {
    "power_led", "pairing_blink", "impulse_toggle_disabled", "impulse_toggle_state",
    "under_bed_light", "pwm_duty", "dcout1_timeout_enlarged", "snore_speed", "snore_time",
    "snore_memory", "chirps_disabled", "ref_always_parallel", "reset_only_parallel",
};

// Names every mode of both types moves.
std::vector<std::string> sharedNames()
{
    std::vector<std::string> names;
    for (int c = 1; c <= 4; ++c)
        names.push_back(n("channel", c));
    for (int r = 1; r <= 6; ++r)
        for (const std::string& stem : kReferenceStems)
            names.push_back(n("ref", r, "_" + stem));
    for (int m = 1; m <= 8; ++m)
        for (const std::string& stem : kMemoryStems)
            names.push_back(n("mem", m, "_" + stem));
    for (int k = 1; k <= 6; ++k)
        for (int r = 1; r <= 8; ++r)
            names.push_back(n("mem", k, n("_pos", r)));
    for (int m = 1; m <= 8; ++m)
        for (int r = 1; r <= 8; ++r)
            names.push_back(n("priority_memory", m, n("_ref", r)));
    for (const char* p : {"priority_dc_on", "priority_dc_off", "priority_massage_on", "priority_massage_off"})
        names.push_back(p);
    names.insert(names.end(), kMassageNames.begin(), kMassageNames.end());
    names.push_back("goto_standby");
    return names;
}

std::vector<std::string> kvr5eOnlyNames()
{
    std::vector<std::string> names;
    for (int o = 1; o <= 4; ++o)
        for (const char* stem : {"_timeout", "_type", "_voltmax", "_voltmin", "_step", "_vol_stop_up",
                                 "_vol_stop_dw", "_vol_off_dw"})
            names.push_back(n("dcout", o, stem));
    for (int c = 1; c <= 4; ++c)
        names.push_back(n("custom", c));
    for (const char* p : {"extern_ubl", "forced_init_time", "default_power", "battery_voltage_reg",
                          "relative_over_voltage", "plug_type", "impulse_stop_same"})
        names.push_back(p);
    return names;
}

TEST(Layouts, FamiliesAreComplete)
{
    struct Case
    {
        std::string type;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    std::vector<std::string> kvr5e = sharedNames();
    const std::vector<std::string> kvr5eOnly = kvr5eOnlyNames();
    kvr5e.insert(kvr5e.end(), kvr5eOnly.begin(), kvr5eOnly.end());
    std::vector<std::string> mz40 = sharedNames();
    mz40.insert(mz40.end(), kMz40Names.begin(), kMz40Names.end());

    const Case cases[] = {
        {"KVR5E", kvr5e, kMz40Names},
        {"MZ40", mz40, kvr5eOnly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto defaults = numericDefaults(layoutOf(c.type));
        for (const std::string& name : c.present)
            EXPECT_TRUE(defaults.count(name)) << "missing " << name;
        for (const std::string& name : c.absent)
            EXPECT_FALSE(defaults.count(name)) << "unexpected " << name;
        // Nothing beyond the families: a misspelt name would show up here.
        EXPECT_EQ(defaults.size(), c.present.size());

        std::set<std::string> strings;
        for (const StringParameter& s : layoutOf(c.type).strings)
            strings.insert(s.name);
        std::set<std::string> expected = {"ConfType"};
        for (int r = 1; r <= 6; ++r)
            expected.insert(n("ref", r, "_actname"));
        EXPECT_EQ(strings, expected);
    }
}

// ---- defaults the window can show -----------------------------------------------------------

class DefaultsInMode : public testing::TestWithParam<int>
{
};

TEST_P(DefaultsInMode, ChannelsDecode)
{
    const Layout& l = layoutOfMode(GetParam());
    std::array<uint16_t, 4> c{};
    for (int i = 0; i < 4; ++i)
        c[i] = defaultOf(l, n("channel", i + 1)).value();
    EXPECT_TRUE(channelsRepresentable(c, GetParam()));
}

INSTANTIATE_TEST_SUITE_P(AllModes, DefaultsInMode, testing::Values(0, 1, 2, 3, 4));

TEST(LayoutDefaults, ResetOrdersAndValueSlots)
{
    for (const Layout& l : builtInLayouts()) {
        SCOPED_TRACE(l.type);
        const auto d = numericDefaults(l);
        std::set<uint16_t> slots;
        for (int m = 1; m <= 8; ++m) {
            std::array<uint16_t, 8> steps{};
            for (int r = 1; r <= 8; ++r)
                steps[r - 1] = d.at(n("priority_memory", m, n("_ref", r)));
            EXPECT_TRUE(resetOrderFollowsSequence(steps)) << "memory " << m;

            const uint16_t slot = d.at(n("mem", m, "_value_index"));
            if (slot < 6) {
                EXPECT_TRUE(slots.insert(slot).second) << "slot " << slot << " twice";
            } else {
                EXPECT_EQ(d.at(n("mem", m, "_pos_mask")), 255) << "memory " << m; // as the window writes it
            }
        }
    }
}

TEST(LayoutDefaults, DeskBoxSettingsDecode)
{
    const Layout& l = layoutOf("KVR5E");
    for (int o = 1; o <= 4; ++o)
        EXPECT_TRUE(auxTypeDecodes(defaultOf(l, n("dcout", o, "_type")).value())) << o;
    EXPECT_TRUE(plugTypeDecodes(defaultOf(l, "plug_type").value()));

    // The RQ9 tab shows its own default angles only for the angle marker.
    for (const char* name : {"ref1_stroke_max", "ref1_stroke_min", "ref2_stroke_max", "ref2_stroke_min"})
        EXPECT_EQ(defaultOf(l, name), kNotSet) << name;
}

TEST(LayoutDefaults, Mz40SettingsLieInTheirLists)
{
    const Layout& l = layoutOf("MZ40");
    struct Range
    {
        const char* name;
        uint16_t min;
        uint16_t max;
    };
    const Range ranges[] = {
        {"power_led", 0, 1},
        {"pairing_blink", 0, 1},
        {"impulse_toggle_disabled", 0, 1},
        {"impulse_toggle_state", 0, 1},
        {"under_bed_light", 0, 1},
        {"pwm_duty", 20, 99},
        {"dcout1_timeout_enlarged", 0, 65534},
        {"snore_time", 0, 254},
        {"snore_memory", 1, 6},
        {"chirps_disabled", 0, 1},
        {"reset_only_parallel", 0, 1},
    };
    for (const Range& r : ranges) {
        const uint16_t v = defaultOf(l, r.name).value();
        EXPECT_GE(v, r.min) << r.name;
        EXPECT_LE(v, r.max) << r.name;
    }
    // Only references 5 to 8 have a parallel switch.
    EXPECT_EQ(defaultOf(l, "ref_always_parallel").value() & ~0xF0u, 0u);
}

TEST(LayoutDefaults, ActuatorsAndProductTag)
{
    for (const Layout& l : builtInLayouts()) {
        SCOPED_TRACE(l.type);
        for (int r = 1; r <= 6; ++r)
            EXPECT_NE(defaultOf(l, n("ref", r, "_auto_type")).value(), 0) << "ref" << r << " not automatic";
        // A fresh session names neither a product (a file without a tag loads in any mode of its
        // type) nor an actuator ("Auto").
        for (const StringParameter& s : l.strings)
            EXPECT_EQ(s.defaultValue, "") << s.name;
    }
}

} // namespace
