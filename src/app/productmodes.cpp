// Product modes: the choice of product at start-up, the mode switch, what each mode shows, the
// re-flow of the groups, the reference names and the check against the connected box's mode.

#include "app/frmmain.h"

#include "config/channels.h"
#include "device/moxtalib.h"
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

const char* const kModeItems[] = {"mniKVR5E", "mniWZQ", "mniRQ9", "mniMZ40STD", "mniMZ40ADV"};
const char* const kFurniture[] = {"Backrest", "Legrest", "Headrest", "Footrest", "Extra 1", "Extra 2", "Extra 3", "Extra 4"};

// Shown, as the window would show it once its tab is: hidden pages do not count.
bool shown(const QWidget* w)
{
    return w && !w->isHidden();
}

} // namespace

QString productNameOfMode(int mode)
{
    static const char* const names[] = {"KVR5E", "WZQ", "RQ9", "MZ40STD", "MZ40ADV"};
    return QString::fromLatin1(names[(mode >= 0 && mode <= 4) ? mode : 0]);
}

QAction* TfrmMain::modeItem(int mode) const
{
    return findChild<QAction*>(QString::fromLatin1(kModeItems[(mode >= 0 && mode <= 4) ? mode : 0]));
}

int TfrmMain::checkedMode() const
{
    for (int mode = 0; mode <= ModeMz40Advanced; ++mode)
        if (modeItem(mode)->isChecked())
            return mode;
    return ModeTavrin;
}

QString TfrmMain::productSelection(long hardware)
{
    const QString first = arguments.isEmpty() ? QString() : arguments.first().toUpper();
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
    findChild<QMenu*>(QStringLiteral("mniMode"))->menuAction()->setVisible(modeMenu);
    mniModeItemClick(modeItem(mode));
    return product + QStringLiteral(" Configurator");
}

void TfrmMain::mniModeItemClick(QAction* item)
{
    int mode = ModeTavrin;
    for (int m = 0; m <= ModeMz40Advanced; ++m)
        if (item == modeItem(m))
            mode = m;
    for (int m = 0; m <= ModeMz40Advanced; ++m)
        modeItem(m)->setChecked(m == mode);

    limitsFilePath = dataDirectory
                     + ((mode == ModeTavrin || mode == ModeRq9) ? QStringLiteral("limits.ini") : QStringLiteral("limitsWZQ.ini"));
    modeVisibility(mode);
    rules::chooseActuatorFile(*this, nullptr);
    configurationType = (mode == ModeMz40Standard || mode == ModeMz40Advanced) ? QStringLiteral("MZ40") : QStringLiteral("KVR5E");
    device::lib::closeConfig();
    device::lib::openConfig(configurationType);
    config::cmbChannelChange(*this);
    findChild<QMenu*>(QStringLiteral("MenuMemoryUnits"))->menuAction()->setVisible(mode == ModeRq9);
    settings.setHardware(mode);
}

