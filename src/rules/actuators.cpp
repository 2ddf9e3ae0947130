#include "rules/actuators.h"

#include "config/access.h"
#include "config/catalog.h"
#include "config/channels.h"
#include "config/windowstate.h"
#include "platform/inifile.h"
#include "ui/dialogs.h"
#include "ui/events.h"
#include "ui/formview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>

#include <algorithm>
#include <array>
#include <type_traits>
#include <variant>

namespace rules {

namespace {

constexpr int kNameChars = 19; // a name in the lists
constexpr int kActnameChars = 40; // a configuration's own name for its actuator
constexpr int kSectionListBytes = 1024;

QString automaticItem()
{
    return QStringLiteral("Auto (default)");
}

// One characteristic of an actuator: its key in an actuator file, the parameter that carries it after
// the reference prefix, and the table field that keeps it in 8 or 16 bits.
using Narrow = uint8_t ActuatorEntry::*;
using Wide = uint16_t ActuatorEntry::*;
struct Characteristic
{
    const char* key;
    const char* parameter;
    std::variant<Narrow, Wide> field;
};

// The twenty-one characteristics a configuration is matched by, in the order they are written.
constexpr std::array<Characteristic, 21> kCharacteristics{{
    {"length", "iid_length", &ActuatorEntry::length},
    {"type", "iid_type", &ActuatorEntry::type},
    {"family", "family", &ActuatorEntry::family},
    {"subtype", "subtype", &ActuatorEntry::subtype},
    {"kemf", "kemf", &ActuatorEntry::kemf},
    {"rmi", "rmi", &ActuatorEntry::rmi},
    {"p2mm", "p2mm", &ActuatorEntry::p2mm},
    {"cm", "cm", &ActuatorEntry::cm},
    {"gfd", "gfd", &ActuatorEntry::gfd},
    {"iup", "iup", &ActuatorEntry::iup},
    {"idw", "idw", &ActuatorEntry::idw},
    {"physstroke", "physstroke", &ActuatorEntry::physstroke},
    {"logistroke", "logistroke", &ActuatorEntry::logistroke},
    {"dbe_up", "dbe_up", &ActuatorEntry::dbeUp},
    {"dbe_dw", "dbe_dw", &ActuatorEntry::dbeDw},
    {"endstopup", "endstopup", &ActuatorEntry::endstopUp},
    {"endstopdn", "endstopdn", &ActuatorEntry::endstopDn},
    {"psys", "psys", &ActuatorEntry::psys},
    {"piezo", "piezo", &ActuatorEntry::piezo},
    {"speed", "speed", &ActuatorEntry::speed},
    {"initplug", "initplug", &ActuatorEntry::initplug},
}};
constexpr std::size_t kFamily = 2;
constexpr std::size_t kSubtype = 3;

// The 12-bit gfd travels as two parameters: bits 0-7 and, in "gfd_h", bits 8-11.
bool isGfd(const Characteristic& c)
{
    return std::holds_alternative<Wide>(c.field) && std::get<Wide>(c.field) == &ActuatorEntry::gfd;
}

uint16_t valueOf(const ActuatorEntry& e, const Characteristic& c)
{
    return std::visit([&e](auto member) -> uint16_t { return e.*member; }, c.field);
}

// Keeps the low 8 or 16 bits, as the field is wide.
void setValue(ActuatorEntry& e, const Characteristic& c, long value)
{
    std::visit(
        [&e, value](auto member) {
            using Field = std::remove_reference_t<decltype(e.*member)>;
            e.*member = static_cast<Field>(value);
        },
        c.field);
}

using Values = std::array<uint16_t, kCharacteristics.size()>;

// Compared as numbers: a parameter above 255 never equals an 8-bit field.
bool matches(const ActuatorEntry& e, const Values& values)
{
    for (std::size_t i = 0; i < kCharacteristics.size(); ++i)
        if (valueOf(e, kCharacteristics[i]) != values[i])
            return false;
    return true;
}

QString parameter(const QString& prefix, const char* stem)
{
    return prefix + QString::fromLatin1(stem);
}

Values readValues(const QString& prefix)
{
    Values values{};
    // Family and subtype first: they pick the entry the rest is compared with.
    values[kFamily] = config::readParameterValue(parameter(prefix, "family"));
    values[kSubtype] = config::readParameterValue(parameter(prefix, "subtype"));
    for (std::size_t i = 0; i < kCharacteristics.size(); ++i) {
        const Characteristic& c = kCharacteristics[i];
        if (i == kFamily || i == kSubtype)
            continue;
        values[i] = config::readParameterValue(parameter(prefix, c.parameter));
        if (isGfd(c))
            values[i] = uint16_t(values[i] | config::readParameterValue(parameter(prefix, "gfd_h")) << 8);
    }
    return values;
}

QMenu* fileMenu(const ui::FormView& v)
{
    QAction* item = v.menuItem(QStringLiteral("mniAlternateFile"));
    return item ? item->menu() : nullptr;
}

// An entry of the table by its item in an actuator list (item 0 is the automatic one).
const ActuatorEntry* entryOfItem(const config::WindowState& state, int item)
{
    const auto& entries = state.actuators.entries;
    if (item < 1 || std::size_t(item) > entries.size())
        return nullptr;
    return &entries[std::size_t(item - 1)];
}

void addToLists(const ui::FormView& w, const QString& name)
{
    for (QComboBox* list : actuatorLists(w))
        if (list)
            list->addItem(name);
}

long integer(const platform::IniFile& file, const QString& section, const char* key, const QString& fallback)
{
    return platform::atolLike(file.value(section, QString::fromLatin1(key), fallback));
}

bool flag(const platform::IniFile& file, const QString& section, const char* key)
{
    return integer(file, section, key, QStringLiteral("0")) > 0;
}

bool offered(const platform::IniFile& file, const QString& section, int mode)
{
    switch (mode) {
    case config::ModeTavrin:
        return flag(file, section, "tavrin");
    case config::ModeBelmora:
        return flag(file, section, "belmora");
    case config::ModeMz40Standard:
        return flag(file, section, "mz40std");
    case config::ModeMz40Advanced:
        return flag(file, section, "mz40adv");
    default:
        return false; // the RQ9 mode has no actuator lists to fill
    }
}

ActuatorEntry readEntry(const platform::IniFile& file, const QString& section)
{
    ActuatorEntry e;
    e.name = file.value(section, QStringLiteral("ActuatorName"), QString(), kNameChars + 1);
    // A missing key keeps the entry's own default (21 for the length, else 0).
    for (const Characteristic& c : kCharacteristics)
        setValue(e, c, integer(file, section, c.key, QString::number(valueOf(e, c))));
    e.disableSlsUp = flag(file, section, "disable_sls_up");
    e.disableSlsDown = flag(file, section, "disable_sls_down");
    e.disableSlsAcc = flag(file, section, "disable_sls_acc");
    e.warningText = file.value(section, QStringLiteral("warningtext"), QString());
    return e;
}

// Rebuilds the table and the five lists from one actuator file, for the current mode.
void loadActuatorFile(ui::FormView& w, config::WindowState& state, const QString& path)
{
    auto& entries = state.actuators.entries;
    entries.clear();
    for (QComboBox* list : actuatorLists(w))
        if (list) {
            list->clear();
            list->addItem(automaticItem());
        }

    const platform::IniFile file = platform::IniFile::load(path);
    for (const QString& section : file.sectionNames(kSectionListBytes)) {
        if (section.isEmpty() || entries.size() >= std::size_t(ActuatorTable::kMaxEntries))
            break;
        if (!offered(file, section, state.productMode))
            continue;
        ActuatorEntry e = readEntry(file, section);
        addToLists(w, e.name);
        entries.push_back(std::move(e));
    }
    for (QComboBox* list : actuatorLists(w))
        if (list)
            list->setCurrentIndex(0);
}

// Whether a conflicting configuration gives way to the table's entry. Standard mode always keeps the
// configuration; "Ask" asks once per transfer and keeps the configuration for any later conflict.
bool useConfigurator(ui::FormView& w, config::WindowState& state)
{
    if (!state.advanced)
        return false;
    auto checked = [&w](const char* name) {
        const QAction* item = w.menuItem(QString::fromLatin1(name));
        return item && item->isChecked();
    };
    if (checked("mniConflictAsk") && !state.conflictAsked) {
        state.conflictAsked = true;
        return ui::dialogs().question(w.dialogParent(), QStringLiteral("There is a conflict between the configuration and the "
                                                         "actuator known to the configurator\n\n"
                                                         "Use the configurator default?"));
    }
    return checked("mniConflictConfigurator");
}

// Appends a configuration's own actuator; its index, or -1 when the table is full.
int addConfiguredEntry(ui::FormView& w, config::WindowState& state, const QString& actname, const Values& values)
{
    auto& entries = state.actuators.entries;
    if (entries.size() >= std::size_t(ActuatorTable::kMaxEntries))
        return -1;
    ActuatorEntry e;
    for (std::size_t i = 0; i < kCharacteristics.size(); ++i)
        setValue(e, kCharacteristics[i], values[i]);
    e.name = u'*' + (actname.isEmpty() ? QStringLiteral("Unknown") : actname);
    addToLists(w, e.name);
    entries.push_back(std::move(e));
    return int(entries.size()) - 1;
}

} // namespace

std::vector<QComboBox*> actuatorLists(const ui::FormView& window)
{
    std::vector<QComboBox*> lists;
    lists.reserve(std::size_t(ui::kReferenceRecords) + 1);
    for (int r = 0; r < ui::kReferenceRecords; ++r)
        lists.push_back(qobject_cast<QComboBox*>(window.arrays().refs[std::size_t(r)][ui::cmbAct]));
    lists.push_back(window.control<QComboBox>(QString::fromLatin1(config::kStandardActuatorList)));
    return lists;
}

void buildActuatorFileMenu(ui::FormView& w, config::WindowState& state)
{
    QMenu* menu = fileMenu(w);
    if (!menu)
        return;
    menu->clear();
    // No case in the filter, so "Actuators.ini" is found as it is on the system the files come from.
    const QStringList files = QDir(state.dataDirectory)
                                  .entryList({QStringLiteral("act*.ini")}, QDir::Files | QDir::Hidden | QDir::System,
                                             QDir::Unsorted);
    for (const QString& file : files) {
        const QString caption = file.left(file.size() - 4);
        QAction* item = menu->addAction(QString(caption).replace(u'&', QStringLiteral("&&")));
        item->setData(file); // the name as found, whatever the case of its ".ini"
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, item, [&w, &state, item] { chooseActuatorFile(w, state, item); });
        if (caption == QStringLiteral("Actuators"))
            chooseActuatorFile(w, state, item);
    }
    menu->menuAction()->setVisible(menu->actions().size() >= 2);
}

