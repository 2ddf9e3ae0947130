#include "config/access.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "platform/inifile.h"
#include "rules/actuators.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMap>
#include <QMenu>
#include <QSet>

#include "windowtest.h"

using testutil::WindowTest;
using testutil::writeFile;
using ui::MessageKind;

namespace {

const QString kConflict = QStringLiteral("There is a conflict between the configuration and the actuator known to the "
                                         "configurator\n\nUse the configurator default?");

// A desk column's twenty-one characteristics: key in the file, parameter, value.
struct Characteristic
{
    const char* key;
    const char* parameter;
    int value;
};
const Characteristic kDesk[] = {
    {"length", "iid_length", 21}, {"type", "iid_type", 1},       {"family", "family", 12},
    {"subtype", "subtype", 1},    {"kemf", "kemf", 312},         {"rmi", "rmi", 845},
    {"p2mm", "p2mm", 250},        {"cm", "cm", 12},              {"gfd", "gfd", 1620},
    {"iup", "iup", 38},           {"idw", "idw", 30},            {"physstroke", "physstroke", 6500},
    {"logistroke", "logistroke", 6450}, {"dbe_up", "dbe_up", 8}, {"dbe_dw", "dbe_dw", 6},
    {"endstopup", "endstopup", 12}, {"endstopdn", "endstopdn", 10}, {"psys", "psys", 2},
    {"piezo", "piezo", 0},        {"speed", "speed", 38},        {"initplug", "initplug", 1},
};

// "family=0 speed=41" as key → value.
QMap<QByteArray, int> overrides(const QByteArray& text)
{
    QMap<QByteArray, int> map;
    for (const QByteArray& pair : text.split(' '))
        if (const qsizetype eq = pair.indexOf('='); eq > 0)
            map.insert(pair.left(eq), pair.mid(eq + 1).toInt(nullptr, 0));
    return map;
}

int desk(const Characteristic& c, const QMap<QByteArray, int>& changed)
{
    return changed.value(c.key, c.value);
}

QByteArray section(const QByteArray& key, const QByteArray& name, const QByteArray& body)
{
    return "[" + key + "]\r\nActuatorName=" + name + "\r\n" + body;
}

// A desk type in a file: offered in mode 0, the desk numbers with some changed.
QByteArray deskType(const QByteArray& key, const QByteArray& name, const QByteArray& changes = {},
                    const QByteArray& extra = "tavrin=1\r\n")
{
    const auto changed = overrides(changes);
    QByteArray body = extra;
    for (const Characteristic& c : kDesk)
        body += QByteArray(c.key) + "=" + QByteArray::number(desk(c, changed)) + "\r\n";
    return section(key, name, body);
}

// A reference's actuator data as a configuration made elsewhere carries them.
void configure(const QString& prefix, const QString& actname, const QByteArray& changes = {})
{
    const auto changed = overrides(changes);
    config::writeParameter(prefix + "auto_type", 0);
    config::writeString(prefix + "actname", actname);
    for (const Characteristic& c : kDesk) {
        const int v = desk(c, changed);
        if (QByteArray(c.parameter) == "gfd") {
            config::writeParameter(prefix + "gfd", uint16_t(v & 0xFF));
            config::writeParameter(prefix + "gfd_h", uint16_t(v >> 8));
        } else {
            config::writeParameter(prefix + c.parameter, uint16_t(v));
        }
    }
}

// Rows 1 to 4 show references 1 to 4 (desk mode).
void useFourReferences()
{
    for (int r = 1; r <= 4; ++r) {
        config::writeParameter(QStringLiteral("channel%1").arg(r), uint16_t(r - 1));
        config::writeParameter(QStringLiteral("ref%1_reference").arg(r), uint16_t(r - 1));
    }
}

int value(const QString& name)
{
    return config::readParameterValue(name);
}

QStringList items(const QComboBox* box)
{
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all << box->itemText(i);
    return all;
}

QComboBox* list(const app::TfrmMain& w, const QString& name)
{
    return w.control<QComboBox>(name);
}

// What a user's pick in a list does: the selection, then the user-change signal.
void pick(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QMenu* actuatorFileMenu(const app::TfrmMain& w)
{
    return w.findChild<QMenu*>("mniAlternateFile");
}

QString checkedFile(const app::TfrmMain& w)
{
    for (QAction* item : actuatorFileMenu(w)->actions())
        if (item->isChecked())
            return item->text();
    return {};
}

QAction* fileItem(const app::TfrmMain& w, const QString& caption)
{
    for (QAction* item : actuatorFileMenu(w)->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

std::unique_ptr<app::TfrmMain> startWith(WindowTest& t, const QByteArray& actuators,
                                         const QStringList& arguments = {"COMBINED"})
{
    writeFile(t.program.filePath("Actuators.ini"), actuators);
    return t.start(arguments);
}

void showConfiguration(app::TfrmMain& w)
{
    config::showConfiguration(w, w.state());
    config::referenceSelectClick(w, w.state());
}

QString entryField(const rules::ActuatorEntry& e, const QString& field)
{
    const QMap<QString, QString> fields{
        {"name", e.name},
        {"length", QString::number(e.length)},
        {"family", QString::number(e.family)},
        {"kemf", QString::number(e.kemf)},
        {"cm", QString::number(e.cm)},
        {"gfd", QString::number(e.gfd)},
        {"speed", QString::number(e.speed)},
        {"disableSlsUp", e.disableSlsUp ? "true" : "false"},
        {"warningText", QString::number(e.warningText.size())},
    };
    return fields.value(field, "<no such field>");
}

} // namespace

class TestActuators : public QObject
{
    Q_OBJECT

private slots:
    // The Select actuator file menu and what it fills the lists with at start-up.
    void fileMenu_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QStringList>("listed");
        const QStringList design{"Auto (Default)", "Linear actuator 100 mm"};
        QTest::newRow("Actuators alone") << QStringList{"Actuators.ini"} << false << "Actuators"
                                         << QStringList{"Auto (default)", "Actuators A"};
        QTest::newRow("with a second file") << QStringList{"actOld.ini", "Actuators.ini"} << true << "Actuators"
                                            << QStringList{"Auto (default)", "Actuators A"};
        QTest::newRow("none called Actuators") << QStringList{"actOld.ini", "actNew.ini"} << true << "" << design;
        QTest::newRow("no actuator file") << QStringList{} << false << "" << design;
    }
    void fileMenu()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, shown);
        QFETCH(QString, checked);
        QFETCH(QStringList, listed);
        // The program one level below the data, so the data directory holds only these files.
        WindowTest t;
        QFile::remove(t.program.filePath("Actuators.ini"));
        QDir(t.program.path()).mkdir("bin");
        for (const QString& file : files)
            writeFile(t.program.filePath(file), section("a", file.chopped(4).toLatin1() + " A", "tavrin=1\r\n"));
        app::StartOptions options;
        options.arguments = QStringList{"COMBINED"};
        options.programDirectory = t.program.filePath("bin");
        app::TfrmMain w(options);

        QCOMPARE(actuatorFileMenu(w)->actions().size(), files.size());
        QCOMPARE(actuatorFileMenu(w)->menuAction()->isVisible(), shown);
        QCOMPARE(checkedFile(w), checked);
        // Without a chosen file the design-time lists stay (only their start is compared).
        const qsizetype compared = checked.isEmpty() ? listed.size() : -1;
        QCOMPARE(items(list(w, "cmbActLt")).mid(0, compared), listed);
        // A mode switch reloads the checked file, or leaves the lists alone without one.
        w.mniModeItemClick(w.modeItem(config::ModeTavrin));
        QCOMPARE(items(list(w, "cmbActLt")).mid(0, compared), listed);
        QVERIFY(t.script.problems().isEmpty());
    }

