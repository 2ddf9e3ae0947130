#pragma once

// Conversions between stored 16-bit values and the texts of the window's value boxes: lengths,
// speeds, volts, percent, seconds, minutes and angles. The pure functions work without a window;
// Converter binds them to combo boxes and the session for one transfer.

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

class QComboBox;

namespace config {

// Divisors and precisions that follow the length unit.
struct UnitScales
{
    double lengthDivisor = 10.0; // stored lengths are tenths of a millimetre
    int lengthPrecision = 1;
    double speedDivisor = 163.84; // stored speeds are 1/163.84 mm/s
    int speedPrecision = 100;

    static UnitScales forUnit(bool inch);
};

inline constexpr uint16_t kDefaultMarker = 65535;

// The nearest integer, ties upward: 2.5 gives 3, -2.5 gives -2.
double roundHalfUp(double x);
// A number as 16 bits: its low 16 bits, as the library takes every value.
uint16_t toWord(double integral);

// The general number format: at most 15 significant digits, no trailing zeros, the given separator.
QString formatGeneral(double value, QChar decimalSeparator);
// The system's number parser: blanks around, a sign, digits with at most one separator, an
// exponent; nothing else.
bool parseNumber(const QString& text, QChar decimalSeparator, double& value);

// The box text of a scaled value: the default text (or "Default") for the marker and 65535.
QString scaledText(uint16_t value, double divisor, uint16_t marker, int precision, const QString& defaultText,
                   QChar decimalSeparator);
// round-half-up(number × factor), or the fallback when the text is no number.
uint16_t scaledValue(const QString& text, double factor, uint16_t fallback, QChar decimalSeparator);
// number × factor truncated toward zero, or 65535 when the text is no number.
uint16_t truncatedValue(const QString& text, double factor, QChar decimalSeparator);
// The angle in degrees of a stroke value (RQ9 backrest and legrest); the default text when the
// value is a marker or has no angle.
QString angleText(uint16_t value, uint16_t marker, int precision, const QString& defaultText, QChar decimalSeparator);
// The stroke value of an angle text, or the fallback.
uint16_t angleValue(const QString& text, uint16_t fallback, QChar decimalSeparator);
// The angle of a stroke value; false when it has none.
bool strokeToAngle(double stroke, double& degrees);
double angleToStroke(double degrees);

// What the numeric entry filter makes of a text being typed.
struct FilteredEntry
{
    bool changed = false;
    QString text;
    int selectionStart = 0;
    int selectionLength = 0;
};
FilteredEntry filterNumericText(const QString& text, int caret, int selectionLength, const QString& defaultText,
                                QChar decimalSeparator);
// Cleans the box's text while the user types (a guard keeps it from re-entering itself).
void filterNumericEntry(QComboBox* box, const QString& defaultText, QChar decimalSeparator);

// Sets a box's text: the edit text of an editable box, else the item with that text.
void setBoxText(QComboBox* box, const QString& text);

// The number a transfer (or a rule showing a stored value) put into a box, kept for as long as the
// box shows the text it was given and the user has not typed into it. The text is rounded to the
// unit's precision: stored again, it would round the value each time it passes through the window,
// and a value read from a box would change without anyone editing it.
// Words are kept only when asked (a position shown as "Exclude" because it has no angle).
void keepShownValue(QComboBox* box, uint16_t value, bool evenAsAWord = false);
std::optional<uint16_t> keptValue(const QComboBox* box);
void forgetShownValue(QComboBox* box);

// The conversions of one transfer, bound to the session and the boxes.
class Converter
{
public:
    Converter(QChar decimalSeparator, UnitScales scales)
        : separator(decimalSeparator)
        , units(scales)
    {
    }

    void showScaled(const QString& name, QComboBox* box, double divisor, uint16_t marker, bool fromDefaults,
                    int precision, const QString& defaultText) const;
    void storeScaled(const QString& name, const QComboBox* box, double factor, uint16_t fallback) const;
    int16_t storeTextScaled(const QString& name, const QComboBox* box, double factor) const;
    void showAngle(const QString& name, QComboBox* box, uint16_t marker, bool fromDefaults, int precision,
                   const QString& defaultText) const;
    void storeAngle(const QString& name, const QComboBox* box, uint16_t fallback) const;
    void showListValue(const QString& name, QComboBox* box, int fallback, bool byIndex, int minimum, int maximum) const;

    QChar separator;
    UnitScales units;
};

} // namespace config
