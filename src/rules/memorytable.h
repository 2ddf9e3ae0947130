#pragma once

// The eight memory records (memories 1-6 of the Memory tab, 7 the reset drive down, 8 up) and the
// six value slots of positions they share, with the conversion between a position and box text.

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>

class QComboBox;

namespace rules {

inline constexpr uint16_t kNoPosition = 32769; // "Not set" / "Exclude"
inline constexpr uint16_t kUnsetPosition = 65535; // read as no position as well
inline constexpr uint16_t kDriveUp = 32768;
inline constexpr uint16_t kDriveDown = 32767;
// The largest position in tenths of a millimetre: the values above it are the markers.
inline constexpr uint16_t kLargestPosition = kDriveDown - 1;
inline constexpr int kValueSlots = 6;
inline constexpr int kNoSlot = 6;

struct MemoryRecord
{
    int valueSlot = kNoSlot; // 0-5, or 6 and more for none
    int pairFlag = 0; // 0 "One by one", 1 "Two and two"
    int orderFlag = 0; // 0 "Lowest ref first", 1 "Highest ref first"
};

struct MemoryTable
{
    std::array<MemoryRecord, 8> records{};
    std::array<std::array<uint16_t, 8>, kValueSlots> values{};

    MemoryTable() { reset(); }
    // Every position 32769, every memory without a slot.
    void reset();
    // The lowest slot no memory names; -1 when all six are taken.
    int freeSlot() const;
    bool hasSlot(int memory) const { return records[std::size_t(memory)].valueSlot >= 0 && records[std::size_t(memory)].valueSlot < kValueSlots; }
};

// How positions are shown: the length factor of the unit (10 mm, 254 inch) and whether the RQ9
// mode shows them in degrees.
struct PositionUnit
{
    bool inch = false;
    bool degrees = false;
    QChar decimalSeparator = u'.';
};

// The text of a position; specials give the item index instead (item >= 0, text empty).
struct PositionText
{
    int item = -1;
    QString text;
};
PositionText positionText(uint16_t value, const PositionUnit& unit);
// A box text as a position: a number in the unit, else item 1 -> 32768, item 2 -> 32767, anything
// else 32769.
uint16_t positionValue(const QString& text, const QString& item1, const QString& item2, const PositionUnit& unit);

void showPosition(QComboBox* box, uint16_t value, const PositionUnit& unit);
// The position a box holds: the one it was shown with while the user has not edited it, else its
// text as a position.
uint16_t storePosition(const QComboBox* box, const PositionUnit& unit);
// A typed number that is a position as it stands (not moved into the range of positions).
bool isPositionAsTyped(const QString& text, const PositionUnit& unit);

} // namespace rules
