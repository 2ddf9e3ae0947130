#pragma once

// Channels and references: the code of "channel1" to "channel4", the reference selection presets,
// and the numbering and enabling of the per-reference rows on every tab.

#include <array>
#include <cstdint>

class QComboBox;
class QRadioButton;

namespace ui {
class FormView;
}

namespace config {

struct WindowState;

inline constexpr uint16_t kAutomaticChannel = 65535;

// Pure forms. aIndex/bIndex are the item indexes of the A and B port boxes.
uint16_t encodeChannel(int aIndex, int aTag, int bIndex, int mode);
struct DecodedChannel
{
    int a = 0;
    int b = 0;
    bool ok = true;
};
DecodedChannel decodeChannel(uint16_t code, int mode);

enum class Selection { PnP, OneRef, TwoPar, TwoPlusTwo, ThreePar, Single, Custom };
Selection selectionForCodes(const std::array<uint16_t, 4>& codes, int mode);
QRadioButton* selectionButton(const ui::FormView& view, Selection selection);
// The preset of a checked radio button; Custom when none is.
Selection checkedSelection(const ui::FormView& view);

// Bound to the A and B boxes of a channel.
uint16_t encodeChannel(const QComboBox* a, const QComboBox* b, int mode);
bool decodeChannel(uint16_t code, QComboBox* a, QComboBox* b, int mode);

// The reference selection handler of the radio buttons, also run after every read, load and reset.
void referenceSelectClick(ui::FormView& view, const WindowState& state);
// Names the reference of each row in its hints again (after the hints were replaced).
void fillReferenceHints(const ui::FormView& view, const WindowState& state);
// A user's change of a channel box.
void cmbChannelChange(ui::FormView& view, const WindowState& state);
// Every per-row control takes the enabled state of its row's actuator list.
void applyRowEnableRule(ui::FormView& view);
// The SLS return boxes of each row follow their ignore-SLS boxes.
void cbxIgnClick(ui::FormView& view);
// Wires the radio buttons and channel boxes to their handlers.
void connectChannelHandlers(ui::FormView& view, const WindowState& state);

} // namespace config
