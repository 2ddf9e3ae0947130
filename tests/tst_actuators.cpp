#include "config/access.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "rules/actuators.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>

#include <moxtausbdll.h>

#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

QByteArray section(const QByteArray& key, const QByteArray& name, const QByteArray& body)
{
    return "[" + key + "]\r\nActuatorName=" + name + "\r\n" + body + "\r\n";
}

// A desk type with all twenty-one numbers set.
const QByteArray kDesk = "tavrin=1\r\nlength=21\r\ntype=1\r\nfamily=10\r\nsubtype=1\r\nkemf=312\r\nrmi=845\r\np2mm=250\r\n"
                         "cm=12\r\ngfd=1620\r\niup=38\r\nidw=30\r\nphysstroke=6500\r\nlogistroke=6400\r\ndbe_up=8\r\n"
                         "dbe_dw=6\r\nendstopup=12\r\nendstopdn=10\r\npsys=2\r\npiezo=0\r\nspeed=40\r\ninitplug=1\r\n";

QStringList items(const QComboBox* box)
{
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all << box->itemText(i);
    return all;
}

int value(const char* name)
{
    uint16_t v = 0;
    lin_GetConfig(name, &v);
    return v;
}

// Writes the actuator data of a reference as a configuration from elsewhere would carry them.
void configure(const QString& prefix, const QByteArray& name, int speed, int family = 10, int subtype = 1)
{
    const QString p = prefix;
    auto set = [&p](const char* stem, int v) { config::writeParameter(p + stem, uint16_t(v)); };
    set("auto_type", 0);
    config::writeString(p + "actname", QString::fromLatin1(name));
    const std::pair<const char*, int> values[] = {{"iid_length", 21}, {"iid_type", 1}, {"family", family}, {"subtype", subtype},
                                                  {"kemf", 312},      {"rmi", 845},    {"p2mm", 250},      {"cm", 12},
                                                  {"gfd", 1620 & 0xFF}, {"gfd_h", 1620 >> 8}, {"iup", 38}, {"idw", 30},
                                                  {"physstroke", 6500}, {"logistroke", 6400}, {"dbe_up", 8}, {"dbe_dw", 6},
                                                  {"endstopup", 12},  {"endstopdn", 10}, {"psys", 2},      {"piezo", 0},
                                                  {"speed", speed},   {"initplug", 1}};
    for (const auto& [stem, v] : values)
        set(stem, v);
}

} // namespace

class TestActuators : public QObject
{
    Q_OBJECT

private slots:
    void fileMenuAndModeFilter()
    {
        WindowTest t;
        testutil::writeFile(t.program.filePath("Actuators.ini"),
                            section("a", "Desk A", kDesk) + section("b", "Bed B", "belmora=1\r\n")
                                + section("c", "Both C", "tavrin=1\r\nbelmora=1\r\n"));
        auto w = t.start({"COMBINED"});
        auto* menu = w->findChild<QMenu*>("mniAlternateFile");
        QVERIFY(!menu->menuAction()->isVisible()); // one file: nothing to choose
        QCOMPARE(items(w->control<QComboBox>("cmbAct1")), (QStringList{"Auto (default)", "Desk A", "Both C"}));
        QCOMPARE(items(w->control<QComboBox>("cmbActLt")), items(w->control<QComboBox>("cmbAct1")));
        w->menuItem("mniWZQ")->trigger();
        QCOMPARE(items(w->control<QComboBox>("cmbAct2")), (QStringList{"Auto (default)", "Bed B", "Both C"}));
        w->menuItem("mniRQ9")->trigger();
        QCOMPARE(items(w->control<QComboBox>("cmbAct1")), QStringList{"Auto (default)"});

        WindowTest two;
        testutil::writeFile(two.program.filePath("Actuators.ini"), section("a", "Desk A", kDesk));
        testutil::writeFile(two.program.filePath("actOld.ini"), section("o", "Old O", "tavrin=1\r\n"));
        auto w2 = two.start({"COMBINED"});
        auto* menu2 = w2->findChild<QMenu*>("mniAlternateFile");
        QVERIFY(menu2->menuAction()->isVisible());
        QAction* old = nullptr;
        for (QAction* item : menu2->actions()) {
            QCOMPARE(item->isChecked(), item->text() == "Actuators");
            if (item->text() == "actOld")
                old = item;
        }
        QVERIFY(old);
        old->trigger();
        QCOMPARE(items(w2->control<QComboBox>("cmbAct1")), (QStringList{"Auto (default)", "Old O"}));
        QVERIFY(old->isChecked());
    }

