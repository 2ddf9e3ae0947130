#include "rules/valuerules.h"

#include "config/conversions.h"
#include "platform/inifile.h"

#include <algorithm>
#include <cmath>

namespace rules {

QString limitsSection(const QString& boxName)
{
    QString section = boxName;
    if (!section.isEmpty() && section.back() >= u'1' && section.back() <= u'4')
        section.chop(1);
    if (section.endsWith(QStringLiteral("Lt")))
        section.chop(2);
    return section;
}

std::optional<Limits> readLimits(const QString& limitsFile, const QString& section)
{
    // Read on every check: the file is never cached.
    const QString min = platform::readIniText(section, QStringLiteral("Min"), QString(), limitsFile);
    if (min.isEmpty())
        return std::nullopt;
    const QString max = platform::readIniText(section, QStringLiteral("Max"), QString(), limitsFile);
    if (max.isEmpty())
        return std::nullopt;
    return Limits{platform::atolLike(min), platform::atolLike(max)};
}

long readMinimum(const QString& limitsFile, const QString& section)
{
    return platform::readIniInteger(section, QStringLiteral("Min"), QStringLiteral("0"), limitsFile);
}

namespace {

// A shown number as the store keeps it, and a raw limit as the store would keep it: both on the
// store's grid, so the two compare exactly.
struct Judge
{
    double factor; // the limits file's
    StoreScale store;

    double stored(double shown) const
    {
        if (store.factor <= 0)
            return config::roundHalfUp(shown * factor);
        const double raw = shown * store.factor;
        return store.truncates ? std::trunc(raw) : config::roundHalfUp(raw);
    }
    double limit(long raw) const
    {
        if (store.factor <= 0)
            return double(raw);
        return stored(double(raw) / factor);
    }
};

// How far the shown limit is walked to lie inside the stored one: a few hundredths at most for
// the factors in use; the bound only keeps a nonsense factor from looping long.
constexpr int kMostSteps = 1000;

} // namespace

QString maximumText(long max, double factor, QChar decimalSeparator, StoreScale store)
{
    const Judge judge{factor, store};
    const double limit = judge.limit(max);
    double hundredths = config::roundHalfUp(double(max) * 100.0 / factor);
    for (int i = 0; i < kMostSteps && judge.stored(hundredths / 100.0) > limit; ++i)
        hundredths -= 1;
    return config::formatGeneral(hundredths * 0.01, decimalSeparator);
}

QString minimumText(long min, double factor, QChar decimalSeparator, StoreScale store)
{
    const Judge judge{factor, store};
    const double limit = judge.limit(min);
    double hundredths = std::ceil(double(min) * 100.0 / factor - 1e-9);
    for (int i = 0; i < kMostSteps && judge.stored(hundredths / 100.0) < limit; ++i)
        hundredths += 1;
    return config::formatGeneral(hundredths * 0.01, decimalSeparator);
}

Outcome checkLimits(const QString& text, double factor, const Limits& limits, QChar decimalSeparator, StoreScale store)
{
    Outcome out;
    out.text = text;
    double number = 0;
    if (!config::parseNumber(text, decimalSeparator, number)) {
        if (text == QStringLiteral("Off") || text == QStringLiteral("Default"))
            return out;
        out.text = maximumText(limits.max, factor, decimalSeparator, store);
        out.messages << kIllegal;
        out.texts << out.text;
        out.focusBack = true;
        return out;
    }
    // Judged as the value will be stored, so a value that passes never stores beyond a limit.
    const Judge judge{factor, store};
    const double v = judge.stored(number);
    if (v > judge.limit(limits.max)) {
        out.text = maximumText(limits.max, factor, decimalSeparator, store);
        out.messages << kAboveMaximum;
        out.texts << out.text;
        out.focusBack = true;
    }
    // With the same number: a section whose maximum lies below its minimum ends at the minimum.
    if (v < judge.limit(limits.min)) {
        out.text = minimumText(limits.min, factor, decimalSeparator, store);
        out.messages << kBelowMinimum;
        out.texts << out.text;
        out.focusBack = true;
    }
    return out;
}

namespace {

bool offends(const QString& text, int digits, int decimals, QChar separator)
{
    int run = 0;
    int afterSeparator = -1; // digits after the separator; -1 before it
    for (const QChar c : text) {
        if (c == separator) {
            if (afterSeparator >= 0)
                return true; // a second separator
            afterSeparator = 0;
            run = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return true;
        if (++run > digits)
            return true;
        if (afterSeparator >= 0 && ++afterSeparator > decimals)
            return true;
    }
    return false;
}

} // namespace

Filtered filterDigits(const QString& text, const QString& firstItem, int digits, int decimals, QChar decimalSeparator)
{
    Filtered out;
    const bool defaultFirst = firstItem.startsWith(QStringLiteral("Default"));
    if (defaultFirst && (text.startsWith(u'd') || text.startsWith(u'D'))) {
        out.action = Filtered::Action::SelectFirstItem;
        return out;
    }
    if (!defaultFirst && firstItem.startsWith(QStringLiteral("Off")) && (text.startsWith(u'o') || text.startsWith(u'O'))) {
        out.action = Filtered::Action::SelectFirstItem;
        return out;
    }
    // Whatever offends, the last character goes, until nothing does.
    QString t = text;
    while (!t.isEmpty() && offends(t, digits, decimals, decimalSeparator))
        t.chop(1);
    if (decimals == 0 && !t.isEmpty() && t.back() == decimalSeparator)
        t.chop(1);
    if (t != text) {
        out.action = Filtered::Action::SetText;
        out.text = t;
    }
    return out;
}

std::optional<QString> wholeNumberText(const QString& text)
{
    int end = 0;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
        ++end;
    // Nine digits at most: a longer run is cut, not read as no number at all.
    end = std::min(end, 9);
    bool ok = false;
    const qlonglong n = text.left(end).toLongLong(&ok);
    QString wanted;
    if (!ok || n == 0)
        wanted = text == QStringLiteral("0") ? text : QString();
    else
        wanted = QString::number(n);
    if (wanted == text)
        return std::nullopt;
    return wanted;
}

Range repairStep(Range r, double smallestLow, double smallestStep)
{
    // Two-decimal texts: a difference within a millionth is none.
    constexpr double kSlack = 1e-6;
    if (r.high - r.low + kSlack >= smallestStep) {
        r.step = r.high - r.low;
    } else if (r.high - smallestStep + kSlack >= smallestLow) {
        r.step = smallestStep;
        r.low = r.high - smallestStep;
    } else {
        r.step = smallestStep;
        r.high = r.low + smallestStep;
    }
    return r;
}

} // namespace rules
