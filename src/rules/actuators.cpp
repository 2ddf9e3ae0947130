#include "rules/actuators.h"

#include "app/controlarrays.h"
#include "app/frmmain.h"
#include "config/access.h"
#include "platform/inifile.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QSignalBlocker>

#include <array>

namespace rules {

namespace {

using app::TfrmMain;

constexpr int kNameLength = 19;
constexpr int kActnameLength = 40;

const QString kAutomatic = QStringLiteral("Auto (default)");

// The twenty-one characteristics compared between a configuration and the table, in the order of
// the parameters that carry them.
struct Characteristics
{
    std::array<uint16_t, 21> values{};
    bool operator==(const Characteristics&) const = default;
};

Characteristics characteristicsOf(const ActuatorEntry& e)
{
    return {{e.length, e.type, e.family, e.subtype, e.kemf, e.rmi, e.p2mm, e.cm, e.gfd, e.iup, e.idw, e.physstroke,
             e.logistroke, e.dbeUp, e.dbeDw, e.endstopUp, e.endstopDn, e.psys, e.piezo, e.speed, e.initplug}};
}

// An entry from a configuration's numbers, each cut to its field's width.
ActuatorEntry entryOf(const Characteristics& c)
{
    const auto& v = c.values;
    ActuatorEntry e;
    e.length = uint8_t(v[0]);
    e.type = uint8_t(v[1]);
    e.family = uint8_t(v[2]);
    e.subtype = uint8_t(v[3]);
    e.kemf = v[4];
    e.rmi = v[5];
    e.p2mm = v[6];
    e.cm = uint8_t(v[7]);
    e.gfd = v[8];
    e.iup = uint8_t(v[9]);
    e.idw = uint8_t(v[10]);
    e.physstroke = v[11];
    e.logistroke = v[12];
    e.dbeUp = uint8_t(v[13]);
    e.dbeDw = uint8_t(v[14]);
    e.endstopUp = uint8_t(v[15]);
    e.endstopDn = uint8_t(v[16]);
    e.psys = uint8_t(v[17]);
    e.piezo = uint8_t(v[18]);
    e.speed = uint8_t(v[19]);
    e.initplug = uint8_t(v[20]);
    return e;
}

void addToLists(const TfrmMain& w, const QString& name)
{
    for (QComboBox* list : actuatorLists(w))
        if (list) {
            const QSignalBlocker quiet(list);
            list->addItem(name);
        }
}

void chooseFile(TfrmMain& w, QAction* item, QMenu* menu)
{
    for (QAction* other : menu->actions())
        other->setChecked(other == item);
    const platform::IniFile file = platform::IniFile::load(w.dataDirectory + item->text() + QStringLiteral(".ini"));

    w.actuators.entries.clear();
    for (QComboBox* list : actuatorLists(w))
        if (list) {
            const QSignalBlocker quiet(list);
            list->clear();
            list->addItem(kAutomatic);
        }

    const int mode = w.productMode;
    for (const QString& section : file.sectionNames(1024)) {
        if (section.isEmpty() || int(w.actuators.entries.size()) >= ActuatorTable::kMaxEntries)
            break;
        auto integer = [&](const char* key, const char* fallback) {
            return platform::atolLike(file.value(section, QString::fromLatin1(key), QString::fromLatin1(fallback)));
        };
        auto flag = [&](const char* key) { return integer(key, "0") > 0; };
        const bool offered = (mode == app::ModeTavrin && flag("tavrin")) || (mode == app::ModeBelmora && flag("belmora"))
                             || (mode == app::ModeMz40Standard && flag("mz40std"))
                             || (mode == app::ModeMz40Advanced && flag("mz40adv"));
        if (!offered)
            continue;
        ActuatorEntry e;
        e.name = file.value(section, QStringLiteral("ActuatorName"), QString(), kNameLength + 1);
        e.length = uint8_t(integer("length", "21"));
        e.type = uint8_t(integer("type", "0"));
        e.family = uint8_t(integer("family", "0"));
        e.subtype = uint8_t(integer("subtype", "0"));
        e.kemf = uint16_t(integer("kemf", "0"));
        e.rmi = uint16_t(integer("rmi", "0"));
        e.p2mm = uint16_t(integer("p2mm", "0"));
        e.cm = uint8_t(integer("cm", "0"));
        e.gfd = uint16_t(integer("gfd", "0"));
        e.iup = uint8_t(integer("iup", "0"));
        e.idw = uint8_t(integer("idw", "0"));
        e.physstroke = uint16_t(integer("physstroke", "0"));
        e.logistroke = uint16_t(integer("logistroke", "0"));
        e.dbeUp = uint8_t(integer("dbe_up", "0"));
        e.dbeDw = uint8_t(integer("dbe_dw", "0"));
        e.endstopUp = uint8_t(integer("endstopup", "0"));
        e.endstopDn = uint8_t(integer("endstopdn", "0"));
        e.psys = uint8_t(integer("psys", "0"));
        e.piezo = uint8_t(integer("piezo", "0"));
        e.speed = uint8_t(integer("speed", "0"));
        e.initplug = uint8_t(integer("initplug", "0"));
        e.disableSlsUp = flag("disable_sls_up");
        e.disableSlsDown = flag("disable_sls_down");
        e.disableSlsAcc = flag("disable_sls_acc");
        e.warningText = file.value(section, QStringLiteral("warningtext"), QString());
        addToLists(w, e.name);
        w.actuators.entries.push_back(std::move(e));
    }
    for (QComboBox* list : actuatorLists(w))
        if (list) {
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(0);
        }
}

} // namespace

std::vector<QComboBox*> actuatorLists(const app::TfrmMain& window)
{
    std::vector<QComboBox*> lists;
    for (const char* name : {"cmbAct1", "cmbAct2", "cmbAct3", "cmbAct4", "cmbActLt"})
        lists.push_back(window.control<QComboBox>(QString::fromLatin1(name)));
    return lists;
}

void buildActuatorFileMenu(app::TfrmMain& w)
{
    auto* menu = w.findChild<QMenu*>(QStringLiteral("mniAlternateFile"));
    if (!menu)
        return;
    menu->clear();
    // Matched without regard to case, as on the system the files come from: "Actuators.ini" is one.
    const QStringList files = QDir(w.dataDirectory)
                                  .entryList({QStringLiteral("act*.ini")}, QDir::Files | QDir::Hidden | QDir::System,
                                             QDir::Unsorted);
    for (const QString& file : files) {
        QAction* item = menu->addAction(file.left(file.size() - 4));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &w, [&w, item] { chooseActuatorFile(w, item); });
        if (item->text() == QStringLiteral("Actuators"))
            chooseActuatorFile(w, item);
    }
    menu->menuAction()->setVisible(menu->actions().size() >= 2);
}

