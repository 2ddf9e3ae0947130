#include "config/channels.h"

#include "config/catalog.h"
#include "config/windowstate.h"
#include "ui/events.h"
#include "ui/hints.h"
#include "ui/formview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace config {

namespace {

int tagOf(const QObject* o)
{
    return o ? o->property("tag").toInt() : 0;
}

QComboBox* box(const ui::FormView& v, const QString& name)
{
    return v.control<QComboBox>(name);
}

// Reference index per channel of each preset; -1 automatic.
struct Preset
{
    Selection selection;
    const char* button;
    std::array<int, 4> channels;
};

constexpr Preset kPresets[] = {
    {Selection::PnP, "rbPnP", {-1, -1, -1, -1}},  {Selection::OneRef, "rb1Ref", {0, 0, 0, 0}},
    {Selection::TwoPar, "rb2par", {0, 0, 1, 2}},   {Selection::TwoPlusTwo, "rb2p2par", {0, 0, 1, 1}},
    {Selection::ThreePar, "rb3par", {0, 0, 0, 1}}, {Selection::Single, "rbSingle", {0, 1, 2, 3}},
    {Selection::Custom, "rbCustom", {0, 0, 0, 0}},
};

void centreOver(QWidget* label, const QWidget* control)
{
    if (label && control)
        label->move(control->x() + (control->width() - label->width()) / 2, label->y());
}

} // namespace

uint16_t encodeChannel(int aIndex, int aTag, int bIndex, int mode)
{
    if (aTag >= 65535 && aIndex < 8)
        return kAutomaticChannel;
    if (aIndex < 8)
        return uint16_t(mode == 0 ? aIndex : 7 - aIndex);
    const int a = aIndex < 12 ? aIndex : aIndex + 4;
    const int b = bIndex < 4 ? bIndex + 8 : bIndex + 12;
    return uint16_t(a + 256 * b);
}

DecodedChannel decodeChannel(uint16_t code, int mode)
{
    DecodedChannel d;
    if (code < 8) {
        d.a = (mode == 0 || mode == 2) ? code : 7 - code;
        d.b = 0;
        return d;
    }
    int a = code & 0xFF;
    int b = code >> 8;
    auto invalid = [](int v) { return v >= 18 || (v >= 13 && v <= 15); };
    if (invalid(a)) {
        d.ok = false;
        a = 0;
    } else if (a == 16 || a == 17) {
        a -= 4;
    }
    if (invalid(b)) {
        d.ok = false;
        b = 0;
    }
    if (b >= 8)
        b -= 8;
    if (b >= 8)
        b -= 4;
    d.a = a;
    d.b = b;
    return d;
}

Selection selectionForCodes(const std::array<uint16_t, 4>& c, int mode)
{
    bool allAux = true;
    bool anyAuto = false;
    for (uint16_t code : c) {
        allAux = allAux && code >= 8;
        anyAuto = anyAuto || code == 65535;
    }
    if (allAux)
        return (anyAuto && mode == 0) ? Selection::PnP : Selection::Custom;
    auto zeroOrAux = [](uint16_t v) { return v == 0 || v >= 8; };
    if (c[0] == 0 && c[1] == 0 && zeroOrAux(c[2]) && zeroOrAux(c[3]))
        return Selection::OneRef;
    const std::array<uint16_t, 4> twoPar{0, 0, 1, 2}, twoPlusTwo{0, 0, 1, 1}, threePar{0, 0, 0, 1}, single{0, 1, 2, 3};
    if (c == twoPar)
        return Selection::TwoPar;
    if (c == twoPlusTwo)
        return Selection::TwoPlusTwo;
    if (c == threePar)
        return Selection::ThreePar;
    if (c == single)
        return Selection::Single;
    return Selection::Custom;
}