    void choosingAFileReloadsTheLists()
    {
        WindowTest t;
        writeFile(t.program.filePath("actOld.ini"), section("o", "Old O", "tavrin=1\r\n"));
        auto w = startWith(t, section("a", "Desk A", "tavrin=1\r\nfamily=3\r\n"));
        configure("ref1_", "Mine", "family=50");
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->count(), 3); // Desk A and *Mine

        fileItem(*w, "actOld")->trigger();
        QCOMPARE(checkedFile(*w), QString("actOld"));
        for (QComboBox* box : rules::actuatorLists(*w)) {
            QCOMPARE(items(box), (QStringList{"Auto (default)", "Old O"}));
            QCOMPARE(box->currentIndex(), 0);
        }
        QCOMPARE(int(w->state().actuators.entries.size()), 1);
        // The mode switch rereads the chosen file, not the default one.
        w->mniModeItemClick(w->modeItem(config::ModeTavrin));
        QCOMPARE(items(list(*w, "cmbAct4")), (QStringList{"Auto (default)", "Old O"}));
        // Picking the checked item again keeps it checked.
        fileItem(*w, "actOld")->trigger();
        QCOMPARE(checkedFile(*w), QString("actOld"));
        // The submenu itself chooses nothing.
        rules::chooseActuatorFile(*w, w->state(), actuatorFileMenu(*w)->menuAction());
        QCOMPARE(checkedFile(*w), QString("actOld"));
    }

    void modeFilter_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("TAVRIN") << int(config::ModeTavrin) << QStringList{"Desk", "All but std", "Two"};
        QTest::newRow("BELMORA") << int(config::ModeBelmora) << QStringList{"Bed", "All but std"};
        QTest::newRow("RQ9") << int(config::ModeRq9) << QStringList{};
        QTest::newRow("MZ40 Standard") << int(config::ModeMz40Standard) << QStringList{"Std"};
        QTest::newRow("MZ40 Advanced") << int(config::ModeMz40Advanced) << QStringList{"Adv", "All but std"};
    }
    void modeFilter()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, listed);
        WindowTest t;
        auto w = startWith(t, section("d", "Desk", "tavrin=1\r\n") + section("b", "Bed", "belmora=1\r\n")
                                  + section("s", "Std", "mz40std=1\r\n") + section("v", "Adv", "mz40adv=1\r\n")
                                  + section("e", "All but std", "tavrin=1\r\nbelmora=1\r\nmz40adv=1\r\n")
                                  + section("n", "Negative", "tavrin=-1\r\n") + section("y", "Yes", "tavrin=yes\r\n")
                                  + section("2", "Two", "tavrin= 2x\r\n") + section("z", "Nowhere", ""));
        w->mniModeItemClick(w->modeItem(mode));
        const QStringList expected = QStringList{"Auto (default)"} + listed;
        for (QComboBox* box : rules::actuatorLists(*w)) {
            QCOMPARE(items(box), expected);
            QCOMPARE(box->currentIndex(), 0);
        }
        QCOMPARE(int(w->state().actuators.entries.size()), listed.size());
    }

    void fileValues_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("length missing") << QByteArray() << "length" << "21";
        QTest::newRow("length 300 in 8 bits") << QByteArray("length=300") << "length" << "44";
        QTest::newRow("kemf 70000 in 16 bits") << QByteArray("kemf=70000") << "kemf" << "4464";
        QTest::newRow("cm -1") << QByteArray("cm=-1") << "cm" << "255";
        QTest::newRow("digits then text") << QByteArray("family=12abc") << "family" << "12";
        QTest::newRow("no number") << QByteArray("speed=fast") << "speed" << "0";
        QTest::newRow("gfd kept whole") << QByteArray("gfd=4660") << "gfd" << "4660";
        QTest::newRow("flag -1") << QByteArray("disable_sls_up=-1") << "disableSlsUp" << "false";
        QTest::newRow("flag 3") << QByteArray("disable_sls_up=3") << "disableSlsUp" << "true";
        QTest::newRow("name of 25 characters") << QByteArray("ActuatorName=A name of 25 characters!!")
                                               << "name" << "A name of 25 charac";
        QTest::newRow("long warning") << "warningtext=" + QByteArray(300, 'w') << "warningText" << "300";
        QTest::newRow("warning over 999") << "warningtext=" + QByteArray(1200, 'w') << "warningText" << "999";
    }
    void fileValues()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        WindowTest t;
        auto w = startWith(t, "[t]\r\n" + body + "\r\ntavrin=1\r\nActuatorName=Plain\r\n");
        QCOMPARE(int(w->state().actuators.entries.size()), 1);
        QCOMPARE(entryField(w->state().actuators.entries[0], field), expected);
    }

    void tableLimit_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QByteArray shortNames, longNames, afterBeds;
        for (int i = 0; i < 10; ++i)
            afterBeds += section("b" + QByteArray::number(i), "Bed", "belmora=1\r\n");
        for (int i = 0; i < 150; ++i) {
            const QByteArray n = QByteArray::number(i);
            shortNames += section("s" + n, "T" + n, "tavrin=1\r\n");
            longNames += section("actuator_type_" + n.rightJustified(3, '0'), "T" + n, "tavrin=1\r\n");
        }
        QTest::newRow("150 types") << shortNames << 100 << "T0";
        QTest::newRow("types not offered do not count") << afterBeds + shortNames << 100 << "T0";
        // 18 bytes a name: 56 names and the closing empty one fill 1009 of the 1024 bytes.
        QTest::newRow("names beyond 1024 bytes") << longNames << 56 << "T0";
    }
    void tableLimit()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        QFETCH(QString, first);
        WindowTest t;
        auto w = startWith(t, file);
        QCOMPARE(int(w->state().actuators.entries.size()), count);
        QCOMPARE(w->state().actuators.entries[0].name, first);
        QCOMPARE(list(*w, "cmbAct2")->count(), count + 1);
    }

    void storeWritesTheEntry()
    {
        WindowTest t;
        auto w = startWith(t, deskType("a", "Desk A") + deskType("w", "Wide", "length=300 gfd=0x1234"));
        QComboBox* box = list(*w, "cmbAct3");
        box->setCurrentIndex(2);
        for (int i = 1; i <= 7; ++i)
            config::writeParameter(QStringLiteral("ref3_unused%1").arg(i), 5);
        rules::storeActuatorData(w->state(), "ref3_", box);
        QCOMPARE(value("ref3_auto_type"), 0);
        QCOMPARE(config::readString("ref3_actname"), QString("Wide"));
        QCOMPARE(value("ref3_iid_length"), 44);
        QCOMPARE(value("ref3_gfd"), 0x34);
        QCOMPARE(value("ref3_gfd_h"), 0x2);
        for (const Characteristic& c : kDesk)
            if (QByteArray(c.key) != "length" && QByteArray(c.key) != "gfd")
                QCOMPARE(value(QString("ref3_") + c.parameter), c.value);
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(value(QStringLiteral("ref3_unused%1").arg(i)), 0);
    }

    void automatic_data()
    {
        QTest::addColumn<int>("autoType");
        QTest::addColumn<bool>("fromDefaults");
        QTest::addColumn<int>("shown");
        QTest::newRow("auto_type 5") << 5 << false << 0;
        QTest::newRow("auto_type 0") << 0 << false << 1;
        QTest::newRow("auto_type 0, row from defaults") << 0 << true << 0;
    }
    void automatic()
    {
        QFETCH(int, autoType);
        QFETCH(bool, fromDefaults);
        QFETCH(int, shown);
        WindowTest t;
        auto w = startWith(t, deskType("a", "Desk A"));
        configure("ref2_", "Desk A");
        config::writeParameter("ref2_auto_type", uint16_t(autoType));
        QComboBox* box = list(*w, "cmbAct2");
        rules::showActuatorData(*w, w->state(), "ref2_", box, fromDefaults);
        QCOMPARE(box->currentIndex(), shown);

        // The automatic item writes auto_type and nothing else.
        config::writeParameter("ref2_iid_length", 99);
        box->setCurrentIndex(0);
        rules::storeActuatorData(w->state(), "ref2_", box);
        QCOMPARE(value("ref2_auto_type"), 1);
        QCOMPARE(value("ref2_iid_length"), 99);
        QCOMPARE(config::readString("ref2_actname"), QString("Desk A"));
    }

    // Which entry a configuration's actuator shows as (no conflict question: "Use configuration").
    void matching_data()
    {
        QTest::addColumn<QByteArray>("configuration");
        QTest::addColumn<QString>("actname");
        QTest::addColumn<QString>("shown");
        QTest::newRow("family and all values") << QByteArray() << "" << "Desk A";
        QTest::newRow("family, other name") << QByteArray() << "Renamed" << "Desk A";
        QTest::newRow("family, one value differs") << QByteArray("speed=41") << "Mine" << "*Mine";
        QTest::newRow("family 0/0, all values") << QByteArray("family=0 subtype=0 cm=13") << "" << "Zero Z";
        QTest::newRow("family 0/0, one differs") << QByteArray("family=0 subtype=0 cm=13 speed=41") << "" << "*Unknown";
        QTest::newRow("gfd_h 3 with gfd 0x41") << QByteArray("family=0 subtype=0 gfd=0x341") << "" << "Gfd G";
        QTest::newRow("unknown family") << QByteArray("family=50 subtype=4") << "Motor" << "*Motor";
        QTest::newRow("8-bit field above 255") << QByteArray("family=0 subtype=0 cm=269") << "Big" << "*Big";
    }
    void matching()
    {
        QFETCH(QByteArray, configuration);
        QFETCH(QString, actname);
        QFETCH(QString, shown);
        WindowTest t;
        t.writeSetting("ConflictHandler", "2");
        auto w = startWith(t, deskType("a", "Desk A") + deskType("z", "Zero Z", "family=0 subtype=0 cm=13")
                                  + deskType("g", "Gfd G", "family=0 subtype=0 gfd=0x341"));
        configure("ref1_", actname, configuration);
        showConfiguration(*w);
        QComboBox* box = list(*w, "cmbAct1");
        QCOMPARE(box->currentText(), shown);
        QCOMPARE(box->count(), 4 + int(shown.startsWith('*')));
        // A new entry carries the configuration's numbers, cut to their fields.
        const rules::ActuatorEntry& e = w->state().actuators.entries[std::size_t(box->currentIndex() - 1)];
        QCOMPARE(int(e.cm), overrides(configuration).value("cm", 12) & 0xFF);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void conflictInStandardModeKeepsTheConfiguration()
    {
        WindowTest t;
        t.writeSetting("ConflictHandler", "1"); // not honoured without the advanced flag
        auto w = startWith(t, deskType("a", "Desk A"), {});
        QVERIFY(!w->state().advanced);
        configure("ref1_", "Mine", "speed=55");
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbActLt")->currentText(), QString("*Mine"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void conflictUsingTheConfigurator()
    {
        WindowTest t;
        t.writeSetting("ConflictHandler", "1");
        auto w = startWith(t, deskType("a", "Desk A"));
        configure("ref1_", "Mine", "speed=55");
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->currentText(), QString("Desk A"));
        QCOMPARE(list(*w, "cmbAct1")->count(), 2);
        // The next store puts the table's numbers over the configuration's.
        config::storeConfiguration(*w, w->state());
        QCOMPARE(value("ref1_speed"), 38);
        QCOMPARE(config::readString("ref1_actname"), QString("Desk A"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void conflictAskedOncePerTransfer_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void conflictAskedOncePerTransfer()
    {
        QFETCH(bool, answer);
        WindowTest t;
        auto w = startWith(t, deskType("a", "Desk A"));
        QVERIFY(w->menuItem("mniConflictAsk")->isChecked());
        useFourReferences();
        configure("ref1_", "Mine", "speed=55");
        configure("ref2_", "Other", "speed=56");
        t.script.expect(MessageKind::Question, kConflict, answer);
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->currentText(), answer ? QString("Desk A") : QString("*Mine"));
        QCOMPARE(list(*w, "cmbAct2")->currentText(), QString("*Other")); // whatever the answer
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));

        t.script.expect(MessageKind::Question, kConflict, true); // the next transfer asks again
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->currentText(), QString("Desk A"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void oneEntryForOneUnknownActuator()
    {
        WindowTest t;
        auto w = startWith(t, deskType("a", "Desk A"));
        useFourReferences();
        configure("ref1_", "Motor", "family=50 subtype=4 speed=77");
        configure("ref2_", "Motor", "family=50 subtype=4 speed=77");
        showConfiguration(*w);
        QCOMPARE(items(list(*w, "cmbAct1")), (QStringList{"Auto (default)", "Desk A", "*Motor"}));
        QCOMPARE(list(*w, "cmbAct1")->currentIndex(), 2);
        QCOMPARE(list(*w, "cmbAct2")->currentIndex(), 2);
        QCOMPARE(items(list(*w, "cmbActLt")), items(list(*w, "cmbAct1")));

        // Stored without the star, and found again by its numbers, whatever its name.
        config::storeConfiguration(*w, w->state());
        QCOMPARE(config::readString("ref1_actname"), QString("Motor"));
        QCOMPARE(value("ref2_speed"), 77);
        QCOMPARE(value("ref2_family"), 50);
        config::writeString("ref2_actname", "Renamed");
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct2")->currentText(), QString("*Motor"));
        QCOMPARE(list(*w, "cmbAct1")->count(), 3);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void fullTable_data()
    {
        QTest::addColumn<QByteArray>("configuration");
        QTest::addColumn<int>("shown");
        QTest::newRow("unknown actuator: no selection") << QByteArray("family=50 subtype=5") << -1;
        QTest::newRow("family conflict: the family's entry") << QByteArray("family=7 subtype=7 speed=99") << 7;
    }
    void fullTable()
    {
        QFETCH(QByteArray, configuration);
        QFETCH(int, shown);
        WindowTest t;
        t.writeSetting("ConflictHandler", "2");
        QByteArray file;
        for (int i = 1; i <= 100; ++i)
            file += deskType("t" + QByteArray::number(i), "T" + QByteArray::number(i),
                             "family=7 subtype=" + QByteArray::number(i));
        auto w = startWith(t, file);
        configure("ref1_", "Lost", configuration);
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->currentIndex(), shown);
        QCOMPARE(int(w->state().actuators.entries.size()), 100);
        if (shown < 0) {
            config::storeConfiguration(*w, w->state());
            QCOMPARE(value("ref1_auto_type"), 1);
        }
    }

    void userPickAppliesSlsFlags_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("accelerationOff");
        QTest::newRow("all three") << "cmbAct3" << 2 << 3 << true << true << true;
        QTest::newRow("up only") << "cmbAct2" << 3 << 2 << true << false << false;
        QTest::newRow("down and acceleration") << "cmbAct4" << 4 << 4 << false << true << true;
        QTest::newRow("settings list is reference 1") << "cmbActLt" << 2 << 1 << true << true << true;
        QTest::newRow("no flags") << "cmbAct1" << 1 << 1 << false << false << false;
        QTest::newRow("automatic") << "cmbAct1" << 0 << 1 << false << false << false;
    }
    void userPickAppliesSlsFlags()
    {
        QFETCH(QString, box);
        QFETCH(int, item);
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(bool, down);
        QFETCH(bool, accelerationOff);
        WindowTest t;
        auto w = startWith(t, section("p", "Plain", "tavrin=1\r\n")
                                  + section("a", "No SLS", "tavrin=1\r\ndisable_sls_up=1\r\ndisable_sls_down=1\r\n"
                                                           "disable_sls_acc=1\r\n")
                                  + section("u", "No SLS up", "tavrin=1\r\ndisable_sls_up=1\r\n")
                                  + section("d", "No SLS down",
                                            "tavrin=1\r\ndisable_sls_down=1\r\ndisable_sls_acc=1\r\n"));
        auto* ignUp = w->control<QCheckBox>(QStringLiteral("cbxIgnUp%1").arg(row));
        auto* ignDw = w->control<QCheckBox>(QStringLiteral("cbxIgnDw%1").arg(row));
        QWidget* returnUp = w->control(QStringLiteral("cmbSlsRetUp%1").arg(row));
        // Start from the opposite of what the pick must leave.
        ignUp->setChecked(!up);
        ignUp->setEnabled(up);
        ignDw->setChecked(!down);
        ignDw->setEnabled(down);
        w->state().slsAccelerationOff[std::size_t(row - 1)] = !accelerationOff;

        pick(list(*w, box), item);
        QCOMPARE(ignUp->isChecked(), up);
        QCOMPARE(ignUp->isEnabled(), !up);
        QCOMPARE(ignDw->isChecked(), down);
        QCOMPARE(ignDw->isEnabled(), !down);
        QCOMPARE(w->state().slsAccelerationOff[std::size_t(row - 1)], accelerationOff);
        QCOMPARE(returnUp->isEnabled(), !up); // SLS return drive only while SLS counts
        QVERIFY(t.script.problems().isEmpty());
    }

    void warningOnlyOnUserPick()
    {
        WindowTest t;
        auto w = startWith(t, deskType("a", "Desk A") + deskType("w", "Warned", "family=9",
                                                                  "tavrin=1\r\nbelmora=1\r\ndisable_sls_up=1\r\n"
                                                                  "warningtext=Check the power unit.\r\n"));
        // Shown by the program: no message, no change to the row.
        configure("ref1_", "Warned", "family=9");
        showConfiguration(*w);
        QCOMPARE(list(*w, "cmbAct1")->currentText(), QString("Warned"));
        QVERIFY(w->control<QCheckBox>("cbxIgnUp1")->isEnabled());
        w->mniModeItemClick(w->modeItem(config::ModeBelmora));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));

        // Picked by the user: every time.
        t.script.expect(MessageKind::Warning, "Check the power unit.");
        t.script.expect(MessageKind::Warning, "Check the power unit.");
        pick(list(*w, "cmbAct2"), 1);
        pick(list(*w, "cmbAct2"), 1);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void everyWiredBoxRestoresTheColour_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("actuatorList");
        QTest::newRow("cmbInitPlug2") << "cmbInitPlug2" << false;
        QTest::newRow("cmbAct2") << "cmbAct2" << true;
        QTest::newRow("cmbActLt") << "cmbActLt" << true;
    }
    void everyWiredBoxRestoresTheColour()
    {
        QFETCH(QString, box);
        QFETCH(bool, actuatorList);
        WindowTest t;
        auto w = startWith(t, section("a", "No SLS up", "tavrin=1\r\ndisable_sls_up=1\r\n"));
        w->menuItem("mniColorStay")->trigger();
        const QColor normal = w->centralWidget()->palette().color(QPalette::Window);
        w->colorFeedback(true);
        QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), QColor(0, 255, 0));
        for (QComboBox* l : rules::actuatorLists(*w))
            l->setCurrentIndex(1);
        auto* ignUp2 = w->control<QCheckBox>("cbxIgnUp2");
        auto* ignUp1 = w->control<QCheckBox>("cbxIgnUp1");
        ignUp1->setEnabled(true);
        ignUp2->setEnabled(true);

        auto* sender = list(*w, box);
        emit sender->activated(sender->currentIndex());
        QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), normal);
        // Only an actuator list touches its row; the initialization-lock box does nothing more.
        QCOMPARE(ignUp2->isEnabled(), !(actuatorList && box == "cmbAct2"));
        QCOMPARE(ignUp1->isEnabled(), !(actuatorList && box == "cmbActLt"));
    }

    // The files we ship: every mode with actuator lists offers a choice, and no name is cut.
    void shippedFiles()
    {
        WindowTest t;
        const QDir data(QStringLiteral(TEST_DATA_DIR "/../../data"));
        for (const QString& file : {QStringLiteral("Actuators.ini"), QStringLiteral("actLegacy.ini")}) {
            QFile::remove(t.program.filePath(file));
            QVERIFY(QFile::copy(data.filePath(file), t.program.filePath(file)));
        }
        auto w = t.start({"COMBINED"});
        QVERIFY(actuatorFileMenu(*w)->menuAction()->isVisible());
        bool warned = false;
        bool slsLocked = false;
        // The main file offers several types per mode, the older one at least one.
        for (const auto& [file, least] :
             {std::pair{QStringLiteral("Actuators"), 3}, std::pair{QStringLiteral("actLegacy"), 1}}) {
            fileItem(*w, file)->trigger();
            const platform::IniFile ini = platform::IniFile::load(data.filePath(file + ".ini"));
            for (int mode : {config::ModeTavrin, config::ModeBelmora, config::ModeMz40Standard, config::ModeMz40Advanced}) {
                w->mniModeItemClick(w->modeItem(mode));
                QVERIFY2(int(w->state().actuators.entries.size()) >= least, qPrintable(file + QString(" mode %1").arg(mode)));
                for (const rules::ActuatorEntry& e : w->state().actuators.entries) {
                    QVERIFY(!e.name.isEmpty());
                    warned = warned || !e.warningText.isEmpty();
                    slsLocked = slsLocked || (e.disableSlsUp && e.disableSlsDown && e.disableSlsAcc);
                }
            }
            for (const QString& s : ini.sectionNames(1024))
                QVERIFY2(ini.value(s, "ActuatorName", "").size() <= 19, qPrintable(s));
            QCOMPARE(ini.sectionNames(1024), ini.sectionNames(65536)); // every type fits the name buffer
        }
        QVERIFY(warned);
        QVERIFY(slsLocked);

        // The box tells types apart by family and subtype: in any actuator file we ship, two types
        // sharing both would turn a saved choice into a conflict, or into the other type.
        const QStringList shipped = data.entryList({"act*.ini"}, QDir::Files);
        QVERIFY(shipped.size() >= 2);
        for (const QString& file : shipped) {
            const platform::IniFile ini = platform::IniFile::load(data.filePath(file));
            QSet<QPair<long, long>> pairs;
            for (const QString& s : ini.sectionNames(65536)) {
                const QPair<long, long> pair{platform::atolLike(ini.value(s, "family", "0")),
                                             platform::atolLike(ini.value(s, "subtype", "0"))};
                QVERIFY2(!pairs.contains(pair), qPrintable(QString("%1: %2 repeats family %3 subtype %4")
                                                               .arg(file, s).arg(pair.first).arg(pair.second)));
                pairs.insert(pair);
            }
        }
    }
};

QTEST_MAIN(TestActuators)
#include "tst_actuators.moc"
