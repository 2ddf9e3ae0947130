#include "config/conversions.h"

#include "config/access.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <limits>

namespace config {

UnitScales UnitScales::forUnit(bool inch)
{
    if (inch)
        return {254.0, 100, 4161.536, 1000};
    return {10.0, 1, 163.84, 100};
}

double roundHalfUp(double x)
{
    const double up = std::ceil(x);
    const double down = std::floor(x);
    return (up - x <= x - down) ? up : down;
}

uint16_t toWord(double integral)
{
    if (!std::isfinite(integral))
        return 0;
    // Wider values keep their low 16 bits; beyond 64 bits nothing sensible is left.
    const double limit = 9.0e18;
    const long long whole = (long long)std::max(-limit, std::min(limit, integral));
    return uint16_t(static_cast<unsigned long long>(whole) & 0xFFFFu);
}

QString formatGeneral(double value, QChar decimalSeparator)
{
    if (value == 0)
        value = 0; // no "-0"
    QString text = QString::number(value, 'g', 15);
    if (decimalSeparator != u'.')
        text.replace(u'.', decimalSeparator);
    return text;
}

bool parseNumber(const QString& input, QChar decimalSeparator, double& value)
{
    const QString text = input.trimmed();
    qsizetype i = 0;
    const qsizetype n = text.size();
    QString normalised;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        normalised += text[i++];
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        normalised += text[i++];
        ++digits;
    }
    if (i < n && text[i] == decimalSeparator) {
        normalised += u'.';
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            normalised += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        normalised += u'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            normalised += text[i++];
        int exponentDigits = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            normalised += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    const double parsed = normalised.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

QString scaledText(uint16_t value, double divisor, uint16_t marker, int precision, const QString& defaultText,
                   QChar decimalSeparator)
{
    if (value == marker || value == kDefaultMarker)
        return defaultText.isEmpty() ? QStringLiteral("Default") : defaultText;
    const double shown = roundHalfUp(value / divisor * precision) / precision;
    return formatGeneral(shown, decimalSeparator);
}

uint16_t scaledValue(const QString& text, double factor, uint16_t fallback, QChar decimalSeparator)
{
    double number = 0;
    if (!parseNumber(text, decimalSeparator, number))
        return fallback;
    return toWord(roundHalfUp(number * factor));
}

uint16_t truncatedValue(const QString& text, double factor, QChar decimalSeparator)
{
    double number = 0;
    if (!parseNumber(text, decimalSeparator, number))
        return kDefaultMarker;
    return toWord(std::trunc(number * factor));
}

bool strokeToAngle(double stroke, double& degrees)
{
    const double s = (stroke * 0.1 - 44.82) / 72.0;
    if (!(s >= -1.0 && s <= 1.0))
        return false;
    degrees = std::asin(s) * 180.0 / M_PI + 37.0;
    return true;
}

double angleToStroke(double degrees)
{
    return (std::sin((degrees - 37.0) * M_PI / 180.0) * 72.0 + 44.82) * 10.0;
}

QString angleText(uint16_t value, uint16_t marker, int precision, const QString& defaultText, QChar decimalSeparator)
{
    const QString fallbackText = defaultText.isEmpty() ? QStringLiteral("Default") : defaultText;
    double degrees = 0;
    if (value == marker || value == kDefaultMarker || !strokeToAngle(value, degrees))
        return fallbackText;
    return formatGeneral(roundHalfUp(degrees * precision) / precision, decimalSeparator);
}

uint16_t angleValue(const QString& text, uint16_t fallback, QChar decimalSeparator)
{
    double degrees = 0;
    if (!parseNumber(text, decimalSeparator, degrees))
        return fallback;
    // The range the boxes take, as their check treats it: beyond it the sine would fold back.
    return toWord(roundHalfUp(angleToStroke(std::clamp(degrees, -90.0, 90.0))));
}

FilteredEntry filterNumericText(const QString& text, int caret, int selectionLength, const QString& defaultText,
                                QChar decimalSeparator)
{
    FilteredEntry result;
    bool hasDigit = false;
    for (QChar c : text)
        hasDigit = hasDigit || (c >= u'0' && c <= u'9');
    if (!hasDigit
        && (text.isEmpty()
            || (!defaultText.isEmpty() && text.front().toLower() == defaultText.front().toLower()))) {
        result.changed = true;
        result.text = defaultText;
        result.selectionStart = 0;
        result.selectionLength = int(defaultText.size());
        return result;
    }
    QString cleaned;
    bool separatorSeen = false;
    bool changed = false;
    // Every character removed before the caret moves it back by one, counted against where it was.
    const int originalCaret = caret;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            cleaned += c;
            continue;
        }
        if ((c == u'.' || c == u',') && !separatorSeen) {
            separatorSeen = true;
            cleaned += decimalSeparator;
            changed = changed || c != decimalSeparator;
            continue;
        }
        changed = true;
        if (i < originalCaret)
            --caret;
    }
    if (!changed)
        return result;
    result.changed = true;
    result.text = cleaned;
    result.selectionStart = std::max(0, std::min(caret, int(cleaned.size())));
    result.selectionLength = std::max(0, std::min(selectionLength, int(cleaned.size()) - result.selectionStart));
    return result;
}

