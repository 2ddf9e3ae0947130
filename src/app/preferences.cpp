// Display preferences: length and memory units, colour feedback, hints, the error list's time
// format and the actuator conflict policy; each restored at start-up and stored the moment it changes.

#include "app/frmmain.h"

#include "app/colortime.h"
#include "app/windows.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "config/windowstate.h"
#include "device/livestatus.h"
#include "ui/dialogs.h"
#include "ui/events.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <limits>

namespace app {

namespace {

struct UnitCaption
{
    const char* label;
    const char* prefix;
    bool speed;
};

// Labels whose caption carries the unit.
constexpr UnitCaption kUnitCaptions[] = {
    {"Label20", "Max speed up in ", true},        {"Label21", "Max speed down in ", true},
    {"Label22", "Fixed stroke length in ", false}, {"Label28", "Fixed stroke length in ", false},
    {"Label24", "Lower limit in ", false},        {"Label33", "Lower limit in ", false},
    {"lSLS_up", "SLS up in ", false},             {"lSLS_down", "SLS down in ", false},
    {"lEOP_up", "EOP up in ", false},             {"lEOP_down", "EOP down in ", false},
    {"Label53", "Safety stroke max in ", false},  {"Label54", "Safety stroke min in ", false},
    {"Label34", "Safety stroke min in ", false},  {"Label55", "Safety speed up in ", true},
    {"Label56", "Safety speed down in ", true},   {"Label138", "Max speed up in ", true},
    {"Label139", "Max speed down in ", true},
};

const QColor kSuccess(0, 255, 0);
const QColor kFailure(255, 0, 0);

int colourInterval(long seconds)
{
    const long long ms = (long long)seconds * 1000;
    return int(std::max<long long>(std::numeric_limits<int>::min(), std::min<long long>(std::numeric_limits<int>::max(), ms)));
}

} // namespace

void TfrmMain::connectPreferenceHandlers()
{
    for (const char* name : {"mnimm", "mniinch"}) {
        QAction* item = menuItem(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, [this, item] { MenuUnitsClick(item); });
    }
    auto* memoryUnits = new QActionGroup(this);
    memoryUnits->addAction(menuItem(QStringLiteral("MenuMemUnitsDegrees")));
    memoryUnits->addAction(menuItem(QStringLiteral("MenuMemUnitsNormal")));

    auto* colours = new QActionGroup(this);
    for (const char* name : {"mniColorOff", "mniColorTimed", "mniColorStay"})
        colours->addAction(menuItem(QString::fromLatin1(name)));
    connect(menuItem(QStringLiteral("mniColorOff")), &QAction::triggered, this, &TfrmMain::mniColorOffClick);
    connect(menuItem(QStringLiteral("mniColorTimed")), &QAction::triggered, this, &TfrmMain::mniColorTimedClick);
    connect(menuItem(QStringLiteral("mniColorStay")), &QAction::triggered, this, &TfrmMain::mniColorStayClick);
    connect(m_tmrColorChange, &QTimer::timeout, this, &TfrmMain::tmrColorChangeTimer);

    connect(menuItem(QStringLiteral("mniShowHints")), &QAction::triggered, this, &TfrmMain::mniShowHintsClick);
    ui::onUserEdit(control(QStringLiteral("cmbTimeFormat")), [this](QWidget*) { cmbTimeFormatChange(); });

    auto* conflicts = new QActionGroup(this);
    for (const char* name : {"mniConflictAsk", "mniConflictConfigurator", "mniConflictConfiguration"}) {
        QAction* item = menuItem(QString::fromLatin1(name));
        conflicts->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { mniConflictAskClick(item); });
    }
    qApp->installEventFilter(this);
}

void TfrmMain::applyDisplayPreferences()
{
    const bool inch = m_settings.lengthUnitInch();
    m_state->inch = inch;
    menuItem(QStringLiteral("mniinch"))->setChecked(inch);
    menuItem(QStringLiteral("mnimm"))->setChecked(!inch);
    rebuildUnitCaptions();

    const long conflict = m_settings.conflictHandler();
    menuItem(QStringLiteral("mniConflictConfigurator"))->setChecked(conflict == 1);
    menuItem(QStringLiteral("mniConflictConfiguration"))->setChecked(conflict == 2);
    menuItem(QStringLiteral("mniConflictAsk"))->setChecked(conflict != 1 && conflict != 2);

    if (auto* format = control<QComboBox>(QStringLiteral("cmbTimeFormat"))) {
        const long index = m_settings.timeFormat();
        format->setCurrentIndex(index >= 0 && index < format->count() ? int(index) : -1);
    }

    const long seconds = m_settings.colorTimer();
    m_tmrColorChange->setInterval(std::max(0, colourInterval(seconds)));
    menuItem(QStringLiteral("mniColorTimed"))->setText(QStringLiteral("&Timed (%1s)...").arg(seconds));
    const long type = m_settings.colorType();
    menuItem(QStringLiteral("mniColorTimed"))->setChecked(type == 1);
    menuItem(QStringLiteral("mniColorStay"))->setChecked(type == 2);
    menuItem(QStringLiteral("mniColorOff"))->setChecked(type != 1 && type != 2);

    m_hintsShown = m_settings.showHints();
    menuItem(QStringLiteral("mniShowHints"))->setChecked(m_hintsShown);
    // A hint bubble stays up to 30 seconds.
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->toolTip().isEmpty())
            w->setToolTipDuration(30000);

    menuItem(QStringLiteral("mniWarn"))->setChecked(m_settings.warnOnChange());
}