void chooseActuatorFile(ui::FormView& w, config::WindowState& state, QAction* item)
{
    QMenu* menu = fileMenu(w);
    if (!menu || (item && item == menu->menuAction()))
        return;
    const QList<QAction*> items = menu->actions();
    if (!item) {
        const auto checked = std::find_if(items.begin(), items.end(), [](const QAction* a) { return a->isChecked(); });
        if (checked == items.end())
            return; // nothing chosen yet: the lists stay as they are
        item = *checked;
    }
    for (QAction* other : items)
        other->setChecked(other == item);
    const QString file = item->data().isValid() ? item->data().toString() : item->text() + QStringLiteral(".ini");
    loadActuatorFile(w, state, state.dataDirectory + file);
}

void storeActuatorData(const config::WindowState& state, const QString& prefix, const QComboBox* list)
{
    // An item without an entry (only the design-time lists have such) counts as automatic too.
    const ActuatorEntry* e = list ? entryOfItem(state, list->currentIndex()) : nullptr;
    if (!e) {
        config::writeParameter(parameter(prefix, "auto_type"), 1);
        return;
    }
    config::writeParameter(parameter(prefix, "auto_type"), 0);
    QString name = list->currentText();
    if (name.startsWith(u'*'))
        name.remove(0, 1);
    config::writeString(parameter(prefix, "actname"), name);
    for (const Characteristic& c : kCharacteristics) {
        const uint16_t value = valueOf(*e, c);
        if (isGfd(c)) {
            config::writeParameter(parameter(prefix, "gfd"), value & 0xFF);
            config::writeParameter(parameter(prefix, "gfd_h"), (value >> 8) & 0x0F);
        } else {
            config::writeParameter(parameter(prefix, c.parameter), value);
        }
    }
    for (int i = 1; i <= 7; ++i)
        config::writeParameter(prefix + QStringLiteral("unused%1").arg(i), 0);
}