void TfrmMain::modeVisibility(int mode)
{
    productMode = mode;
    QWidget* activeBefore = pgcMain()->currentWidget();
    const bool activeWasShown = activeBefore && tabShown(activeBefore);

    for (const Shown& t : kTabs)
        setTabShown(tab(QString::fromLatin1(t.name)), t.modes[std::size_t(mode)]);
    for (const Shown& c : kControls)
        if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(c.name)))
            w->setVisible(c.modes[std::size_t(mode)]);

    // Aux 2 to 4 of the reset drive and of the memory slots are not in mode 4's box.
    for (int aux = 2; aux <= 4; ++aux) {
        for (const QString& name : {QStringLiteral("cbxResDrvUpAux%1"), QStringLiteral("cbxResDrvDownAux%1"),
                                    QStringLiteral("lblRdtoAux%1")})
            if (QWidget* w = findChild<QWidget*>(name.arg(aux)))
                w->setEnabled(mode != ModeMz40Advanced);
        for (int slot = 1; slot <= 6; ++slot)
            if (QWidget* w = findChild<QWidget*>(QStringLiteral("cbxMem%1Aux%2").arg(slot).arg(aux)))
                w->setEnabled(mode != ModeMz40Advanced);
    }

    // References 3 and 4 exist only where the box drives them.
    const bool third = mode == ModeTavrin || mode == ModeBelmora || mode == ModeRq9;
    const bool fourth = mode == ModeTavrin || mode == ModeRq9;
    for (int r = 2; r <= 3; ++r)
        for (int m = 0; m < RefMemberCount; ++m)
            if (QWidget* w = arrays.refs[std::size_t(r)][std::size_t(m)];
                w && m != cmbInitPlug && m != cmbSlsRetUp && m != cmbSlsRetDw)
                w->setVisible(r == 2 ? third : fourth);

    pgcMain()->setTabText(pgcMain()->indexOf(tab(QStringLiteral("tsSLS"))),
                          mode == ModeBelmora ? QStringLiteral("EOP") : QStringLiteral("SLS_EOP"));
    pgcMain()->setTabText(pgcMain()->indexOf(tab(QStringLiteral("tsAux"))),
                          mode == ModeBelmora ? QStringLiteral("AUX/Massage") : QStringLiteral("AUX"));

    // Return drive: without SLS rows the EOP rows move up into their place.
    auto* slsUp = findChild<QWidget*>(QStringLiteral("lSLS_up"));
    auto* slsDown = findChild<QWidget*>(QStringLiteral("lSLS_down"));
    const bool s = shown(slsUp);
    auto moveTop = [](QWidget* w, int top) {
        if (w)
            w->move(w->x(), top);
    };
    moveTop(findChild<QWidget*>(QStringLiteral("lEOP_up")), s ? 76 : 22);
    moveTop(findChild<QWidget*>(QStringLiteral("lEOP_down")), shown(slsDown) ? 103 : 49);
    if (auto* returnDrive = findChild<QWidget*>(QStringLiteral("gbReturnDrive")))
        returnDrive->resize(returnDrive->width(), s ? 130 : 80);
    for (int r = 0; r < kReferenceRecords; ++r) {
        if (QWidget* w = arrays.refs[std::size_t(r)][cmbSlsRetUp])
            w->setVisible(s);
        if (QWidget* w = arrays.refs[std::size_t(r)][cmbSlsRetDw])
            w->setVisible(s);
        moveTop(arrays.refs[std::size_t(r)][cmbEopRetUp], s ? 72 : 18);
        moveTop(arrays.refs[std::size_t(r)][cmbEopRetDw], s ? 99 : 45);
    }

    const bool custom = mode == ModeBelmora || mode == ModeMz40Standard || mode == ModeMz40Advanced;
    if (auto* rb = findChild<QRadioButton*>(custom ? QStringLiteral("rbCustom") : QStringLiteral("rbPnP")))
        rb->setChecked(true);
    config::referenceSelectClick(*this);

    reflowGroups();

    if (!activeBefore || !activeWasShown || !tabShown(activeBefore))
        pgcMain()->setCurrentWidget(tab(mode == ModeRq9 ? QStringLiteral("tsRQ9") : QStringLiteral("tsRefs")));

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
            QWidget* group = page->findChild<QWidget*>(QString::fromLatin1(name));
            if (!shown(group))
                continue;
            group->move(group->x(), top);
            top += group->height() + 8;
        }
    }

    if (QWidget* aux = tab(QStringLiteral("tsAux")); tabShown(aux)) {
        auto* outputs = aux->findChild<QWidget*>(QStringLiteral("gbAuxOutputs"));
        auto* extern_ = aux->findChild<QWidget*>(QStringLiteral("cbxExternUBL"));
        if (outputs && shown(extern_))
            outputs->resize(outputs->width(), extern_->y() + extern_->height() + 8);
        int top = 8;
        if (shown(outputs)) {
            outputs->move(outputs->x(), 8);
            top = 8 + outputs->height() + 8;
        }
        for (const char* name : {"gbMassageModes", "gbMassageIntens", "gbMassageTimers"})
            if (QWidget* g = aux->findChild<QWidget*>(QString::fromLatin1(name)))
                g->move(g->x(), top);
    }
    if (QWidget* reset = tab(QStringLiteral("tsReset")); tabShown(reset)) {
        auto* drive = reset->findChild<QWidget*>(QStringLiteral("gbResetDrive"));
        const int left = shown(drive) ? drive->geometry().right() + 1 + 8 : 8;
        for (const char* name : {"gbResetTurnsOff", "gbResetOrder"})
            if (QWidget* g = reset->findChild<QWidget*>(QString::fromLatin1(name)))
                g->move(left, g->y());
    }
    if (QWidget* mz40 = tab(QStringLiteral("tsMZ40")); tabShown(mz40)) {
        auto* standard = mz40->findChild<QWidget*>(QStringLiteral("pnlMZ40StdOnly"));
        auto* advancedOnly = mz40->findChild<QWidget*>(QStringLiteral("pnlMZ40AdvOnly"));
        if (standard && advancedOnly)
            advancedOnly->move(advancedOnly->x(), standard->y());
    }
}

void TfrmMain::referenceNaming()
{
    std::array<QComboBox*, 4> lists{};
    std::array<int, 4> selected{};
    for (int i = 0; i < 4; ++i) {
        lists[std::size_t(i)] = findChild<QComboBox*>(QStringLiteral("cmbChan%1").arg(i + 1));
        selected[std::size_t(i)] = lists[std::size_t(i)] ? lists[std::size_t(i)]->currentIndex() : -1;
    }
    QStringList names;
    for (int r = 0; r < 8; ++r)
        names << (productMode == ModeTavrin ? QStringLiteral("Reference %1").arg(r + 1) : QString::fromLatin1(kFurniture[r]));
    for (int r = 0; r < 8; ++r)
        if (auto* label = findChild<QLabel*>(QStringLiteral("lblRef%1").arg(r + 1)))
            label->setText(names[r]);
    QStringList items = names;
    if (productMode != ModeMz40Standard && productMode != ModeMz40Advanced)
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
    const int boxMode = connectedBoxMode;
    if (boxMode == checkedMode())
        return true;
    const QString product = productNameOfMode(boxMode);
    if (findChild<QMenu*>(QStringLiteral("mniMode"))->menuAction()->isVisible()) {
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
    settings.setWarnOnChange(menuItem(QStringLiteral("mniWarn"))->isChecked());
}

} // namespace app