    void fieldsTakeTheirWidthsAndDefaults()
    {
        WindowTest t;
        QByteArray many;
        for (int i = 0; i < 150; ++i)
            many += section("s" + QByteArray::number(i), "T" + QByteArray::number(i), "tavrin=1\r\n");
        testutil::writeFile(t.program.filePath("Actuators.ini"),
                            section("wide", "A name of 25 characters!", "tavrin=1\r\nlength=300\r\ngfd=4660\r\nkemf=70000\r\n")
                                + section("neg", "Negative", "tavrin=-1\r\n") + section("plain", "Plain", "tavrin=1\r\n")
                                + many);
        auto w = t.start({"COMBINED"});
        const auto& entries = w->actuators.entries;
        QCOMPARE(int(entries.size()), 100);
        QCOMPARE(entries[0].name, QString("A name of 25 charac"));
        QCOMPARE(int(entries[0].length), 44);
        QCOMPARE(int(entries[0].gfd), 4660);
        QCOMPARE(int(entries[0].kemf), 70000 & 0xFFFF);
        QCOMPARE(entries[1].name, QString("Plain")); // tavrin -1 is not offered
        QCOMPARE(int(entries[1].length), 21);
        QCOMPARE(w->control<QComboBox>("cmbAct1")->count(), 101);

        // The 12-bit gfd goes out split.
        w->control<QComboBox>("cmbAct1")->setCurrentIndex(1);
        config::storeConfiguration(*w);
        QCOMPARE(value("ref1_gfd"), 0x34);
        QCOMPARE(value("ref1_gfd_h"), 0x2);
        QCOMPARE(value("ref1_iid_length"), 44);
        QCOMPARE(value("ref1_auto_type"), 0);
        char name[232] = {};
        lin_GetStringConfig("ref1_actname", name, sizeof name);
        QCOMPARE(QString(name), QString("A name of 25 charac"));
    }

    void automaticAndMatching()
    {
        WindowTest t("[CONFIG]\nAdvancedMode=1\n");
        testutil::writeFile(t.program.filePath("Actuators.ini"), section("a", "Desk A", kDesk));
        auto w = t.start();
        auto* list = w->control<QComboBox>("cmbAct1");
        config::writeParameter("ref1_auto_type", 5);
        config::writeParameter("ref1_iid_length", 99);
        config::showConfiguration(*w);
        QCOMPARE(list->currentIndex(), 0);
        config::storeConfiguration(*w);
        uint16_t def = 0;
        lin_GetConfigDefault("ref1_iid_length", &def);
        QCOMPARE(value("ref1_auto_type"), 1);
        QCOMPARE(value("ref1_iid_length"), int(def)); // nothing else written

        // The table's numbers, found by family and all values.
        configure("ref1_", "anything", 40);
        config::showConfiguration(*w);
        QCOMPARE(list->currentText(), QString("Desk A"));

        // Family and subtype 0: only all twenty-one values match.
        WindowTest zero("[CONFIG]\nAdvancedMode=1\n");
        QByteArray noFamily = kDesk;
        noFamily.replace("family=10", "family=0").replace("subtype=1", "subtype=0");
        testutil::writeFile(zero.program.filePath("Actuators.ini"), section("z", "Zero Z", noFamily));
        auto z = zero.start();
        configure("ref1_", "", 40, 0, 0);
        config::showConfiguration(*z);
        QCOMPARE(z->control<QComboBox>("cmbAct1")->currentText(), QString("Zero Z"));
        configure("ref1_", "", 41, 0, 0);
        config::showConfiguration(*z);
        QCOMPARE(z->control<QComboBox>("cmbAct1")->currentText(), QString("*Unknown"));
        // gfd_h 3 and gfd 0x41 compare as 0x341.
        QByteArray g = noFamily;
        g.replace("gfd=1620", "gfd=833");
        testutil::writeFile(zero.program.filePath("Actuators.ini"), section("g", "Gfd G", g));
        z->mniModeItemClick(z->modeItem(0)); // rebuilds the table
        configure("ref1_", "", 40, 0, 0);
        config::writeParameter("ref1_gfd", 0x41);
        config::writeParameter("ref1_gfd_h", 3);
        config::showConfiguration(*z);
        QCOMPARE(z->control<QComboBox>("cmbAct1")->currentText(), QString("Gfd G"));
    }

