#include "rules/angles.h"

#include "config/conversions.h"
#include "config/windowstate.h"
#include "rules/entryrules.h"
#include "rules/valuerules.h"
#include "ui/events.h"
#include "ui/formview.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace rules {

namespace {

// The stroke an angle is stored as.
long strokeOf(double degrees)
{
    return long(config::roundHalfUp(config::angleToStroke(std::clamp(degrees, -90.0, 90.0))));
}

// The angle of a stroke limit rounded half up to two decimals; where that angle would fail the
// limit it shows (and so come back with the message every time), the hundredth inside it. A
// stroke beyond every angle gives the end of the range the boxes take (90 or -90 degrees), so a
// corrected box always ends on a number.
QString angleText(long stroke, bool maximum, QChar separator)
{
    double degrees = 0;
    if (!config::strokeToAngle(double(stroke), degrees))
        degrees = stroke > 0 ? 90.0 : -90.0;
    double hundredths = config::roundHalfUp(degrees * 100.0);
    if (maximum && strokeOf(hundredths / 100.0) > stroke)
        hundredths -= 1;
    if (!maximum && strokeOf(hundredths / 100.0) < stroke)
        hundredths += 1;
    return config::formatGeneral(hundredths / 100.0, separator);
}

bool isWord(const QString& text)
{
    return text == QStringLiteral("Default") || text == QStringLiteral("Off");
}

// A maximum below its minimum: the two are exchanged with the message.
void keepInOrder(const ui::FormView& view, QChar separator, const char* maxName, const char* minName, const QString& message)
{
    auto* maxBox = view.control<QComboBox>(QString::fromLatin1(maxName));
    auto* minBox = view.control<QComboBox>(QString::fromLatin1(minName));
    if (!maxBox || !minBox || maxBox->currentText() == QStringLiteral("Default") || minBox->currentText() == QStringLiteral("Default"))
        return;
    const std::optional<double> max = numberOf(maxBox, separator);
    const std::optional<double> min = numberOf(minBox, separator);
    if (!max || !min || *max >= *min)
        return;
    inform(view, message);
    const QString text = maxBox->currentText();
    setText(maxBox, minBox->currentText());
    setText(minBox, text);
}

} // namespace

void cmbRQ9AngleExit(ui::FormView& view, const config::WindowState& state, QComboBox* box)
{
    const QChar sep = state.decimalSeparator;
    // The section is the box's whole name; its limits are strokes, not angles. A value shown as
    // read and not edited since is left as it is.
    if (const std::optional<Limits> limits = readLimits(state.limitsFilePath, box->objectName());
        limits && !isWord(box->currentText()) && !config::keptValue(box)) {
        const QString maxText = angleText(limits->max, true, sep);
        const std::optional<double> angle = numberOf(box, sep);
        if (!angle) {
            setText(box, maxText);
            inform(view, kIllegal);
            ui::returnFocus(box);
        } else {
            // Beyond the range the boxes take, the angle is its end, and the box says so.
            if (const double clamped = std::clamp(*angle, -90.0, 90.0); clamped != *angle)
                setText(box, config::formatGeneral(clamped, sep));
            // Rounded as the angle will be stored.
            const double v = double(strokeOf(*angle));
            if (v > double(limits->max)) {
                setText(box, maxText);
                inform(view, kAboveMaximum);
                ui::returnFocus(box);
            }
            if (v < double(limits->min)) {
                setText(box, angleText(limits->min, false, sep));
                inform(view, kBelowMinimum);
                ui::returnFocus(box);
            }
        }
    }
    keepInOrder(view, sep, "cmbRq9BMax", "cmbRq9BMin", QStringLiteral("Backrest max < min. Exchanging"));
    keepInOrder(view, sep, "cmbRq9LMax", "cmbRq9LMin", QStringLiteral("Legrest max < min. Exchanging"));
}

void ComboBoxUblTimeoutChange(QComboBox* box)
{
    // Only a typed text: not a list item, not an empty box.
    const QString text = box->currentText();
    if (text.isEmpty() || box->findText(text, Qt::MatchExactly) >= 0)
        return;
    if (const std::optional<QString> whole = wholeNumberText(text)) {
        box->setEditText(*whole);
        if (QLineEdit* edit = box->lineEdit())
            edit->setCursorPosition(int(whole->size()));
    }
}

} // namespace rules
