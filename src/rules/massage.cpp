#include "rules/massage.h"

#include "config/conversions.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QCheckBox>
#include <QComboBox>

#include <cmath>

namespace rules {

void massageConsistencyCheck(ui::FormView& view, QChar decimalSeparator)
{
    QWidget* modes = view.control(QStringLiteral("gbMassageModes"));
    if (!modes || modes->isHidden() || !view.tabShown(QStringLiteral("tsAux")))
        return;
    auto number = [&](const char* name) {
        double value = 0;
        auto* box = view.control<QComboBox>(QString::fromLatin1(name));
        if (!box || !config::parseNumber(box->currentText(), decimalSeparator, value))
            return 0LL;
        return (long long)std::trunc(value);
    };
    const auto* high = view.control<QComboBox>(QStringLiteral("cmbMasIntHi"));
    const char* const pulseAndWave[] = {"cbxHardPulse", "cbxHardWave", "cbxSoftPulse", "cbxSoftWave"};
    bool anyMode = false;
    for (const char* name : pulseAndWave)
        if (auto* box = view.control<QCheckBox>(QString::fromLatin1(name)))
            anyMode = anyMode || box->isChecked();
    if (number("cmbMasIntHi") == number("cmbMasIntLow") && high && high->currentText() != QStringLiteral("Default") && anyMode) {
        ui::dialogs().information(view.dialogParent(), QStringLiteral("Cannot do pulse/wave massage when Low=High. Disabling."));
        for (const char* name : pulseAndWave)
            if (auto* box = view.control<QCheckBox>(QString::fromLatin1(name)))
                box->setChecked(false);
    }
}

} // namespace rules
