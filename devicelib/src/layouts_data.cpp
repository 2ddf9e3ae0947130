// The two configuration layouts and their defaults.
//
// The defaults are what "Reset to defaults" shows, so every one of them must be a value the window
// can show in each product mode of its type. Where a value is shown as "Default" (or "Off") the table
// holds the value the window itself writes back for that word, so a reset configuration stored again
// comes out unchanged; where the written value differs between modes it holds 65535.

#include "layouts.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace moxta {
namespace {

struct Entry
{
    std::string_view name;
    uint16_t value;
};

constexpr uint16_t kNotSet = 0xFFFF;
constexpr uint16_t kNoPosition = 0x8001; // the memory table's "no position stored"
constexpr uint16_t kNoSlot = 6; // memory value slots are 0 to 5
constexpr uint16_t kAllColumns = 255; // position mask written for memories without a special pattern
constexpr uint16_t kAuxOff = 4095; // aux time-out shown as "Off"
constexpr uint16_t kVoltDefault = 255; // count and volt marker, written for "Default"

// Aux output types, in the order of the type list.
constexpr uint16_t kUsb = 0;
constexpr uint16_t kDc = 1;
constexpr uint16_t kLed = 2;

// The four channels: plug and play. Every mode can show it: the desk mode picks its plug-and-play
// preset, the other modes put their own channel codes in its place.
constexpr Entry kChannels[] = {
    {"channel1", kNotSet},
    {"channel2", kNotSet},
    {"channel3", kNotSet},
    {"channel4", kNotSet},
};

// One reference's set-up, after "ref" + N + "_": the box's own strokes and speeds, anti-collision
// on, SLS in use, no safety stops, no impulse keys.
constexpr Entry kReferenceEntries[] = {
    {"reference", kNotSet}, // replaced per reference below
    {"auto_init_plug", 1},
    {"use_init_plug", 1},
    {"stroke_max", kNotSet},
    {"stroke_min", kNotSet}, // 0 would show as an angle of -1.5 degrees in RQ9
    {"speed_up", kNotSet},
    {"speed_dw", kNotSet},
    {"ac_disabled", 0},
    {"ac_plug", 0},
    {"ac_limit_up", kVoltDefault},
    {"ac_limit_dw", kVoltDefault},
    {"sls_up", 1},
    {"sls_dw", 1},
    {"sls_accelerate", 1},
    {"return_sls_up", kNotSet},
    {"return_sls_dw", kNotSet},
    {"return_eop_up", kNotSet},
    {"return_eop_dw", kNotSet},
    {"safety_stroke_max", kNotSet},
    {"safety_speed_up", kNotSet},
    {"safety_stop_max_up", 0},
    {"safety_stop_max_dw", 0},
    {"safety_speed_max_up", 0},
    {"safety_speed_max_dw", 0},
    {"safety_lock_max", 0},
    {"safety_stroke_min", kNotSet},
    {"safety_speed_dw", kNotSet},
    {"safety_stop_min_up", 0},
    {"safety_stop_min_dw", 0},
    {"safety_speed_min_up", 0},
    {"safety_speed_min_dw", 0},
    {"safety_lock_min", 0},
    {"no_impulse_key", 1},
    {"impulse_key_up", 0},
    {"impulse_key_dw", 0},
    {"impulse_key_mem", 0},
};

// One reference's actuator: detected by the box, so the characteristics are never looked at.
constexpr Entry kActuatorEntries[] = {
    {"auto_type", 1},
    {"iid_length", 0},
    {"iid_type", 0},
    {"family", 0},
    {"subtype", 0},
    {"kemf", 0},
    {"rmi", 0},
    {"p2mm", 0},
    {"cm", 0},
    {"gfd", 0},
    {"gfd_h", 0},
    {"iup", 0},
    {"idw", 0},
    {"physstroke", 0},
    {"logistroke", 0},
    {"dbe_up", 0},
    {"dbe_dw", 0},
    {"endstopup", 0},
    {"endstopdn", 0},
    {"psys", 0},
    {"piezo", 0},
    {"speed", 0},
    {"initplug", 0},
    {"unused1", 0},
    {"unused2", 0},
    {"unused3", 0},
    {"unused4", 0},
    {"unused5", 0},
    {"unused6", 0},
    {"unused7", 0},
};

// The row search reads up to six references, although only four are ever written.
constexpr int kReferences = 6;

// Aux outputs, "dcout" + N + "_" + stem. Each output starts at the type the window falls back to.
constexpr std::string_view kAuxStems[] = {
    "timeout", "type", "voltmax", "voltmin", "step", "vol_stop_up", "vol_stop_dw", "vol_off_dw",
};
constexpr std::array<std::array<uint16_t, std::size(kAuxStems)>, 4> kAuxDefaults = {{
    // timeout type   voltmax  voltmin  step     stop_up stop_dw off_dw
    {kAuxOff, kLed, kNotSet, kNotSet, kNotSet, 1, 1, 0}, // dcout1
    {kAuxOff, kDc,  kNotSet, kNotSet, kNotSet, 1, 1, 0}, // dcout2
    {kAuxOff, kUsb, kNotSet, kNotSet, kNotSet, 1, 1, 0}, // dcout3
    {kAuxOff, kUsb, kNotSet, kNotSet, kNotSet, 1, 1, 0}, // dcout4
}};
constexpr Entry kAuxExtra[] = {
    {"extern_ubl", 0},
};

// Every massage program offered, the box's own intensities, cycles and time-out.
constexpr Entry kMassage[] = {
    {"massage_mode_hard_wave", 1},
    {"massage_mode_soft_wave", 1},
    {"massage_mode_hard_puls", 1},
    {"massage_mode_soft_puls", 1},
    {"massage_mode_constant", 1},
    {"massage_mode_next_restore", 1},
    {"massage_volt_min", kNotSet},
    {"massage_volt_max", kNotSet},
    {"massage_volt_step", kNotSet},
    {"massage_volt_low", kNotSet},
    {"massage_vol_stop_up", 1},
    {"massage_vol_stop_dw", 1},
    {"massage_no_vol_off_dw", 1},
    {"massage_period_max", kNotSet},
    {"massage_period_min", kNotSet},
    {"massage_period_step", kNotSet},
    {"massage_per_stop_up", 1},
    {"massage_per_stop_dw", 1},
    {"massage_timeout", kNotSet},
};

constexpr Entry kVarious[] = {
    {"forced_init_time", kNotSet},
    {"default_power", 1}, // with the next two: the power setting "Default"
    {"battery_voltage_reg", 1},
    {"relative_over_voltage", 1},
    {"goto_standby", 1},
    {"plug_type", 255}, // "Default", the first plug usage
    {"impulse_stop_same", 1},
};

// 0 is the custom parameters' "not set".
constexpr Entry kCustom[] = {
    {"custom1", 0},
    {"custom2", 0},
    {"custom3", 0},
    {"custom4", 0},
};

constexpr Entry kMz40Settings[] = {
    {"power_led", 1},
    {"pairing_blink", 1},
    {"impulse_toggle_disabled", 0},
    {"impulse_toggle_state", 0},
    {"under_bed_light", 1},
    {"pwm_duty", 90},
    {"dcout1_timeout_enlarged", 0}, // "Off"
    {"snore_speed", kNotSet},
    {"snore_time", 0}, // "Off"
    {"snore_memory", 5},
    {"chirps_disabled", 0},
    {"ref_always_parallel", 0},
    {"reset_only_parallel", 0},
    {"goto_standby", 1}, // the zero-power box is written whatever the mode
};

// One memory, "mem" + N + "_": no value slot (the reset drives then use their default pattern,
// which costs none), positions in use, nothing switched off, recalled by holding the key, writable.
constexpr Entry kMemoryEntries[] = {
    {"value_index", kNoSlot},
    {"use_position", 1},
    {"use_massage", 0},
    {"use_dc1", 0},
    {"use_dc2", 0},
    {"use_dc3", 0},
    {"use_dc4", 0},
    {"impulse", 0},
    {"inv_impulse", 1},
    {"write_enabled", 1},
    {"pos_mask", kAllColumns},
};
constexpr int kMemories = 8;
constexpr int kValueSlots = 6;
constexpr int kPositionReferences = 8;

// Step numbers of references 1 to 8 in every memory's drive: one by one, order flag 0.
constexpr std::array<uint16_t, 8> kResetSteps = {8, 7, 6, 5, 4, 3, 2, 1};
constexpr Entry kResetOrderExtra[] = {
    {"priority_dc_on", 0}, // "before"
    {"priority_dc_off", 0},
    {"priority_massage_on", 0},
    {"priority_massage_off", 0},
};

std::string numbered(std::string_view prefix, int n, std::string_view suffix = {})
{
    return std::string(prefix) + std::to_string(n) + std::string(suffix);
}

void append(MemoryBlock& block, std::span<const Entry> entries, std::string_view prefix = {})
{
    for (const Entry& e : entries)
        block.parameters.push_back({std::string(prefix) + std::string(e.name), e.value});
}

MemoryBlock block(std::string name, std::span<const Entry> entries, std::string_view prefix = {})
{
    MemoryBlock b{std::move(name), {}};
    append(b, entries, prefix);
    return b;
}

void addReferences(Layout& layout)
{
    for (int n = 1; n <= kReferences; ++n) {
        const std::string prefix = numbered("ref", n, "_");
        MemoryBlock reference = block(numbered("reference", n), kReferenceEntries, prefix);
        // Each reference numbered as the desk mode counts them (0 = reference 1), so a plug-and-play
        // configuration, whose channels match no reference, shows the first one, and a programmed
        // reference number is found again where it was written.
        reference.parameters.front().defaultValue = uint16_t(n - 1);
        layout.blocks.push_back(std::move(reference));
        layout.blocks.push_back(block(numbered("actuator", n), kActuatorEntries, prefix));
    }
}

MemoryBlock auxOutputs()
{
    MemoryBlock b{"aux_outputs", {}};
    for (std::size_t out = 0; out < kAuxDefaults.size(); ++out) {
        const std::string prefix = numbered("dcout", static_cast<int>(out + 1), "_");
        for (std::size_t i = 0; i < std::size(kAuxStems); ++i)
            b.parameters.push_back({prefix + std::string(kAuxStems[i]), kAuxDefaults[out][i]});
    }
    append(b, kAuxExtra);
    return b;
}

void addMemories(Layout& layout)
{
    for (int n = 1; n <= kMemories; ++n)
        layout.blocks.push_back(block(numbered("memory", n), kMemoryEntries, numbered("mem", n, "_")));

    for (int k = 1; k <= kValueSlots; ++k) {
        MemoryBlock slot{numbered("value_slot", k), {}};
        for (int r = 1; r <= kPositionReferences; ++r)
            slot.parameters.push_back({numbered("mem", k, numbered("_pos", r)), kNoPosition});
        layout.blocks.push_back(std::move(slot));
    }

    MemoryBlock order{"reset_order", {}};
    for (int n = 1; n <= kMemories; ++n)
        for (int r = 1; r <= kPositionReferences; ++r)
            order.parameters.push_back({numbered("priority_memory", n, numbered("_ref", r)), kResetSteps[r - 1]});
    append(order, kResetOrderExtra);
    layout.blocks.push_back(std::move(order));
}

// Every string starts empty: a fresh session names no product (so a file without a tag of its own
// loads in any mode of its type) and no actuator (the actuator is detected).
std::vector<StringParameter> strings()
{
    std::vector<StringParameter> s{{"ConfType", ""}};
    for (int n = 1; n <= kReferences; ++n)
        s.push_back({numbered("ref", n, "_actname"), ""});
    return s;
}

// Desk, bed and RQ9 modes.
Layout kvr5e()
{
    Layout l{"KVR5E", {}, strings()};
    l.blocks.push_back(block("channels", kChannels));
    addReferences(l);
    l.blocks.push_back(auxOutputs());
    l.blocks.push_back(block("massage", kMassage));
    l.blocks.push_back(block("various", kVarious));
    l.blocks.push_back(block("custom", kCustom));
    addMemories(l);
    return l;
}

// MZ40 Standard and Advanced.
Layout mz40()
{
    Layout l{"MZ40", {}, strings()};
    l.blocks.push_back(block("channels", kChannels));
    addReferences(l);
    l.blocks.push_back(block("mz40_settings", kMz40Settings));
    l.blocks.push_back(block("massage", kMassage));
    addMemories(l);
    return l;
}

} // namespace

const std::vector<Layout>& builtInLayouts()
{
    static const std::vector<Layout> layouts = {kvr5e(), mz40()};
    return layouts;
}

} // namespace moxta