    void conflicts()
    {
        // Standard mode: no question, the configuration's own entry.
        WindowTest standard;
        testutil::writeFile(standard.program.filePath("Actuators.ini"), section("a", "Desk A", kDesk));
        auto s = standard.start();
        configure("ref1_", "Mine", 55);
        config::showConfiguration(*s);
        QCOMPARE(s->control<QComboBox>("cmbActLt")->currentText(), QString("*Mine"));
        QVERIFY(standard.script.problems().isEmpty());

        WindowTest t;
        testutil::writeFile(t.program.filePath("Actuators.ini"), section("a", "Desk A", kDesk));
        t.writeSetting("ConflictHandler", "1");
        auto w = t.start({"COMBINED"});
        w->control<QRadioButton>("rbSingle")->click();
        for (int r = 0; r < 4; ++r) {
            config::writeParameter(QStringLiteral("channel%1").arg(r + 1), uint16_t(r));
            config::writeParameter(QStringLiteral("ref%1_reference").arg(r + 1), uint16_t(r));
        }
        configure("ref1_", "Mine", 55);
        config::showConfiguration(*w);
        QCOMPARE(w->control<QComboBox>("cmbAct1")->currentText(), QString("Desk A")); // use configurator

        const QString question = "There is a conflict between the configuration and the actuator known to the configurator\n\n"
                                 "Use the configurator default?";
        w->menuItem("mniConflictAsk")->trigger();
        configure("ref2_", "Other", 56);
        t.script.expect(MessageKind::Question, question, true);
        config::showConfiguration(*w);
        QCOMPARE(w->control<QComboBox>("cmbAct1")->currentText(), QString("Desk A")); // answered Yes
        QCOMPARE(w->control<QComboBox>("cmbAct2")->currentText(), QString("*Other")); // not asked again
        t.script.expect(MessageKind::Question, question, false);
        config::showConfiguration(*w); // the next transfer asks again
        QCOMPARE(w->control<QComboBox>("cmbAct1")->currentText(), QString("*Mine"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void unknownActuatorsShareOneEntry()
    {
        WindowTest t;
        testutil::writeFile(t.program.filePath("Actuators.ini"), section("a", "Desk A", kDesk));
        auto w = t.start({"COMBINED"});
        for (int r = 0; r < 4; ++r) {
            config::writeParameter(QStringLiteral("channel%1").arg(r + 1), uint16_t(r));
            config::writeParameter(QStringLiteral("ref%1_reference").arg(r + 1), uint16_t(r));
        }
        configure("ref1_", "Motor", 77, 40, 4);
        configure("ref2_", "Motor", 77, 40, 4);
        config::showConfiguration(*w);
        QCOMPARE(w->control<QComboBox>("cmbAct1")->currentText(), QString("*Motor"));
        QCOMPARE(w->control<QComboBox>("cmbAct2")->currentIndex(), w->control<QComboBox>("cmbAct1")->currentIndex());
        QCOMPARE(w->control<QComboBox>("cmbAct1")->count(), 3);
        config::referenceSelectClick(*w);
        config::storeConfiguration(*w);
        char name[232] = {};
        lin_GetStringConfig("ref1_actname", name, sizeof name);
        QCOMPARE(QString(name), QString("Motor"));
        QCOMPARE(value("ref2_speed"), 77);
        config::showConfiguration(*w); // found again by its values
        QCOMPARE(w->control<QComboBox>("cmbAct1")->count(), 3);
    }

    void fullTableLeavesNoSelection()
    {
        WindowTest t;
        QByteArray many;
        for (int i = 0; i < 100; ++i)
            many += section("s" + QByteArray::number(i), "T" + QByteArray::number(i), "tavrin=1\r\nfamily=1\r\n");
        testutil::writeFile(t.program.filePath("Actuators.ini"), many);
        auto w = t.start({"COMBINED"});
        configure("ref1_", "Lost", 40, 50, 5);
        config::showConfiguration(*w);
        QCOMPARE(w->control<QComboBox>("cmbAct1")->currentIndex(), -1);
        config::storeConfiguration(*w);
        QCOMPARE(value("ref1_auto_type"), 1);
    }

    void userChoiceAppliesWarningAndSlsFlags()
    {
        WindowTest t;
        testutil::writeFile(t.program.filePath("Actuators.ini"),
                            section("w", "Warned", "tavrin=1\r\nwarningtext=Check the power unit.\r\n")
                                + section("s", "No SLS", "tavrin=1\r\nfamily=3\r\ndisable_sls_up=1\r\ndisable_sls_acc=1\r\n"));
        auto w = t.start({"COMBINED"});
        auto* list = w->control<QComboBox>("cmbAct1");
        t.script.expect(MessageKind::Warning, "Check the power unit.");
        list->setCurrentIndex(1);
        emit list->activated(1);
        list->setCurrentIndex(2);
        emit list->activated(2);
        QVERIFY(w->control<QCheckBox>("cbxIgnUp1")->isChecked());
        QVERIFY(!w->control<QCheckBox>("cbxIgnUp1")->isEnabled());
        QVERIFY(w->control<QCheckBox>("cbxIgnDw1")->isEnabled());
        QVERIFY(w->slsAccelerationOff[0]);
        list->setCurrentIndex(0);
        emit list->activated(0);
        QVERIFY(!w->control<QCheckBox>("cbxIgnUp1")->isChecked());
        QVERIFY(w->control<QCheckBox>("cbxIgnUp1")->isEnabled());
        QVERIFY(!w->slsAccelerationOff[0]);

        // Showing a configuration that selects the warned type shows nothing; the init-lock box only
        // restores the colour.
        w->colorFeedback(true);
        emit w->control<QComboBox>("cmbInitPlug2")->activated(1);
        QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), w->palette().color(QPalette::Window));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void noActuatorFileKeepsTheDesignLists()
    {
        WindowTest t;
        QFile::remove(t.program.filePath("Actuators.ini"));
        auto w = t.start({"COMBINED"});
        QVERIFY(w->findChild<QMenu*>("mniAlternateFile")->actions().isEmpty()
                || !w->findChild<QMenu*>("mniAlternateFile")->menuAction()->isVisible());
        QCOMPARE(w->control<QComboBox>("cmbAct1")->itemText(0), QString("Auto (Default)"));
        w->menuItem("mniWZQ")->trigger();
        QCOMPARE(w->control<QComboBox>("cmbAct1")->itemText(0), QString("Auto (Default)"));
    }
};

QTEST_MAIN(TestActuators)
#include "tst_actuators.moc"
