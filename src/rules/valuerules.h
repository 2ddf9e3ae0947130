#pragma once

// The value rules as pure functions of texts and numbers: the limits file's sections and limits,
// the limits check, the digit-count entry filter, the whole-number rule and the step repair. The
// window-side wiring (rules/entryrules) applies their outcome to the boxes.

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>

namespace rules {

// The limits file's section of a box: its name without one trailing reference digit 1-4, then
// without a trailing "Lt" ("cmbStroke3" and "cmbStrokeLt" both give "cmbStroke").
QString limitsSection(const QString& boxName);

struct Limits
{
    long min = 0;
    long max = 0;
};

// "Min" and "Max" of a section, both present and not empty; nothing otherwise.
std::optional<Limits> readLimits(const QString& limitsFile, const QString& section);
// "Min" of a section alone; 0 when it is missing.
long readMinimum(const QString& limitsFile, const QString& section);

// What a check makes of a box: the messages in the order they are shown, the text the box ends
// with, and whether the focus goes back to it.
struct Outcome
{
    QStringList messages;
    QStringList texts; // the text the box shows as each message is shown
    QString text;
    bool focusBack = false;
};

inline const QString kIllegal = QStringLiteral("Current value is illegal. It has been set to maximum");
inline const QString kAboveMaximum = QStringLiteral("Current value is beyond limits. It has been set to maximum");
inline const QString kBelowMinimum = QStringLiteral("Current value is beyond limits. It has been set to minimum");

// How a box's number is stored when that differs from the limits file's unit: the store's own
// factor and whether it cuts the fraction (else it rounds half up). A factor of 0: stored in the
// limits file's unit, rounded half up.
struct StoreScale
{
    double factor = 0;
    bool truncates = false;
};

// The limits check of a text with its limits (raw = shown x factor): "Default" and "Off" pass, a
// word becomes the maximum, a number above the maximum the maximum, then below the minimum the
// minimum. A number is judged by what it stores: it passes when its stored value lies between the
// stored values of the two limits, so nothing beyond them is ever stored whatever the store's
// factor, and a number the limits allow is never refused.
Outcome checkLimits(const QString& text, double factor, const Limits& limits, QChar decimalSeparator,
                    StoreScale store = {});
// The shown maximum and minimum of a raw limit: at most two decimals, no trailing zeros, each the
// nearest hundredth inside the limit as stored (so it passes its own check).
QString maximumText(long max, double factor, QChar decimalSeparator, StoreScale store = {});
QString minimumText(long min, double factor, QChar decimalSeparator, StoreScale store = {});

// The digit-count entry filter: at most `digits` digits in a row, at most `decimals` after the
// decimal separator, one separator, nothing else; a word typed into a box whose first item is
// "Default" (or "Off") selects that item.
struct Filtered
{
    enum class Action { Keep, SelectFirstItem, SetText } action = Action::Keep;
    QString text; // SetText: the new text, the caret at its end
};
Filtered filterDigits(const QString& text, const QString& firstItem, int digits, int decimals, QChar decimalSeparator);

// The whole-number rule of a typed time-out: the whole number at the start of the text; an empty
// text when there is none (a plain "0" stays). Nothing when the text is already so.
std::optional<QString> wholeNumberText(const QString& text);

// A range whose step is larger than its span is repaired: the step becomes the span, or the
// smallest step with the low end (or, when that would go below the smallest low, the high end)
// moved to make room for it.
struct Range
{
    double high = 0;
    double low = 0;
    double step = 0;
};
inline const QString kStepTooLarge = QStringLiteral("Step to large. Modifying");
Range repairStep(Range range, double smallestLow, double smallestStep);

} // namespace rules