void filterNumericEntry(QComboBox* box, const QString& defaultText, QChar decimalSeparator)
{
    static bool running = false;
    if (running || !box || !box->isEditable())
        return;
    running = true;
    QLineEdit* edit = box->lineEdit();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = edit->hasSelectedText() ? int(edit->selectedText().size()) : 0;
    const FilteredEntry filtered = filterNumericText(edit->text(), start, length, defaultText, decimalSeparator);
    if (filtered.changed) {
        edit->setText(filtered.text);
        edit->setSelection(filtered.selectionStart, filtered.selectionLength);
        if (filtered.selectionLength == 0)
            edit->setCursorPosition(filtered.selectionStart);
    }
    running = false;
}

void setBoxText(QComboBox* box, const QString& text)
{
    if (!box)
        return;
    if (box->isEditable()) {
        box->setEditText(text);
        return;
    }
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
}

namespace {

const char* const kShownText = "shownText";
const char* const kShownValue = "shownValue";
const char* const kWatchesEdits = "watchesEdits";

} // namespace

void keepShownValue(QComboBox* box, uint16_t value, bool evenAsAWord)
{
    if (!box)
        return;
    // Numbers only, unless asked: a word stores what the word means ("Default" its fallback).
    const QString text = box->currentText();
    if (!box->isEditable()
        || (!evenAsAWord && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))) {
        forgetShownValue(box);
        return;
    }
    // Typed into or chosen from the list by the user, the box holds what the user gave it.
    if (!box->property(kWatchesEdits).toBool()) {
        box->setProperty(kWatchesEdits, true);
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box] { forgetShownValue(box); });
        QObject::connect(box, &QComboBox::activated, box, [box] { forgetShownValue(box); });
    }
    box->setProperty(kShownText, box->currentText());
    box->setProperty(kShownValue, int(value));
}

std::optional<uint16_t> keptValue(const QComboBox* box)
{
    if (!box)
        return std::nullopt;
    const QVariant text = box->property(kShownText);
    if (!text.isValid() || text.toString() != box->currentText())
        return std::nullopt;
    return uint16_t(box->property(kShownValue).toInt());
}

void forgetShownValue(QComboBox* box)
{
    if (box && box->property(kShownText).isValid()) {
        box->setProperty(kShownText, QVariant());
        box->setProperty(kShownValue, QVariant());
    }
}

void Converter::showScaled(const QString& name, QComboBox* box, double divisor, uint16_t marker, bool fromDefaults,
                           int precision, const QString& defaultText) const
{
    const uint16_t value = readValueOrDefault(name, fromDefaults);
    setBoxText(box, scaledText(value, divisor, marker, precision, defaultText, separator));
    keepShownValue(box, value);
}

void Converter::storeScaled(const QString& name, const QComboBox* box, double factor, uint16_t fallback) const
{
    if (const std::optional<uint16_t> kept = keptValue(box))
        writeParameter(name, *kept);
    else
        writeParameter(name, scaledValue(box ? box->currentText() : QString(), factor, fallback, separator));
}

int16_t Converter::storeTextScaled(const QString& name, const QComboBox* box, double factor) const
{
    if (const std::optional<uint16_t> kept = keptValue(box))
        return writeParameter(name, *kept);
    return writeParameter(name, truncatedValue(box ? box->currentText() : QString(), factor, separator));
}

void Converter::showAngle(const QString& name, QComboBox* box, uint16_t marker, bool fromDefaults, int precision,
                          const QString& defaultText) const
{
    const uint16_t value = readValueOrDefault(name, fromDefaults);
    setBoxText(box, angleText(value, marker, precision, defaultText, separator));
    keepShownValue(box, value);
}

void Converter::storeAngle(const QString& name, const QComboBox* box, uint16_t fallback) const
{
    if (const std::optional<uint16_t> kept = keptValue(box))
        writeParameter(name, *kept);
    else
        writeParameter(name, angleValue(box ? box->currentText() : QString(), fallback, separator));
}

void Converter::showListValue(const QString& name, QComboBox* box, int fallback, bool byIndex, int minimum,
                              int maximum) const
{
    uint16_t value = 0;
    if (!box || readParameter(name, value) != 0)
        return;
    if (byIndex) {
        if (int(value) + 1 > box->count())
            box->setCurrentIndex(box->count() > fallback ? fallback : 0);
        else
            box->setCurrentIndex(value);
    } else if (!box->isEditable()) {
        const int index = box->findText(QString::number(value), Qt::MatchExactly);
        box->setCurrentIndex(index >= 0 ? index : fallback);
    } else {
        const int shown = (int(value) < minimum || int(value) > maximum) ? fallback : int(value);
        box->setEditText(QString::number(shown));
    }
}

} // namespace config