QRadioButton* selectionButton(const ui::FormView& view, Selection selection)
{
    for (const Preset& p : kPresets)
        if (p.selection == selection)
            return view.control<QRadioButton>(QString::fromLatin1(p.button));
    return nullptr;
}

Selection checkedSelection(const ui::FormView& view)
{
    for (const Preset& p : kPresets)
        if (auto* rb = view.control<QRadioButton>(QString::fromLatin1(p.button)); rb && rb->isChecked())
            return p.selection;
    return Selection::Custom;
}

uint16_t encodeChannel(const QComboBox* a, const QComboBox* b, int mode)
{
    return encodeChannel(a ? a->currentIndex() : 0, tagOf(a), b ? std::max(0, b->currentIndex()) : 0, mode);
}

bool decodeChannel(uint16_t code, QComboBox* a, QComboBox* b, int mode)
{
    const DecodedChannel d = decodeChannel(code, mode);
    if (a)
        a->setCurrentIndex(d.a < a->count() ? d.a : -1);
    if (b)
        b->setCurrentIndex(d.b < b->count() ? d.b : -1);
    return d.ok;
}

namespace {

// The reference of each row (65535 for a row without one) and whether the row is in use.
struct Rows
{
    std::array<int, 4> list{65535, 65535, 65535, 65535};
    std::array<bool, 4> enabled{};
};

Rows rowsOf(const ui::FormView& w, const WindowState& state, Selection selection)
{
    Rows rows;
    auto& list = rows.list;
    if (selection == Selection::Custom) {
        for (int i = 0; i < 4; ++i)
            if (QComboBox* c = box(w, channelBox(i + 1)); c && c->currentIndex() >= 0 && c->currentIndex() < 8)
                list[std::size_t(i)] = c->currentIndex();
        const int lastPair = isMz40(state.productMode) ? 1 : 3;
        for (bool changed = true; changed;) {
            changed = false;
            for (int p = 0; p < lastPair; ++p) {
                int& first = list[std::size_t(p)];
                int& second = list[std::size_t(p + 1)];
                if (second < first) {
                    std::swap(first, second);
                    changed = true;
                }
                if (first < 65535 && first == second) {
                    first = 65535;
                    changed = true;
                }
            }
        }
        for (int r = 0; r < 4; ++r)
            rows.enabled[std::size_t(r)] = list[std::size_t(r)] < 65535;
    } else {
        rows.enabled = {true, selection != Selection::OneRef && selection != Selection::PnP,
                        selection == Selection::TwoPar || selection == Selection::Single, selection == Selection::Single};
        for (int r = 0; r < 4; ++r)
            list[std::size_t(r)] = r == 0 ? 0 : (rows.enabled[std::size_t(r)] ? r : 65535);
    }
    return rows;
}

// The row's hints name the reference its channel belongs to (advanced view); the Settings tab's
// boxes name reference 1 (standard view).
void fillRowHints(const ui::FormView& w, const WindowState& state, int r, int reference)
{
    if (!state.advanced)
        return;
    const auto& row = w.arrays().refs[std::size_t(r)];
    for (int m = 0; m < ui::RefMemberCount; ++m) {
        QWidget* control = row[std::size_t(m)];
        if (m == ui::cmbEopUp || m == ui::cmbEopDw || m == ui::cmbChan)
            continue;
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QCheckBox*>(control))
            ui::fillHintPlaceholder(control, reference, state.productMode);
    }
}

void fillSettingsHints(const ui::FormView& w, const WindowState& state)
{
    if (state.advanced)
        return;
    for (const char* name : {"cmbActLt", "cmbStrokeLt", "cmbLowerLt", "cmbSafeStrokeMinLt", "cmbForcedLt"})
        ui::fillHintPlaceholder(w.control(QString::fromLatin1(name)), 0, state.productMode);
}

} // namespace