void showActuatorData(ui::FormView& w, config::WindowState& state, const QString& prefix, QComboBox* list, bool fromDefaults)
{
    if (!list)
        return;
    if (config::readValueOrDefault(parameter(prefix, "auto_type"), fromDefaults) != 0) {
        list->setCurrentIndex(0);
        return;
    }
    const QString actname = config::readString(parameter(prefix, "actname")).left(kActnameChars);
    const Values values = readValues(prefix);
    const auto& entries = state.actuators.entries;

    // The first entry of the same family and subtype, when the configuration names one; it also sees
    // the entries this transfer added for earlier references.
    int familyEntry = -1;
    if (values[kFamily] != 0 || values[kSubtype] != 0)
        for (std::size_t k = 0; k < entries.size() && familyEntry < 0; ++k)
            if (entries[k].family == values[kFamily] && entries[k].subtype == values[kSubtype])
                familyEntry = int(k);

    int result = -1;
    if (familyEntry >= 0) {
        result = familyEntry;
        if (!matches(entries[std::size_t(familyEntry)], values) && !useConfigurator(w, state)) {
            // With the table full the family's entry stays chosen.
            if (const int added = addConfiguredEntry(w, state, actname, values); added >= 0)
                result = added;
        }
    } else {
        for (std::size_t k = 0; k < entries.size() && result < 0; ++k)
            if (matches(entries[k], values))
                result = int(k);
        if (result < 0)
            result = addConfiguredEntry(w, state, actname, values); // -1 with the table full: no selection
    }
    list->setCurrentIndex(result >= 0 ? result + 1 : -1);
}

