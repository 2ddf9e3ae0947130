#include "rules/memorytable.h"

#include "config/conversions.h"

#include <QComboBox>

#include <algorithm>
#include <cmath>

namespace rules {

void MemoryTable::reset()
{
    for (auto& slot : values)
        slot.fill(kNoPosition);
    for (MemoryRecord& record : records)
        record.valueSlot = kNoSlot;
}

int MemoryTable::freeSlot() const
{
    for (int slot = 0; slot < kValueSlots; ++slot) {
        bool taken = false;
        for (const MemoryRecord& record : records)
            taken = taken || record.valueSlot == slot;
        if (!taken)
            return slot;
    }
    return -1;
}

PositionText positionText(uint16_t value, const PositionUnit& unit)
{
    switch (value) {
    case kNoPosition:
    case kUnsetPosition: return {0, QString()};
    case kDriveUp: return {1, QString()};
    case kDriveDown: return {2, QString()};
    default: break;
    }
    double shown = 0;
    if (unit.degrees) {
        double degrees = 0;
        if (!config::strokeToAngle(value, degrees))
            return {0, QString()};
        shown = config::roundHalfUp(degrees * 10) / 10;
    } else if (unit.inch) {
        shown = config::roundHalfUp(value / 254.0 * 100) / 100;
    } else {
        shown = config::roundHalfUp(value / 10.0);
    }
    return {-1, config::formatGeneral(shown, unit.decimalSeparator)};
}

namespace {

// A typed number as a position before it is kept in the range of positions.
bool rawPosition(const QString& text, const PositionUnit& unit, double& raw)
{
    double x = 0;
    if (!config::parseNumber(text, unit.decimalSeparator, x))
        return false;
    // An angle is stored rounded, as the RQ9 tab stores its angles (0 degrees stays 0 degrees),
    // and within the range the RQ9 tab takes (beyond it the sine folds back: 200 would be 54);
    // a length truncated, a hair of binary error aside (12.3 mm is 123).
    raw = unit.degrees ? double(config::roundHalfUp(config::angleToStroke(std::clamp(x, -90.0, 90.0))))
                       : std::trunc(x * (unit.inch ? 254.0 : 10.0) + 1e-9);
    return true;
}

} // namespace

bool isPositionAsTyped(const QString& text, const PositionUnit& unit)
{
    double raw = 0;
    if (!rawPosition(text, unit, raw) || raw < 0 || raw > double(kLargestPosition))
        return false;
    double x = 0;
    return !unit.degrees || (config::parseNumber(text, unit.decimalSeparator, x) && x >= -90.0 && x <= 90.0);
}

uint16_t positionValue(const QString& text, const QString& item1, const QString& item2, const PositionUnit& unit)
{
    double raw = 0;
    if (rawPosition(text, unit, raw)) {
        // A position lies between 0 and the drive markers: it neither wraps round nor becomes one.
        return uint16_t(std::clamp(raw, 0.0, double(kLargestPosition)));
    }
    if (text == item1)
        return kDriveUp;
    if (text == item2)
        return kDriveDown;
    return kNoPosition;
}

void showPosition(QComboBox* box, uint16_t value, const PositionUnit& unit)
{
    if (!box)
        return;
    const PositionText shown = positionText(value, unit);
    if (shown.item >= 0) {
        box->setCurrentIndex(shown.item < box->count() ? shown.item : 0);
        if (box->isEditable())
            box->setEditText(box->itemText(box->currentIndex()));
        // A position that has no angle shows the first item but is still the box's position.
        if (value == kNoPosition || value == kUnsetPosition || value == kDriveUp || value == kDriveDown)
            config::forgetShownValue(box);
        else
            config::keepShownValue(box, value, true);
    } else {
        config::setBoxText(box, shown.text);
        config::keepShownValue(box, value);
    }
}

uint16_t storePosition(const QComboBox* box, const PositionUnit& unit)
{
    if (!box)
        return kNoPosition;
    // A position shown rounded is not rounded again each time it passes through its box.
    if (const std::optional<uint16_t> kept = config::keptValue(box))
        return *kept;
    return positionValue(box->currentText(), box->count() > 1 ? box->itemText(1) : QString(),
                         box->count() > 2 ? box->itemText(2) : QString(), unit);
}

} // namespace rules