void fillReferenceHints(const ui::FormView& view, const WindowState& state)
{
    const Rows rows = rowsOf(view, state, checkedSelection(view));
    for (int r = 0; r < 4; ++r)
        fillRowHints(view, state, r, rows.list[std::size_t(r)]);
    fillSettingsHints(view, state);
}

void referenceSelectClick(ui::FormView& w, const WindowState& state)
{
    const Selection selection = checkedSelection(w);
    const bool custom = selection == Selection::Custom;
    if (QWidget* group = w.control(QStringLiteral("gbCustomSelection")))
        group->setVisible(custom);
    w.reflowGroups();

    const Rows rows = rowsOf(w, state, selection);
    const std::array<int, 4>& list = rows.list;
    const std::array<bool, 4>& enabled = rows.enabled;
    std::array<QComboBox*, 4> chan{};
    for (int i = 0; i < 4; ++i)
        chan[std::size_t(i)] = box(w, channelBox(i + 1));

    if (!custom) {
        const Preset* preset = nullptr;
        for (const Preset& p : kPresets)
            if (p.selection == selection)
                preset = &p;
        for (int i = 0; i < 4; ++i) {
            QComboBox* c = chan[std::size_t(i)];
            if (!c)
                continue;
            const int reference = preset->channels[std::size_t(i)];
            c->setCurrentIndex(std::max(0, reference));
            c->setProperty("tag", reference < 0 ? 65535 : reference);
        }
    }
    for (int r = 0; r < 4; ++r)
        if (QWidget* act = w.arrays().refs[std::size_t(r)][ui::cmbAct])
            act->setEnabled(enabled[std::size_t(r)]);

    for (int i = 1; i <= 8; ++i)
        if (auto* label = w.control<QLabel>(QStringLiteral("lblRef%1").arg(i))) {
            QFont font = label->font();
            font.setBold(false);
            label->setFont(font);
        }

    for (int r = 0; r < 4; ++r) {
        const int e = list[std::size_t(r)];
        const auto& row = w.arrays().refs[std::size_t(r)];
        const QString caption = (chan[0] && e < chan[0]->count()) ? chan[0]->itemText(e) : QStringLiteral("Unused");
        if (auto* label = qobject_cast<QLabel*>(row[ui::lblRefRef])) {
            label->setText(caption);
            label->setProperty("tag", e);
            centreOver(label, row[ui::cmbAct]);
        }
        if (custom)
            for (QComboBox* c : chan)
                if (c && c->currentIndex() == e)
                    c->setProperty("tag", r);
        if (e >= 0 && e <= 7)
            if (auto* label = w.control<QLabel>(QStringLiteral("lblRef%1").arg(e + 1))) {
                QFont font = label->font();
                font.setBold(true);
                label->setFont(font);
            }
        const std::pair<ui::RefMember, ui::RefMember> copies[] = {
            {ui::lblSetRef, ui::cmbStroke},        {ui::lblSlsRef, ui::cmbSlsRetUp},
            {ui::lblStopMaxRef, ui::cmbSafeStrokeMax}, {ui::lblStopMinRef, ui::cmbSafeStrokeMax},
            {ui::lblVariRef, ui::cmbInitPlug},     {ui::lblImpRef, ui::lblImpRef},
        };
        for (const auto& [labelMember, over] : copies)
            if (auto* label = qobject_cast<QLabel*>(row[labelMember])) {
                label->setText(caption);
                if (over != labelMember)
                    centreOver(label, row[over]);
            }
        fillRowHints(w, state, r, e);
    }
    applyRowEnableRule(w);
    fillSettingsHints(w, state);
    if (state.productMode == ModeRq9)
        for (int i = 1; i <= 2; ++i)
            if (auto* label = w.control<QLabel>(QStringLiteral("lblRef%1").arg(i))) {
                QFont font = label->font();
                font.setBold(true);
                label->setFont(font);
            }
}