void cmbActuatorChange(ui::FormView& w, config::WindowState& state, QWidget* sender)
{
    w.restoreNormalColour();
    const std::vector<QComboBox*> lists = actuatorLists(w);
    const auto found = std::find(lists.begin(), lists.end(), sender);
    if (!sender || found == lists.end())
        return; // an initialization-lock box
    const auto position = std::size_t(found - lists.begin());
    const std::size_t row = position == 4 ? 0 : position; // cmbActLt stands for reference 1

    bool up = false;
    bool down = false;
    bool accelerationOff = false;
    if (const ActuatorEntry* e = entryOfItem(state, (*found)->currentIndex())) {
        up = e->disableSlsUp;
        down = e->disableSlsDown;
        accelerationOff = e->disableSlsAcc;
        if (!e->warningText.isEmpty())
            ui::dialogs().warning(w.dialogParent(), e->warningText);
    }
    const auto& controls = w.arrays().refs[row];
    // An actuator that cannot stop softly at an end keeps SLS ignored there.
    for (const auto& [member, locked] : {std::pair{ui::cbxIgnUp, up}, std::pair{ui::cbxIgnDw, down}})
        if (auto* ignore = qobject_cast<QCheckBox*>(controls[member])) {
            ignore->setChecked(locked);
            ignore->setEnabled(!locked);
        }
    state.slsAccelerationOff[row] = accelerationOff;
    // The SLS return boxes follow the ignore boxes, as after a click on them.
    config::cbxIgnClick(w);
}

void connectActuatorHandlers(ui::FormView& w, config::WindowState& state)
{
    const std::vector<QComboBox*> lists = actuatorLists(w);
    std::vector<QWidget*> boxes(lists.begin(), lists.end());
    for (int r = 0; r < ui::kReferenceRecords; ++r)
        boxes.push_back(w.arrays().refs[std::size_t(r)][ui::cmbInitPlug]);
    for (QWidget* box : boxes)
        ui::onUserEdit(box, [&w, &state](QWidget* sender) { cmbActuatorChange(w, state, sender); });
}

} // namespace rules