void TfrmMain::rebuildUnitCaptions()
{
    const QString length = m_state->inch ? QStringLiteral("inches") : QStringLiteral("mm");
    const QString speed = m_state->inch ? QStringLiteral("inch/s") : QStringLiteral("mm/s");
    for (const UnitCaption& c : kUnitCaptions)
        if (auto* label = control<QLabel>(QString::fromLatin1(c.label)))
            label->setText(QString::fromLatin1(c.prefix) + (c.speed ? speed : length));
}

void TfrmMain::MenuUnitsClick(QAction* chosen)
{
    const bool wantInch = chosen == menuItem(QStringLiteral("mniinch"));
    auto check = [this](bool inchChecked) {
        menuItem(QStringLiteral("mniinch"))->setChecked(inchChecked);
        menuItem(QStringLiteral("mnimm"))->setChecked(!inchChecked);
    };
    config::WindowState& state = *m_state;
    check(state.inch); // the menu toggled the item on its own; the unit in force decides
    if (wantInch == state.inch)
        return;
    // A value typed but not yet checked is checked before it is stored in the old unit.
    if (!ui::finishEntry(this))
        return;
    config::storeConfiguration(*this, state);
    check(wantInch);
    state.inch = wantInch;
    m_settings.setLengthUnitInch(wantInch);
    config::showConfiguration(*this, state);
    // As after every other showing: the rows get their reference numbers back.
    config::referenceSelectClick(*this, state);
    rebuildUnitCaptions();
}

int TfrmMain::colorType() const
{
    if (menuItem(QStringLiteral("mniColorTimed"))->isChecked())
        return 1;
    if (menuItem(QStringLiteral("mniColorStay"))->isChecked())
        return 2;
    return 0;
}

void TfrmMain::setWindowColour(const QColor& colour)
{
    QPalette palette = m_clientPalette;
    if (colour.isValid())
        palette.setColor(QPalette::Window, colour);
    centralWidget()->setPalette(palette);
}

void TfrmMain::restoreNormalColour()
{
    m_tmrColorChange->stop();
    setWindowColour(QColor());
}

bool TfrmMain::colorFeedback(bool success)
{
    const int type = colorType();
    if (type != 0)
        setWindowColour(success ? kSuccess : kFailure);
    // An interval of 0 never expires.
    if (type == 1 && m_tmrColorChange->interval() > 0)
        m_tmrColorChange->start();
    return type == 0;
}

void TfrmMain::mniColorOffClick()
{
    menuItem(QStringLiteral("mniColorOff"))->setChecked(true);
    m_settings.setColorType(0);
    restoreNormalColour();
}

void TfrmMain::mniColorTimedClick()
{
    menuItem(QStringLiteral("mniColorTimed"))->setChecked(true);
    if (TfrmColorTime* dialog = windows().frmColorTime) {
        dialog->edtSeconds()->setText(QString::number(unsigned(m_tmrColorChange->interval() / 1000)));
        if (ui::dialogs().run(dialog) == QDialog::Accepted) {
            const QString text = TfrmColorTime::correctedSeconds(dialog->edtSeconds()->text());
            menuItem(QStringLiteral("mniColorTimed"))->setText(QStringLiteral("&Timed (") + text + QStringLiteral("s)..."));
            m_tmrColorChange->setInterval(text.toInt() * 1000);
            m_settings.setColorTimer(text.toLong());
        }
    }
    m_settings.setColorType(1);
}

void TfrmMain::mniColorStayClick()
{
    menuItem(QStringLiteral("mniColorStay"))->setChecked(true);
    m_settings.setColorType(2);
}

void TfrmMain::tmrColorChangeTimer()
{
    restoreNormalColour();
}

void TfrmMain::mniShowHintsClick()
{
    m_hintsShown = menuItem(QStringLiteral("mniShowHints"))->isChecked();
    m_settings.setShowHints(m_hintsShown);
}

void TfrmMain::cmbTimeFormatChange()
{
    auto* format = control<QComboBox>(QStringLiteral("cmbTimeFormat"));
    if (!format)
        return;
    m_live->timeFormatChanged();
    m_settings.setTimeFormat(format->currentIndex());
}

void TfrmMain::mniConflictAskClick(QAction* item)
{
    item->setChecked(true);
    if (menuItem(QStringLiteral("mniConflictConfigurator"))->isChecked())
        m_settings.setConflictHandler(1);
    else if (menuItem(QStringLiteral("mniConflictConfiguration"))->isChecked())
        m_settings.setConflictHandler(2);
    else
        m_settings.setConflictHandler(0);
}

} // namespace app
