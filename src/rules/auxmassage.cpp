#include "rules/auxmassage.h"

#include "config/conversions.h"
#include "config/windowstate.h"
#include "rules/entryrules.h"
#include "rules/valuerules.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <array>
#include <cmath>

namespace rules {

namespace {

enum AuxType { Usb = 0, Dc = 1, Led = 2, Relay = 3 };

const QString kExchanging = QStringLiteral("Max < min. Exchanging");
// One volt step of the intensity and cycle rules' limits (1 / 9.90328820116054).
constexpr double kPerVolt = 0.1009765625;

QComboBox* box(const ui::FormView& view, int output, ui::AuxMember member)
{
    return qobject_cast<QComboBox*>(view.arrays().aux[std::size_t(output - 1)][member]);
}

QComboBox* named(const ui::FormView& view, const char* name)
{
    return view.control<QComboBox>(QString::fromLatin1(name));
}

void exchangeTexts(QComboBox* a, QComboBox* b)
{
    const QString text = a->currentText();
    setText(a, b->currentText());
    setText(b, text);
}

QString general(double value, QChar separator)
{
    return config::formatGeneral(value, separator);
}

// Whole numbers of the intensity and cycle rules: the number truncated toward zero.
std::optional<long> wholeOf(const QComboBox* b, QChar separator)
{
    const std::optional<double> n = numberOf(b, separator);
    if (!n)
        return std::nullopt;
    return long(std::trunc(*n));
}

// The massage rules' step repair in whole numbers, with the smallest low and step from the limits file.
void repairWholeStep(const ui::FormView& view, const config::WindowState& state, long high, long low, QComboBox* highBox,
                     QComboBox* lowBox, QComboBox* stepBox, const char* lowSection, const char* stepSection)
{
    const double smallestLow = std::trunc(double(readMinimum(state.limitsFilePath, QString::fromLatin1(lowSection))) * kPerVolt);
    const double smallestStep = std::trunc(double(readMinimum(state.limitsFilePath, QString::fromLatin1(stepSection))) * kPerVolt);
    inform(view, kStepTooLarge);
    const Range r = repairStep({double(high), double(low), 0}, smallestLow, smallestStep);
    setText(stepBox, QString::number(qlonglong(r.step)));
    if (r.low != double(low))
        setText(lowBox, QString::number(qlonglong(r.low)));
    if (r.high != double(high))
        setText(highBox, QString::number(qlonglong(r.high)));
}

} // namespace

void cmbAuxTypeChange(ui::FormView& view, config::WindowState& state)
{
    const bool mode4 = state.productMode == config::ModeMz40Advanced;
    bool anyVariable = false;
    for (int n = 1; n <= 4; ++n) {
        QComboBox* type = box(view, n, ui::cmbAuxType);
        if (!type)
            continue;
        const int t = type->currentIndex();
        const bool percent = t == Led;
        auto* unit = qobject_cast<QLabel*>(view.arrays().aux[std::size_t(n - 1)][ui::lblAuxUnit]);
        if (unit && (t == Dc || t == Relay))
            unit->setText(QStringLiteral("V"));
        else if (unit && t == Led)
            unit->setText(QStringLiteral("%"));
        // From volts to percent or back: the levels start again at full scale.
        if (percent != state.auxLed[std::size_t(n - 1)]) {
            const QString full = general(percent ? 100.0 : 11.9, state.decimalSeparator);
            for (ui::AuxMember m : {ui::cmbAuxMax, ui::cmbAuxMin, ui::cmbAuxStep})
                setText(box(view, n, m), full);
            state.auxLed[std::size_t(n - 1)] = percent;
        }
        if (mode4)
            continue;
        const auto& row = view.arrays().aux[std::size_t(n - 1)];
        auto* variable = qobject_cast<QCheckBox*>(row[ui::cbxAuxVar]);
        const bool canVary = t == Dc || t == Led;
        if (variable) {
            variable->setVisible(canVary);
            if (!canVary)
                variable->setChecked(false);
        }
        for (ui::AuxMember m : {ui::cmbAuxMax, ui::lblAuxUnit})
            if (row[m])
                row[m]->setVisible(t != Usb);
        const bool varies = variable && variable->isChecked();
        for (ui::AuxMember m : {ui::cmbAuxMin, ui::cmbAuxStep, ui::cbxAuxCirUp, ui::cbxAuxCirDw, ui::cbxAuxCirStop})
            if (row[m])
                row[m]->setVisible(varies);
        anyVariable = anyVariable || varies;
    }
    for (const char* label : {"lblAuxMin", "lblAuxStepsize", "lblAuxCircular", "lblAuxUp", "lblAuxDown", "lblAuxStop"})
        if (QWidget* l = view.control(QString::fromLatin1(label)))
            l->setVisible(!mode4 && anyVariable);
}

void cmbAuxMaxExit(ui::FormView& view, config::WindowState& state, QComboBox* left)
{
    const int n = outputOf(left);
    if (n < 1 || n > 4)
        return;
    const QChar sep = state.decimalSeparator;
    const bool led = state.auxLed[std::size_t(n - 1)];
    if (const std::optional<double> v = numberOf(left, sep); led && v && *v > 100)
        setText(left, QStringLiteral("100"));
    const double factor = factorOf(config::Factor::AuxLevel, state, n);
    limitsCheck(view, state, left, factor);

    // An output that is not variable has one level: the setting is its minimum and step too.
    for (int k = 1; k <= 4; ++k) {
        auto* variable = qobject_cast<QCheckBox*>(view.arrays().aux[std::size_t(k - 1)][ui::cbxAuxVar]);
        if (left == box(view, k, ui::cmbAuxMax) && variable && !variable->isChecked()) {
            setText(box(view, k, ui::cmbAuxMin), left->currentText());
            setText(box(view, k, ui::cmbAuxStep), left->currentText());
        }
    }

    QComboBox* maxBox = box(view, n, ui::cmbAuxMax);
    QComboBox* minBox = box(view, n, ui::cmbAuxMin);
    QComboBox* stepBox = box(view, n, ui::cmbAuxStep);
    std::optional<double> high = numberOf(maxBox, sep);
    std::optional<double> low = numberOf(minBox, sep);
    if (!high || !low)
        return;
    if (*high < *low) {
        inform(view, kExchanging);
        exchangeTexts(maxBox, minBox);
        std::swap(high, low);
    }
    if (*high == *low)
        return;
    const std::optional<double> step = numberOf(stepBox, sep);
    // The texts have two decimals at most: 5.3 - 4.7 is a step of 0.6, whatever the binary sum says.
    if (!step || *step <= *high - *low + 1e-6)
        return;
    // The smallest low end and step as the boxes show them: two decimals, rounded up to stay within.
    auto shown = [factor](long raw) { return std::ceil(double(raw) * 100.0 / factor - 1e-9) / 100.0; };
    const double smallestLow = shown(readMinimum(state.limitsFilePath, QStringLiteral("cmbAuxMin")));
    const double smallestStep = shown(readMinimum(state.limitsFilePath, QStringLiteral("cmbAuxStep")));
    inform(view, kStepTooLarge);
    const Range r = repairStep({*high, *low, *step}, smallestLow, smallestStep);
    setText(stepBox, general(r.step, sep));
    if (r.low != *low)
        setText(minBox, general(r.low, sep));
    if (r.high != *high)
        setText(maxBox, general(r.high, sep));
}

void cmbMasIntLowExit(ui::FormView& view, const config::WindowState& state, QComboBox* left)
{
    const QChar sep = state.decimalSeparator;
    limitsCheck(view, state, left, factorOf(config::Factor::Volt, state));
    QComboBox* highBox = named(view, "cmbMasIntHi");
    QComboBox* lowBox = named(view, "cmbMasIntLow");
    QComboBox* stepBox = named(view, "cmbMasIntStep");
    QComboBox* waveBox = named(view, "cmbMasWaveMin");
    std::optional<long> high = wholeOf(highBox, sep);
    std::optional<long> low = wholeOf(lowBox, sep);
    if (!high || !low)
        return;
    if (*low > *high) {
        inform(view, kExchanging);
        exchangeTexts(highBox, lowBox);
        std::swap(high, low);
    }
    if (*high != *low) {
        const std::optional<long> step = wholeOf(stepBox, sep);
        if (!step)
            return;
        if (*step > *high - *low)
            repairWholeStep(view, state, *high, *low, highBox, lowBox, stepBox, "cmbMasIntMin", "cmbMasIntStep");
    }
    const std::optional<long> wave = wholeOf(waveBox, sep);
    if (wave && *wave < *low) {
        inform(view, QStringLiteral("Cannot have wave min < min intensity. Modifying."));
        setText(waveBox, lowBox->currentText());
    }
}

void cmbMasCycleLowExit(ui::FormView& view, const config::WindowState& state, QComboBox* left)
{
    const QChar sep = state.decimalSeparator;
    limitsCheck(view, state, left, factorOf(config::Factor::Period, state));
    QComboBox* highBox = named(view, "cmbMasCycleHi");
    QComboBox* lowBox = named(view, "cmbMasCycleLow");
    QComboBox* stepBox = named(view, "cmbMasCycleStep");
    if (const auto h = numberOf(highBox, sep), l = numberOf(lowBox, sep); h && l && *l > *h) {
        inform(view, kExchanging);
        exchangeTexts(highBox, lowBox);
    }
    const std::optional<long> high = wholeOf(highBox, sep);
    const std::optional<long> low = wholeOf(lowBox, sep);
    if (!high || !low || *high == *low)
        return;
    const std::optional<long> step = wholeOf(stepBox, sep);
    if (step && *step > *high - *low)
        repairWholeStep(view, state, *high, *low, highBox, lowBox, stepBox, "cmbMasCycleMin", "cmbMasCycleStep");
}

void massageConsistencyCheck(ui::FormView& view, QChar decimalSeparator)
{
    QWidget* modes = view.control(QStringLiteral("gbMassageModes"));
    if (!modes || modes->isHidden() || !view.tabShown(QStringLiteral("tsAux")))
        return;
    auto number = [&](const char* name) { return numberOf(named(view, name), decimalSeparator).value_or(0.0); };
    const QComboBox* high = named(view, "cmbMasIntHi");
    const char* const pulseAndWave[] = {"cbxHardPulse", "cbxHardWave", "cbxSoftPulse", "cbxSoftWave"};
    bool anyMode = false;
    for (const char* name : pulseAndWave)
        if (auto* box = view.control<QCheckBox>(QString::fromLatin1(name)))
            anyMode = anyMode || box->isChecked();
    if (number("cmbMasIntHi") == number("cmbMasIntLow") && high && high->currentText() != QStringLiteral("Default") && anyMode) {
        inform(view, QStringLiteral("Cannot do pulse/wave massage when Low=High. Disabling."));
        for (const char* name : pulseAndWave)
            if (auto* box = view.control<QCheckBox>(QString::fromLatin1(name)))
                box->setChecked(false);
    }
}

} // namespace rules