void chooseActuatorFile(app::TfrmMain& w, QAction* item)
{
    auto* menu = w.findChild<QMenu*>(QStringLiteral("mniAlternateFile"));
    if (!menu || item == menu->menuAction())
        return;
    if (!item) {
        for (QAction* candidate : menu->actions())
            if (candidate->isChecked())
                item = candidate;
        if (!item)
            return;
    }
    chooseFile(w, item, menu);
}

void storeActuatorData(app::TfrmMain& w, const QString& prefix, const QComboBox* list)
{
    const int index = list ? list->currentIndex() : -1;
    if (index <= 0 || index - 1 >= int(w.actuators.entries.size())) {
        config::writeParameter(prefix + QStringLiteral("auto_type"), 1);
        return;
    }
    config::writeParameter(prefix + QStringLiteral("auto_type"), 0);
    QString name = list->currentText();
    if (name.startsWith(u'*'))
        name.remove(0, 1);
    config::writeString(prefix + QStringLiteral("actname"), name);
    const ActuatorEntry& e = w.actuators.entries[std::size_t(index - 1)];
    const std::pair<const char*, uint16_t> values[] = {
        {"iid_length", e.length}, {"iid_type", e.type},   {"family", e.family},     {"subtype", e.subtype},
        {"kemf", e.kemf},         {"rmi", e.rmi},         {"p2mm", e.p2mm},         {"cm", e.cm},
        {"gfd", uint16_t(e.gfd & 0xFF)},                  {"gfd_h", uint16_t((e.gfd >> 8) & 0x0F)},
        {"iup", e.iup},           {"idw", e.idw},         {"physstroke", e.physstroke}, {"logistroke", e.logistroke},
        {"dbe_up", e.dbeUp},      {"dbe_dw", e.dbeDw},    {"endstopup", e.endstopUp}, {"endstopdn", e.endstopDn},
        {"psys", e.psys},         {"piezo", e.piezo},     {"speed", e.speed},       {"initplug", e.initplug},
    };
    for (const auto& [stem, value] : values)
        config::writeParameter(prefix + QString::fromLatin1(stem), value);
    for (int i = 1; i <= 7; ++i)
        config::writeParameter(prefix + QStringLiteral("unused%1").arg(i), 0);
}