void applyRowEnableRule(ui::FormView& w)
{
    using namespace ui;
    static const RefMember perRow[] = {cmbInitPlug, cmbStroke, cmbLower, cmbSpeed, cmbSpeedDown, cbxIgnUp, cbxIgnDw,
                                       cmbAcEnable, cmbActUp, cmbActDw, cmbEopUp, cmbEopDw, cmbEopRetUp, cmbEopRetDw,
                                       cmbSafeStrokeMax, cmbSafeStrokeMin, cmbSafeSpeedUp, cmbSafeSpeedDw, cbxSafeMaxUp,
                                       cbxSafeMaxDw, cbxSafeMinUp, cbxSafeMinDw, cbxSafeSpeedMaxUp, cbxSafeSpeedMaxDw,
                                       cbxSafeSpeedMinUp, cbxSafeSpeedMinDw, cbxUnlockMax, cbxUnlockMin, cbxSafetyMem,
                                       cbxImpUp, cbxImpDw, cbxImpMem};
    for (int r = 0; r < kReferenceRecords; ++r) {
        const auto& row = w.arrays().refs[std::size_t(r)];
        const bool on = row[cmbAct] && row[cmbAct]->isEnabled();
        for (RefMember m : perRow)
            if (row[m])
                row[m]->setEnabled(on);
    }
    cbxIgnClick(w);
}

void cbxIgnClick(ui::FormView& w)
{
    using namespace ui;
    // An SLS return distance only matters while SLS is not ignored.
    for (int r = 0; r < kReferenceRecords; ++r) {
        const auto& row = w.arrays().refs[std::size_t(r)];
        auto* ignUp = qobject_cast<QCheckBox*>(row[cbxIgnUp]);
        auto* ignDw = qobject_cast<QCheckBox*>(row[cbxIgnDw]);
        if (row[cmbSlsRetUp])
            row[cmbSlsRetUp]->setEnabled(ignUp && ignUp->isEnabled() && !ignUp->isChecked());
        if (row[cmbSlsRetDw])
            row[cmbSlsRetDw]->setEnabled(ignDw && ignDw->isEnabled() && !ignDw->isChecked());
    }
}

void cmbChannelChange(ui::FormView& w, const WindowState& state)
{
    referenceSelectClick(w, state);
    bool anyB = false;
    for (int i = 1; i <= 4; ++i) {
        QComboBox* a = box(w, channelBox(i));
        QComboBox* b = box(w, channelPortBBox(i));
        if (!a || !b)
            continue;
        const bool aShown = i <= 2 || !a->isHidden();
        b->setVisible(aShown && a->currentIndex() > 7);
        anyB = anyB || !b->isHidden();
    }
    for (const char* name : {"lPortA", "lPortB"})
        if (QWidget* label = w.control(QString::fromLatin1(name)))
            label->setVisible(anyB);
    if (QWidget* group = w.control(QStringLiteral("gbCustomSelection"))) {
        const QWidget* lowest = anyB ? box(w, channelPortBBox(1)) : box(w, channelBox(1));
        if (lowest)
            group->resize(group->width(), lowest->y() + lowest->height() + 11);
    }
    w.reflowGroups();
}

void connectChannelHandlers(ui::FormView& w, const WindowState& state)
{
    for (const Preset& p : kPresets)
        ui::onUserEdit(w.control(QString::fromLatin1(p.button)), [&w, &state](QWidget*) { referenceSelectClick(w, state); });
    for (int i = 1; i <= 4; ++i)
        for (const QString& name : {channelBox(i), channelPortBBox(i)})
            ui::onUserEdit(box(w, name), [&w, &state](QWidget*) { cmbChannelChange(w, state); });
    for (int r = 0; r < ui::kReferenceRecords; ++r)
        for (ui::RefMember m : {ui::cbxIgnUp, ui::cbxIgnDw})
            ui::onUserEdit(w.arrays().refs[std::size_t(r)][m], [&w](QWidget*) { cbxIgnClick(w); });
}

} // namespace config
