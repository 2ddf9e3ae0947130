// Product modes: the choice of product at start-up, the mode switch, what each mode shows, the
// re-flow of the groups, the reference names and the check against the connected box's mode.

#include "app/frmmain.h"

#include "config/catalog.h"
#include "config/channels.h"
#include "config/windowstate.h"
#include "device/moxtalib.h"
#include "rules/actuators.h"
#include "rules/auxmassage.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>

#include <array>

namespace app {

namespace {

using Modes = std::array<bool, 5>;

struct Shown
{
    const char* name;
    Modes modes;
};

// Tabs shown exactly in the modes marked; Programmer, Status and Settings follow other rules.
constexpr Shown kTabs[] = {
    {"tsRefs", {1, 1, 0, 1, 1}},      {"tsRefCfgs", {1, 1, 0, 0, 1}},   {"tsRQ9", {0, 0, 1, 0, 0}},
    {"tsMZ40", {0, 0, 0, 1, 1}},      {"tsMZ40AdvVar", {0, 0, 0, 0, 1}}, {"tsSafetyStop2", {1, 0, 0, 0, 0}},
    {"tsSafetyStop1", {1, 0, 0, 0, 0}}, {"tsSLS", {1, 0, 0, 0, 0}},     {"tsAux", {1, 1, 0, 0, 1}},
    {"tsVarious", {1, 1, 0, 0, 0}},   {"tsParameters", {1, 0, 0, 0, 0}}, {"tsMemory", {0, 1, 1, 0, 1}},
    {"tsReset", {0, 1, 1, 0, 1}},
};

// Controls shown exactly in the modes marked.
constexpr Shown kControls[] = {
    {"lblActivations0", {1, 1, 0, 1, 1}}, {"lblActivations", {1, 1, 0, 1, 1}},
    {"lblSitStands0", {1, 1, 0, 0, 0}},   {"lblSitStands", {1, 1, 0, 0, 0}},
    {"ButtonCompareDevs", {0, 1, 1, 0, 0}}, {"gbRefSelection", {1, 0, 1, 0, 0}},
    {"rbPnP", {1, 0, 1, 1, 1}},           {"gbActuatorType", {1, 1, 0, 0, 0}},
    {"gbLowerAkLimit", {1, 1, 1, 0, 1}},  {"gbRefSpeed", {1, 1, 1, 0, 1}},
    {"gbAuxOutputs", {1, 1, 0, 0, 0}},    {"cbxExternUBL", {0, 1, 0, 0, 0}},
    {"gbMassageModes", {0, 1, 0, 0, 1}},  {"gbMassageIntens", {0, 1, 0, 0, 1}},
    {"gbMassageTimers", {0, 1, 0, 0, 1}}, {"gbPowerSettings", {0, 1, 0, 0, 0}},
    {"gbImpulseDrive", {1, 0, 0, 0, 0}},  {"gbInitLock", {1, 0, 0, 0, 0}},
    {"gbPlugUsage", {1, 0, 0, 0, 0}},     {"gbSLS", {1, 0, 1, 0, 0}},
    {"lSLS_up", {1, 0, 1, 0, 0}},         {"lSLS_down", {1, 0, 1, 0, 0}},
    {"gbResetDrive", {0, 1, 1, 0, 1}},    {"pnlMZ40StdOnly", {0, 0, 0, 1, 0}},
    {"pnlMZ40AdvOnly", {0, 0, 0, 0, 1}},
};

struct Reflow
{
    const char* tab;
    int top;
    std::array<const char*, 6> groups;
};

// Groups stacked from the start top in this order; a hidden group takes no room.
constexpr Reflow kReflow[] = {
    {"tsRefs", 8, {"gbRefSelection", "gbCustomSelection", "gbActuatorType"}},
    {"tsRefCfgs", 24, {"gbMaxStroke", "gbLowerAkLimit", "gbRefSpeed"}},
    {"tsSLS", 24, {"GroupBox9", "gbSLS", "gbEOP", "gbReturnDrive"}},
    {"tsSafetyStop1", 24, {"GroupBox22", "GroupBox28", "GroupBox26"}},
    {"tsSafetyStop2", 24, {"GroupBox27", "GroupBox24"}},
    {"tsVarious", 8, {"gbForcedInit", "gbPowerSettings", "gbInitLock", "gbZeroPower", "gbImpulseDrive", "gbPlugUsage"}},
};

const char* const kFurniture[] = {"Backrest", "Legrest", "Headrest", "Footrest", "Extra 1", "Extra 2", "Extra 3", "Extra 4"};

// Shown, as the window would show it once its tab is: hidden pages do not count.
bool shown(const QWidget* w)
{
    return w && !w->isHidden();
}

} // namespace

QAction* TfrmMain::modeItem(int mode) const
{
    return menuItem(QString::fromLatin1(config::kModeMenuItems[std::size_t((mode >= 0 && mode <= 4) ? mode : 0)]));
}

int TfrmMain::checkedMode() const
{
    for (int mode = 0; mode <= config::ModeMz40Advanced; ++mode)
        if (modeItem(mode)->isChecked())
            return mode;
    return config::ModeTavrin;
}

QString TfrmMain::productSelection(long hardware)
{
    using namespace config;
    bool& advanced = m_state->advanced;
    const QString first = m_arguments.isEmpty() ? QString() : m_arguments.first().toUpper();
    int mode = ModeTavrin;
    QString product;
    bool modeMenu = false;
    if (first == u"COMBINED") {
        advanced = true;
        modeMenu = true;
        mode = (hardware >= 1 && hardware <= 4) ? int(hardware) : ModeTavrin;
        product = QStringLiteral("Control Box");
    } else if (first == u"WZQ" || first == u"BELMORA") {
        advanced = true;
        mode = ModeBelmora;
        product = QStringLiteral("WZQ");
    } else if (first == u"RQ9") {
        advanced = true;
        mode = ModeRq9;
        product = QStringLiteral("RQ9");
    } else if (first == u"MZ40STD") {
        advanced = true;
        mode = ModeMz40Standard;
        product = QStringLiteral("MZ40 Standard");
    } else if (first == u"MZ40ADV") {
        advanced = true;
        mode = ModeMz40Advanced;
        product = QStringLiteral("MZ40 Advanced");
    } else {
        product = advanced ? QStringLiteral("KVR5E Advanced") : QStringLiteral("KVR5E");
    }
    menuItem(QStringLiteral("mniMode"))->setVisible(modeMenu);
    mniModeItemClick(modeItem(mode));
    return product + QStringLiteral(" Configurator");
}

void TfrmMain::mniModeItemClick(QAction* item)
{
    using namespace config;
    WindowState& state = *m_state;
    int mode = ModeTavrin;
    for (int m = 0; m <= ModeMz40Advanced; ++m)
        if (item == modeItem(m))
            mode = m;
    for (int m = 0; m <= ModeMz40Advanced; ++m)
        modeItem(m)->setChecked(m == mode);

    state.limitsFilePath = state.dataDirectory
                           + ((mode == ModeTavrin || mode == ModeRq9) ? QStringLiteral("limits.ini") : QStringLiteral("limitsWZQ.ini"));
    modeVisibility(mode);
    // MZ40 Advanced leaves the outputs' rows as they were; the mode we come to shows them by type.
    rules::cmbAuxTypeChange(*this, state);
    rules::chooseActuatorFile(*this, state, nullptr);
    state.configurationType = isMz40(mode) ? QStringLiteral("MZ40") : QStringLiteral("KVR5E");
    device::lib::closeConfig();
    device::lib::openConfig(state.configurationType);
    config::cmbChannelChange(*this, state);
    menuItem(QStringLiteral("MenuMemoryUnits"))->setVisible(mode == ModeRq9);
    m_settings.setHardware(mode);
}

void TfrmMain::modeVisibility(int mode)
{
    using namespace config;
    m_state->productMode = mode;
    QWidget* activeBefore = pgcMain()->currentWidget();
    const bool activeWasShown = activeBefore && tabShown(activeBefore);

    for (const Shown& t : kTabs)
        setTabShown(tab(QString::fromLatin1(t.name)), t.modes[std::size_t(mode)]);
    for (const Shown& c : kControls)
        if (QWidget* w = control(QString::fromLatin1(c.name)))
            w->setVisible(c.modes[std::size_t(mode)]);

    // Aux 2 to 4 of the reset drive and of the memory slots are not in mode 4's box.
    for (int aux = 2; aux <= 4; ++aux) {
        for (const QString& name : {QStringLiteral("cbxResDrvUpAux%1"), QStringLiteral("cbxResDrvDownAux%1"),
                                    QStringLiteral("lblRdtoAux%1")})
            if (QWidget* w = control(name.arg(aux)))
                w->setEnabled(mode != ModeMz40Advanced);
        for (int slot = 1; slot <= 6; ++slot)
            if (QWidget* w = control(QStringLiteral("cbxMem%1Aux%2").arg(slot).arg(aux)))
                w->setEnabled(mode != ModeMz40Advanced);
    }

    // References 3 and 4 exist only where the box drives them.
    const bool third = mode == ModeTavrin || mode == ModeBelmora || mode == ModeRq9;
    const bool fourth = mode == ModeTavrin || mode == ModeRq9;
    for (int r = 2; r <= 3; ++r)
        for (int m = 0; m < ui::RefMemberCount; ++m)
            if (QWidget* w = m_arrays.refs[std::size_t(r)][std::size_t(m)];
                w && m != ui::cmbInitPlug && m != ui::cmbSlsRetUp && m != ui::cmbSlsRetDw)
                w->setVisible(r == 2 ? third : fourth);

    pgcMain()->setTabText(pgcMain()->indexOf(tab(QStringLiteral("tsSLS"))),
                          mode == ModeBelmora ? QStringLiteral("EOP") : QStringLiteral("SLS_EOP"));
    pgcMain()->setTabText(pgcMain()->indexOf(tab(QStringLiteral("tsAux"))),
                          mode == ModeBelmora ? QStringLiteral("AUX/Massage") : QStringLiteral("AUX"));

    // Return drive: without SLS rows the EOP rows move up into their place.
    QWidget* slsUp = control(QStringLiteral("lSLS_up"));
    QWidget* slsDown = control(QStringLiteral("lSLS_down"));
    const bool s = shown(slsUp);
    auto moveTop = [](QWidget* w, int top) {
        if (w)
            w->move(w->x(), top);
    };
    moveTop(control(QStringLiteral("lEOP_up")), s ? 76 : 22);
    moveTop(control(QStringLiteral("lEOP_down")), shown(slsDown) ? 103 : 49);
    if (QWidget* returnDrive = control(QStringLiteral("gbReturnDrive")))
        returnDrive->resize(returnDrive->width(), s ? 130 : 80);
    for (int r = 0; r < ui::kReferenceRecords; ++r) {
        const auto& row = m_arrays.refs[std::size_t(r)];
        if (QWidget* w = row[ui::cmbSlsRetUp])
            w->setVisible(s);
        if (QWidget* w = row[ui::cmbSlsRetDw])
            w->setVisible(s);
        moveTop(row[ui::cmbEopRetUp], s ? 72 : 18);
        moveTop(row[ui::cmbEopRetDw], s ? 99 : 45);
    }

    const bool custom = mode == ModeBelmora || isMz40(mode);
    if (auto* rb = control<QRadioButton>(custom ? QStringLiteral("rbCustom") : QStringLiteral("rbPnP")))
        rb->setChecked(true);
    config::referenceSelectClick(*this, *m_state);

    reflowGroups();

    if (!activeBefore || !activeWasShown || !tabShown(activeBefore))
        setActivePage(tab(mode == ModeRq9 ? QStringLiteral("tsRQ9") : QStringLiteral("tsRefs")));

    referenceNaming();
}

void TfrmMain::reflowGroups()
{
    for (const Reflow& r : kReflow) {
        QWidget* page = tab(QString::fromLatin1(r.tab));
        if (!tabShown(page))
            continue;
        int top = r.top;
        for (const char* name : r.groups) {
            if (!name)
                break;
            QWidget* group = control(QString::fromLatin1(name));
            if (!shown(group))
                continue;
            group->move(group->x(), top);
            top += group->height() + 8;
        }
    }

    if (QWidget* aux = tab(QStringLiteral("tsAux")); tabShown(aux)) {
        QWidget* outputs = control(QStringLiteral("gbAuxOutputs"));
        QWidget* extern_ = control(QStringLiteral("cbxExternUBL"));
        if (outputs && shown(extern_))
            outputs->resize(outputs->width(), extern_->y() + extern_->height() + 8);
        int top = 8;
        if (shown(outputs)) {
            outputs->move(outputs->x(), 8);
            top = 8 + outputs->height() + 8;
        }
        for (const char* name : {"gbMassageModes", "gbMassageIntens", "gbMassageTimers"})
            if (QWidget* g = control(QString::fromLatin1(name)))
                g->move(g->x(), top);
    }
    if (QWidget* reset = tab(QStringLiteral("tsReset")); tabShown(reset)) {
        QWidget* drive = control(QStringLiteral("gbResetDrive"));
        const int left = shown(drive) ? drive->geometry().right() + 1 + 8 : 8;
        for (const char* name : {"gbResetTurnsOff", "gbResetOrder"})
            if (QWidget* g = control(QString::fromLatin1(name)))
                g->move(left, g->y());
    }
    if (QWidget* mz40 = tab(QStringLiteral("tsMZ40")); tabShown(mz40)) {
        QWidget* standard = control(QStringLiteral("pnlMZ40StdOnly"));
        QWidget* advancedOnly = control(QStringLiteral("pnlMZ40AdvOnly"));
        if (standard && advancedOnly)
            advancedOnly->move(advancedOnly->x(), standard->y());
    }
}

void TfrmMain::referenceNaming()
{
    std::array<QComboBox*, 4> lists{};
    std::array<int, 4> selected{};
    for (int i = 0; i < 4; ++i) {
        lists[std::size_t(i)] = control<QComboBox>(config::channelBox(i + 1));
        selected[std::size_t(i)] = lists[std::size_t(i)] ? lists[std::size_t(i)]->currentIndex() : -1;
    }
    QStringList names;
    for (int r = 0; r < 8; ++r)
        names << (m_state->productMode == config::ModeTavrin ? QStringLiteral("Reference %1").arg(r + 1)
                                                             : QString::fromLatin1(kFurniture[r]));
    for (int r = 0; r < 8; ++r)
        if (auto* label = control<QLabel>(QStringLiteral("lblRef%1").arg(r + 1)))
            label->setText(names[r]);
    QStringList items = names;
    if (!config::isMz40(m_state->productMode))
        items << QStringLiteral("Aux 1") << QStringLiteral("Aux 2") << QStringLiteral("Aux 3") << QStringLiteral("Aux 4")
              << QStringLiteral("Massage 1") << QStringLiteral("Massage 2");
    for (int i = 0; i < 4; ++i) {
        QComboBox* list = lists[std::size_t(i)];
        if (!list)
            continue;
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(items);
        const int index = selected[std::size_t(i)];
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
    }
}

bool TfrmMain::modeCheck()
{
    const int boxMode = m_state->connectedBoxMode;
    if (boxMode == m_state->productMode)
        return true;
    const QString product = config::productNameOfMode(boxMode);
    if (menuItem(QStringLiteral("mniMode"))->isVisible()) {
        if (menuItem(QStringLiteral("mniWarn"))->isChecked()
            && !ui::dialogs().question(this, QStringLiteral("Configurator needs to change mode to continue.\n\n"
                                                            "Are you sure you want to change to ")
                                                 + product))
            return false;
        mniModeItemClick(modeItem(boxMode));
        return true;
    }
    ui::dialogs().information(this, QStringLiteral("Configurator cannot be used by connected hardware.\n\nPlease use ")
                                        + product + QStringLiteral(" configurator instead."));
    return false;
}

void TfrmMain::mniWarnClick()
{
    m_settings.setWarnOnChange(menuItem(QStringLiteral("mniWarn"))->isChecked());
}

} // namespace app