void showActuatorData(app::TfrmMain& w, const QString& prefix, QComboBox* list, bool fromDefaults)
{
    if (!list)
        return;
    const QSignalBlocker quiet(list);
    if (config::readValueOrDefault(prefix + QStringLiteral("auto_type"), fromDefaults) != 0) {
        list->setCurrentIndex(0);
        return;
    }
    const QString actname = config::readString(prefix + QStringLiteral("actname")).left(kActnameLength);
    auto read = [&prefix](const char* stem) { return config::readParameterValue(prefix + QString::fromLatin1(stem)); };
    const uint16_t family = read("family");
    const uint16_t subtype = read("subtype");
    auto& entries = w.actuators.entries;

    int familyMatch = -1;
    if (family != 0 || subtype != 0)
        for (std::size_t k = 0; k < entries.size(); ++k)
            if (entries[k].family == family && entries[k].subtype == subtype) {
                familyMatch = int(k);
                break;
            }

    Characteristics configured{{read("iid_length"), read("iid_type"), family, subtype, read("kemf"), read("rmi"),
                                read("p2mm"), read("cm"), uint16_t(read("gfd") | (read("gfd_h") << 8)), read("iup"),
                                read("idw"), read("physstroke"), read("logistroke"), read("dbe_up"), read("dbe_dw"),
                                read("endstopup"), read("endstopdn"), read("psys"), read("piezo"), read("speed"),
                                read("initplug")}};

    int result = -1;
    bool newEntry = false;
    if (familyMatch >= 0) {
        if (characteristicsOf(entries[std::size_t(familyMatch)]) == configured) {
            result = familyMatch;
        } else {
            bool useConfigurator = false;
            if (w.advanced) {
                if (w.menuItem(QStringLiteral("mniConflictAsk"))->isChecked() && !w.conflictAsked) {
                    useConfigurator = ui::dialogs().question(
                        &w, QStringLiteral("There is a conflict between the configuration and the actuator known to the "
                                           "configurator\n\nUse the configurator default?"));
                    w.conflictAsked = true;
                } else {
                    useConfigurator = w.menuItem(QStringLiteral("mniConflictConfigurator"))->isChecked();
                }
            }
            if (useConfigurator)
                result = familyMatch;
            else
                newEntry = true;
        }
    } else {
        for (std::size_t k = 0; k < entries.size() && result < 0; ++k)
            if (characteristicsOf(entries[k]) == configured)
                result = int(k);
        newEntry = result < 0;
    }

    if (newEntry) {
        // A configuration's own actuator: an entry of its own, kept until the table is rebuilt. With
        // the table full a failed family match keeps that family's entry selected.
        if (int(entries.size()) < ActuatorTable::kMaxEntries) {
            ActuatorEntry e = entryOf(configured);
            e.name = QStringLiteral("*") + (actname.isEmpty() ? QStringLiteral("Unknown") : actname);
            addToLists(w, e.name);
            entries.push_back(std::move(e));
            result = int(entries.size()) - 1;
        } else if (familyMatch >= 0) {
            result = familyMatch;
        } else {
            list->setCurrentIndex(-1);
            return;
        }
    }
    list->setCurrentIndex(result + 1);
}

void cmbActuatorChange(app::TfrmMain& w, QWidget* sender)
{
    w.restoreNormalColour();
    const std::vector<QComboBox*> lists = actuatorLists(w);
    int reference = 0;
    for (int i = 0; i < 5; ++i)
        if (sender && sender == lists[std::size_t(i)])
            reference = i == 4 ? 1 : i + 1;
    if (reference == 0)
        return; // an initialization-lock box
    auto* list = static_cast<QComboBox*>(sender);
    bool up = false;
    bool down = false;
    bool acceleration = false;
    const int index = list->currentIndex();
    if (index > 0 && index - 1 < int(w.actuators.entries.size())) {
        const ActuatorEntry& e = w.actuators.entries[std::size_t(index - 1)];
        up = e.disableSlsUp;
        down = e.disableSlsDown;
        acceleration = e.disableSlsAcc;
        if (!e.warningText.isEmpty())
            ui::dialogs().warning(&w, e.warningText);
    }
    const auto& row = w.arrays.refs[std::size_t(reference - 1)];
    if (auto* ignoreUp = qobject_cast<QCheckBox*>(row[app::cbxIgnUp])) {
        ignoreUp->setChecked(up);
        ignoreUp->setEnabled(!up);
    }
    if (auto* ignoreDown = qobject_cast<QCheckBox*>(row[app::cbxIgnDw])) {
        ignoreDown->setChecked(down);
        ignoreDown->setEnabled(!down);
    }
    w.slsAccelerationOff[std::size_t(reference - 1)] = acceleration;
}

void connectActuatorHandlers(app::TfrmMain& w)
{
    QStringList names{QStringLiteral("cmbActLt")};
    for (int i = 1; i <= 4; ++i)
        names << QStringLiteral("cmbAct%1").arg(i) << QStringLiteral("cmbInitPlug%1").arg(i);
    for (const QString& name : names)
        if (auto* box = w.control<QComboBox>(name))
            QObject::connect(box, &QComboBox::activated, &w, [&w, box] { cmbActuatorChange(w, box); });
}

} // namespace rules
