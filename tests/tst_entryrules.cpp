// The value rules in the real main window: a user types into a box (key clicks into its line
// edit), moves on with Tab, and sees the texts and the messages the rules give.

#include "config/catalog.h"
#include "config/conversions.h"
#include "config/transfers.h"
#include "config/windowstate.h"
#include "rules/memorder.h"
#include "rules/memory.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <moxtausbdll.h>

#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

const QString kMax = QStringLiteral("Current value is beyond limits. It has been set to maximum");
const QString kMin = QStringLiteral("Current value is beyond limits. It has been set to minimum");
const QString kIllegal = QStringLiteral("Current value is illegal. It has been set to maximum");
const QString kExchanging = QStringLiteral("Max < min. Exchanging");
const QString kStep = QStringLiteral("Step to large. Modifying");

// The main window of a product, shown and active, so the focus moves as it does for a user.
struct Shown
{
    explicit Shown(const QStringList& arguments, int mode = 0)
    {
        t.writeSetting("Hardware", QByteArray::number(mode));
        program = t.startApplication(arguments);
        w = &program->mainWindow();
        w->show();
        w->activateWindow();
    }

    bool ready() { return QTest::qWaitForWindowActive(w); }

    QComboBox* box(const QString& name) const { return w->control<QComboBox>(name); }

    // Types into the box as a user does: the box gets the focus, its text is selected and replaced
    // key by key. Returns the text the box shows while it still has the focus.
    QString type(const QString& name, const QString& text)
    {
        QComboBox* b = box(name);
        w->setActivePage(pageOf(b));
        b->setFocus(Qt::MouseFocusReason);
        b->lineEdit()->selectAll();
        QTest::keyClicks(b->lineEdit(), text);
        return b->currentText();
    }

    // Leaves the focused box: a click on the tab bar takes the focus.
    void leave() { w->pgcMain()->tabBar()->setFocus(Qt::MouseFocusReason); }

    // Chooses an item of a list as a user does: the list opens and the item is clicked.
    void choose(const QString& name, const QString& item)
    {
        QComboBox* b = box(name);
        w->setActivePage(pageOf(b));
        b->setFocus(Qt::MouseFocusReason);
        b->showPopup();
        QAbstractItemView* list = b->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QModelIndex index = list->model()->index(b->findText(item), 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        QTRY_VERIFY(!list->window()->isVisible());
    }

    QWidget* pageOf(QWidget* c) const
    {
        for (int i = 0; i < w->pgcMain()->count(); ++i)
            if (w->pgcMain()->widget(i)->isAncestorOf(c))
                return w->pgcMain()->widget(i);
        return nullptr;
    }

    QString problems() const { return t.script.problems().join('\n'); }

    WindowTest t;
    std::unique_ptr<app::Application> program;
    app::TfrmMain* w = nullptr;
};

} // namespace

class TestEntryRules : public QObject
{
    Q_OBJECT

private slots:
    // Typed, then left: the filter while typing, the limits check on leaving (shipped limits).
    void typedAndLeft_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("inch");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("whileTyping");
        QTest::addColumn<QString>("afterLeaving");
        QTest::addColumn<QStringList>("messages");
        const QStringList desk{"COMBINED"};
        const QStringList none;
        QTest::newRow("stroke over the maximum") << desk << false << "cmbStroke1" << "700" << "700" << "650" << QStringList{kMax};
        QTest::newRow("stroke at the maximum") << desk << false << "cmbStroke1" << "650" << "650" << "650" << none;
        QTest::newRow("stroke, five digits") << desk << false << "cmbStroke1" << "12345" << "1234" << "650" << QStringList{kMax};
        QTest::newRow("stroke in inch") << desk << true << "cmbStroke1" << "26" << "26" << "25.59" << QStringList{kMax};
        QTest::newRow("stroke below the minimum") << desk << false << "cmbStroke1" << "50" << "50" << "100" << QStringList{kMin};
        QTest::newRow("stroke, d is Default") << desk << false << "cmbStroke1" << "d" << "Default" << "Default" << none;
        QTest::newRow("stroke, a letter") << desk << false << "cmbStroke1" << "6x" << "6" << "100" << QStringList{kMin};
        QTest::newRow("safety stroke, comma") << desk << false << "cmbSafeStrokeMax1" << "12,5" << "12.5" << "12.5" << none;
        QTest::newRow("safety stroke, a word") << desk << false << "cmbSafeStrokeMin1" << "abc" << "" << "650" << QStringList{kIllegal};
        QTest::newRow("custom, two points") << desk << false << "cmbPar1" << "1.2.3" << "1.23" << "1.23" << none;
        QTest::newRow("forced, separator") << desk << false << "cmbForced" << "7." << "7" << "7" << none;
        QTest::newRow("forced over the maximum") << desk << false << "cmbForced" << "45" << "45" << "30" << QStringList{kMax};
        QTest::newRow("aux time-out 0 is Off") << desk << false << "cmbAuxTO1" << "0" << "0" << "Off" << none;
        QTest::newRow("aux time-out, o is Off") << desk << false << "cmbAuxTO2" << "o" << "Off" << "Off" << none;
        QTest::newRow("standard view, comma") << QStringList() << false << "cmbStrokeLt" << "50,5" << "50.5" << "100"
                                              << QStringList{kMin};
        QTest::newRow("standard view, forced") << QStringList() << false << "cmbForcedLt" << "31" << "31" << "30" << QStringList{kMax};
    }
    void typedAndLeft()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, inch);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, whileTyping);
        QFETCH(QString, afterLeaving);
        QFETCH(QStringList, messages);
        Shown s(arguments);
        QVERIFY(s.ready());
        if (inch)
            s.w->menuItem("mniinch")->trigger();
        QCOMPARE(s.type(box, typed), whileTyping);
        for (const QString& m : messages)
            s.t.script.expect(MessageKind::Information, m);
        s.leave();
        QCOMPARE(s.box(box)->currentText(), afterLeaving);
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        // A corrected box has the focus again; an accepted one has let it go.
        QCOMPARE(s.box(box)->hasFocus(), !messages.isEmpty());
    }

    // A box whose limits are written in another unit than its value is stored in is judged by
    // what it stores: nothing below a minimum gets through, a value inside is kept as typed.
    void checkedAsStored_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterLeaving");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("stored");
        const QStringList none;
        // Seconds in the limits file, milliseconds in the box, the fraction cut.
        QTest::newRow("standard forced below the minimum") << QStringList() << 0 << "cmbForcedLt" << "0.6" << "1"
                                                           << QStringList{kMin} << "forced_init_time" << 2000;
        QTest::newRow("standard forced at the minimum") << QStringList() << 0 << "cmbForcedLt" << "1" << "1" << none
                                                        << "forced_init_time" << 2000;
        // Tenths of mm/s in the limits file, the speed scale in the box.
        QTest::newRow("safety speed below the minimum") << QStringList{"COMBINED"} << 0 << "cmbSafeSpeedUp1" << "0.95" << "1"
                                                        << QStringList{kMin} << "ref1_safety_speed_up" << 164;
        QTest::newRow("safety speed at the maximum") << QStringList{"COMBINED"} << 0 << "cmbSafeSpeedDw1" << "60" << "60"
                                                     << none << "ref1_safety_speed_dw" << 9830;
        QTest::newRow("safety speed over the maximum") << QStringList{"COMBINED"} << 0 << "cmbSafeSpeedDw1" << "60.01" << "60"
                                                       << QStringList{kMax} << "ref1_safety_speed_dw" << 9830;
        // Half seconds in the limits file, seconds of minutes in the box.
        QTest::newRow("massage time-out below the minimum") << QStringList{"WZQ"} << 1 << "cmbMasTO" << "1.9" << "2"
                                                            << QStringList{kMin} << "massage_timeout" << 120;
        QTest::newRow("massage time-out at the maximum") << QStringList{"WZQ"} << 1 << "cmbMasTO" << "60" << "60" << none
                                                         << "massage_timeout" << 3600;
    }
    void checkedAsStored()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, afterLeaving);
        QFETCH(QStringList, messages);
        QFETCH(QString, parameter);
        QFETCH(int, stored);
        Shown s(arguments, mode);
        QVERIFY(s.ready());
        s.type(box, typed);
        for (const QString& m : messages)
            s.t.script.expect(MessageKind::Information, m);
        s.leave();
        QCOMPARE(s.box(box)->currentText(), afterLeaving);
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        config::storeConfiguration(*s.w, s.w->state());
        uint16_t v = 0;
        QCOMPARE(lin_GetConfig(parameter.toLatin1().constData(), &v), int16_t(0));
        QCOMPARE(int(v), stored);
    }

    // What the filter left is what the configuration gets.
    void filteredTextsAreStored()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        s.type("cmbSafeStrokeMax1", "12,5");
        s.type("cmbPar1", "1.2.3");
        s.leave();
        config::storeConfiguration(*s.w, s.w->state());
        uint16_t v = 0;
        lin_GetConfig("ref1_safety_stroke_max", &v);
        QCOMPARE(v, uint16_t(125));
        lin_GetConfig("custom1", &v);
        QCOMPARE(v, uint16_t(12));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void speedsMirrorAndLimits()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        s.w->control<QRadioButton>("rbSingle")->click(); // four references, each row in use
        QCOMPARE(s.box("cmbSpeedDown2")->currentText(), QString("Default"));
        s.type("cmbSpeed2", "20");
        s.leave();
        QCOMPARE(s.box("cmbSpeedDown2")->currentText(), QString("20"));
        s.type("cmbSpeed3", "70");
        s.t.script.expect(MessageKind::Information, kMax);
        s.leave();
        QCOMPARE(s.box("cmbSpeed3")->currentText(), QString("60"));
        QCOMPARE(s.box("cmbSpeedDown3")->currentText(), QString("60"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void missingLimits()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        QFile::remove(s.t.program.filePath("limits.ini"));
        s.type("cmbStroke1", "700");
        s.t.script.expect(MessageKind::Information, "Could not read limits file: cmbStroke1");
        s.leave();
        QCOMPARE(s.box("cmbStroke1")->currentText(), QString("700"));
        // An aux time-out says so twice, and a 0 still becomes "Off".
        s.type("cmbAuxTO3", "0");
        s.t.script.expect(MessageKind::Information, "Could not read limits file: cmbAuxTO3");
        s.t.script.expect(MessageKind::Information, "Could not read aux limits from limits.ini");
        s.leave();
        QCOMPARE(s.box("cmbAuxTO3")->currentText(), QString("Off"));
        // A box of its own name (no reference digit) says it once.
        s.type("cmbForced", "5");
        s.t.script.expect(MessageKind::Information, "Could not read limits file: cmbForced");
        s.leave();
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // An output's type decides its unit, its boxes and, between volts and percent, its levels.
    void auxOutputTypes()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        s.choose("cmbAuxType2", "LED");
        QCOMPARE(s.w->control<QLabel>("lblAuxUnit2")->text(), QString("%"));
        for (const char* b : {"cmbAuxMax2", "cmbAuxMin2", "cmbAuxStep2"})
            QCOMPARE(s.box(b)->currentText(), QString("100"));
        s.choose("cmbAuxType2", "Relay");
        QCOMPARE(s.w->control<QLabel>("lblAuxUnit2")->text(), QString("V"));
        QCOMPARE(s.box("cmbAuxMax2")->currentText(), QString("11.9"));
        QVERIFY(s.w->control("cbxAuxVar2")->isHidden());
        QVERIFY(!s.w->control("cmbAuxMax2")->isHidden());
        s.type("cmbAuxMax2", "8");
        s.leave();
        s.choose("cmbAuxType2", "DC");
        QCOMPARE(s.box("cmbAuxMax2")->currentText(), QString("8")); // volts to volts: kept
        QVERIFY(!s.w->control("cbxAuxVar2")->isHidden());
        s.choose("cmbAuxType2", "USB");
        QVERIFY(s.w->control("cmbAuxMax2")->isHidden() && s.w->control("cbxAuxVar2")->isHidden());
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // MZ40 Advanced leaves the outputs' boxes alone; a switch to a mode that shows them must show
    // each output as its type says, not as the form was drawn.
    void auxOutputsAfterLeavingMz40Advanced()
    {
        Shown s({"COMBINED"}, 4);
        QVERIFY(s.ready());
        QCOMPARE(s.w->checkedMode(), 4);
        s.w->modeItem(1)->trigger();
        QCOMPARE(s.w->checkedMode(), 1);
        bool anyVariable = false;
        for (int n = 1; n <= 4; ++n) {
            const QString type = s.box(QString("cmbAuxType%1").arg(n))->currentText();
            auto* variable = s.w->control<QCheckBox>(QString("cbxAuxVar%1").arg(n));
            const bool varies = variable->isChecked();
            anyVariable = anyVariable || varies;
            QCOMPARE(variable->isHidden(), type != "DC" && type != "LED");
            QCOMPARE(s.w->control(QString("cmbAuxMax%1").arg(n))->isHidden(), type == "USB");
            for (const char* member : {"cmbAuxMin%1", "cmbAuxStep%1", "cbxAuxCirUp%1", "cbxAuxCirDw%1", "cbxAuxCirStop%1"})
                QCOMPARE(s.w->control(QString(member).arg(n))->isHidden(), !varies);
        }
        QCOMPARE(s.w->control("lblAuxMin")->isHidden(), !anyVariable);
        QCOMPARE(s.box("cmbAuxType3")->currentText(), QString("USB"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void auxRanges()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        // Not variable: the setting is the minimum and the step too.
        s.choose("cmbAuxType1", "DC");
        s.type("cmbAuxMax1", "8");
        s.leave();
        QCOMPARE(s.box("cmbAuxMin1")->currentText(), QString("8"));
        QCOMPARE(s.box("cmbAuxStep1")->currentText(), QString("8"));
        // Variable: the range is kept in order and its step repaired.
        QTest::mouseClick(s.w->control<QCheckBox>("cbxAuxVar1"), Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(s.w->control<QCheckBox>("cbxAuxVar1")->isChecked());
        QVERIFY(!s.w->control("cmbAuxMin1")->isHidden());
        s.type("cmbAuxMin1", "10");
        s.t.script.expect(MessageKind::Information, kExchanging);
        s.t.script.expect(MessageKind::Information, kStep); // the step of 8 no longer fits in 8 to 10
        s.leave();
        QCOMPARE(s.box("cmbAuxMax1")->currentText(), QString("10"));
        QCOMPARE(s.box("cmbAuxMin1")->currentText(), QString("8"));
        QCOMPARE(s.box("cmbAuxStep1")->currentText(), QString("2"));
        s.type("cmbAuxStep1", "5");
        s.t.script.expect(MessageKind::Information, kStep);
        s.leave();
        QCOMPARE(s.box("cmbAuxStep1")->currentText(), QString("2"));
        // An LED output never goes above 100 %.
        s.choose("cmbAuxType3", "LED");
        s.type("cmbAuxMax3", "150");
        s.leave();
        QCOMPARE(s.box("cmbAuxMax3")->currentText(), QString("100"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void massageRules()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        s.type("cmbMasIntLow", "5");
        s.leave();
        s.type("cmbMasIntHi", "9");
        s.leave();
        s.type("cmbMasIntStep", "6");
        s.t.script.expect(MessageKind::Information, kStep);
        s.leave();
        QCOMPARE(s.box("cmbMasIntStep")->currentText(), QString("4"));
        s.type("cmbMasWaveMin", "2");
        s.t.script.expect(MessageKind::Information, "Cannot have wave min < min intensity. Modifying.");
        s.leave();
        QCOMPARE(s.box("cmbMasWaveMin")->currentText(), QString("5"));
        s.type("cmbMasCycleLow", "20");
        s.leave();
        s.type("cmbMasCycleHi", "10");
        s.t.script.expect(MessageKind::Information, kExchanging);
        s.leave();
        QCOMPARE(s.box("cmbMasCycleLow")->currentText(), QString("10"));
        QCOMPARE(s.box("cmbMasCycleHi")->currentText(), QString("20"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void rq9Angles()
    {
        Shown s({"RQ9"}, 2);
        QVERIFY(s.ready());
        s.type("cmbRq9BMax", "70");
        s.t.script.expect(MessageKind::Information, kMax);
        s.leave();
        QCOMPARE(s.box("cmbRq9BMax")->currentText(), QString("68"));
        s.type("cmbRq9BMin", "40");
        s.t.script.expect(MessageKind::Information, "Backrest max < min. Exchanging");
        s.type("cmbRq9BMax", "20"); // leaving the minimum: in order
        s.leave();
        QCOMPARE(s.box("cmbRq9BMax")->currentText(), QString("40"));
        QCOMPARE(s.box("cmbRq9BMin")->currentText(), QString("20"));
        s.type("cmbRq9LMax", "Default");
        s.leave();
        QCOMPARE(s.box("cmbRq9LMax")->currentText(), QString("Default"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // A limit whose stroke has no angle: a word still ends as a number, and only once.
    void rq9AngleWithoutAngleLimit()
    {
        Shown s({"RQ9"}, 2);
        QVERIFY(s.ready());
        testutil::writeFile(s.t.program.filePath("limits.ini"), "[cmbRq9BMax]\r\nMin=15\r\nMax=2000\r\n");
        s.type("cmbRq9BMax", "1e");
        s.t.script.expect(MessageKind::Information, kIllegal);
        s.leave();
        QCOMPARE(s.box("cmbRq9BMax")->currentText(), QString("90"));
        QVERIFY(s.box("cmbRq9BMax")->hasFocus());
        s.leave();
        QCOMPARE(s.box("cmbRq9BMax")->currentText(), QString("90"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // The RQ9 minima at their defaults (0 degrees, stroke 14.89) pass the shipped Min of 15 as they
    // will be stored; two boxes that both fail do not call each other's rule: the focus comes back
    // to the corrected box, and the box it passed through on the way is not checked.
    void correctedBoxKeepsItsNeighbourQuiet()
    {
        Shown s({"RQ9"}, 2);
        QVERIFY(s.ready());
        s.type("cmbRq9BMin", "0");
        s.box("cmbRq9LMin")->setFocus(Qt::MouseFocusReason);
        s.leave();
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        // Both minima above their defaults now: leaving one for the other gives one message.
        const QByteArray both = "[cmbRq9BMin]\r\nMin=300\r\nMax=600\r\n[cmbRq9LMin]\r\nMin=300\r\nMax=600\r\n";
        testutil::writeFile(s.t.program.filePath("limits.ini"), both);
        s.type("cmbRq9BMin", "0");
        s.t.script.expect(MessageKind::Information, kMin);
        s.box("cmbRq9LMin")->setFocus(Qt::MouseFocusReason);
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        QVERIFY(s.box("cmbRq9BMin")->hasFocus());
        QCOMPARE(s.box("cmbRq9LMin")->currentText(), QString("0"));
    }

    // A value corrected as the user changes the page: the page comes back, with the box in focus.
    void correctedBoxBringsItsPageBack()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        s.type("cmbStroke1", "999");
        QWidget* page = s.pageOf(s.box("cmbStroke1"));
        s.t.script.expect(MessageKind::Information, kMax);
        QTest::keyClick(s.w, Qt::Key_Tab, Qt::ControlModifier);
        QTRY_COMPARE(s.w->activePage(), page);
        QTRY_VERIFY(s.box("cmbStroke1")->hasFocus());
        QCOMPARE(s.box("cmbStroke1")->currentText(), QString("650"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // Commands that leave the focus in the box (a shortcut, a menu item) check its value first; a
    // corrected value stops the command, so the user sees it before it is stored.
    void commandsCheckTheBoxBeingTyped()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        s.type("cmbStroke1", "700");
        s.t.script.expect(MessageKind::Information, kMax);
        QTest::keyClick(s.w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(s.box("cmbStroke1")->currentText(), QString("650"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        const QString file = s.t.appData.filePath("checked.cfg");
        s.t.script.expectSaveFile(file);
        QTest::keyClick(s.w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        QVERIFY(testutil::readFile(file).contains("ref1_stroke_max=6500"));

        s.type("cmbStroke1", "700");
        s.t.script.expect(MessageKind::Information, kMax);
        s.w->menuItem("mniinch")->trigger();
        QVERIFY(s.w->menuItem("mnimm")->isChecked());
        QCOMPARE(s.box("cmbStroke1")->currentText(), QString("650"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void underBedLightTimeout_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("12a") << "12a" << "12";
        QTest::newRow("abc") << "abc" << "";
        QTest::newRow("007") << "007" << "7";
    }
    void underBedLightTimeout()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Shown s({"MZ40ADV"}, 4);
        QVERIFY(s.ready());
        QCOMPARE(s.type("ComboBoxUblTimeout", typed), shown);
    }

    // Set values: a slot for the memory, the positions in the unit, the slot given back.
    void memoryValues()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        const rules::MemoryTable& memory = s.w->state().memory;
        QStringList seen;
        s.t.script.expectDialog("frmMemory", [&seen](QDialog* d) {
            auto* m = static_cast<TfrmMemory*>(d);
            seen << m->positionBox(0)->currentText() << m->unitLabel(0)->text() << m->referenceLabel(0)->text();
            return int(QDialog::Accepted); // nothing changed
        });
        s.w->control<QPushButton>("btnSetMem2")->click();
        QCOMPARE(seen, (QStringList{"Not set", "mm", "Backrest"}));
        QCOMPARE(memory.records[1].valueSlot, rules::kNoSlot); // given back

        s.t.script.expectDialog("frmMemory", [](QDialog* d) {
            auto* m = static_cast<TfrmMemory*>(d);
            m->positionBox(0)->setEditText("123.4");
            m->positionBox(1)->setEditText("Up");
            return int(QDialog::Accepted);
        });
        s.w->control<QPushButton>("btnSetMem2")->click();
        QCOMPARE(memory.records[1].valueSlot, 0);
        QCOMPARE(memory.values[0][0], uint16_t(1234));
        QCOMPARE(memory.values[0][1], uint16_t(32768));
        seen.clear();
        s.t.script.expectDialog("frmMemory", [&seen](QDialog* d) {
            seen << static_cast<TfrmMemory*>(d)->positionBox(0)->currentText();
            return int(QDialog::Rejected);
        });
        s.w->control<QPushButton>("btnSetMem2")->click();
        QCOMPARE(seen, QStringList{"123"});
        // OK on the rounded text keeps the position it shows.
        s.t.script.expectDialog("frmMemory", [](QDialog*) { return int(QDialog::Accepted); });
        s.w->control<QPushButton>("btnSetMem2")->click();
        QCOMPARE(memory.values[0][0], uint16_t(1234));

        // All six slots taken: no dialog for a memory without one.
        for (int n = 0; n < 6; ++n)
            s.w->state().memory.records[std::size_t(n == 1 ? 6 : n)].valueSlot = n;
        s.w->state().memory.records[1].valueSlot = rules::kNoSlot;
        s.t.script.expect(MessageKind::Information, "Cannot set values for more memory positions");
        s.w->control<QPushButton>("btnSetMem2")->click();
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void memoryOrder()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        s.t.script.expectDialog("frmMemOrder", [](QDialog* d) {
            auto* o = static_cast<TfrmMemOrder*>(d);
            o->orderBox()->setCurrentIndex(1);
            o->pairBox()->setCurrentIndex(1);
            o->switchingBoxes()[2]->setCurrentIndex(1);
            return int(QDialog::Rejected);
        });
        s.w->control<QPushButton>("btnSetOrd1")->click();
        QCOMPARE(s.w->state().memory.records[0].orderFlag, 0); // cancelled
        QCOMPARE(s.w->state().memoryOrder[2], 1); // but the choice for all memories stays
        s.t.script.expectDialog("frmMemOrder", [](QDialog* d) {
            auto* o = static_cast<TfrmMemOrder*>(d);
            o->orderBox()->setCurrentIndex(1);
            return int(QDialog::Accepted);
        });
        s.w->control<QPushButton>("btnSetOrd1")->click();
        QCOMPARE(s.w->state().memory.records[0].orderFlag, 1);
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    void resetDrive()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        const rules::MemoryTable& memory = s.w->state().memory;
        s.type("cmbRefDown2", "Exclude");
        s.leave();
        QCOMPARE(memory.records[6].valueSlot, 0); // a special pattern takes a slot
        QCOMPARE(memory.values[0][1], uint16_t(32769));
        s.type("cmbRefDown2", "Down");
        s.leave();
        QCOMPARE(memory.records[6].valueSlot, rules::kNoSlot); // the default pattern gives it back
        // All slots taken: the special pattern is refused and the boxes return to the default.
        for (int n = 0; n < 6; ++n)
            s.w->state().memory.records[std::size_t(n)].valueSlot = n;
        s.type("cmbRefUp3", "Down");
        s.t.script.expect(MessageKind::Information, "Not enough memory positions to store special reset function");
        s.leave();
        QStringList up;
        for (int i = 1; i <= 8; ++i)
            up << s.box(QString("cmbRefUp%1").arg(i))->currentText();
        QCOMPARE(up, (QStringList{"Up", "Up", "Up", "Up", "Exclude", "Exclude", "Exclude", "Exclude"}));
        // A word that is no position shows as what it is stored as.
        s.w->state().memory.records[5].valueSlot = rules::kNoSlot;
        s.type("cmbRefDown3", "abc");
        s.leave();
        QCOMPARE(s.box("cmbRefDown3")->currentText(), QString("Exclude"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // A reset drive position survives any number of exits of its drive's boxes, typed with a
    // fraction or shown rounded after a change of unit.
    void resetDrivePositionsSurviveExits()
    {
        Shown s({"WZQ"}, 1);
        QVERIFY(s.ready());
        const rules::MemoryTable& memory = s.w->state().memory;
        const auto passThrough = [&s] {
            for (int i = 0; i < 3; ++i) {
                s.box("cmbRefDown2")->setFocus(Qt::MouseFocusReason);
                s.leave();
            }
        };
        s.type("cmbRefDown1", "123.4");
        s.leave();
        QCOMPARE(s.box("cmbRefDown1")->currentText(), QString("123.4"));
        const int slot = memory.records[6].valueSlot;
        QVERIFY(slot >= 0 && slot < rules::kValueSlots);
        passThrough();
        QCOMPARE(memory.values[std::size_t(slot)][0], uint16_t(1234));
        QCOMPARE(s.box("cmbRefDown1")->currentText(), QString("123.4"));
        config::storeConfiguration(*s.w, s.w->state());
        uint16_t v = 0;
        lin_GetConfig(config::memoryPositionParameter(slot, 0).toLatin1().constData(), &v);
        QCOMPARE(v, uint16_t(1234));

        s.w->menuItem("mniinch")->trigger();
        QCOMPARE(s.box("cmbRefDown1")->currentText(), QString("4.86"));
        passThrough();
        QCOMPARE(memory.values[std::size_t(memory.records[6].valueSlot)][0], uint16_t(1234));
        s.type("cmbRefDown1", "3.937");
        s.leave();
        passThrough();
        QCOMPARE(memory.values[std::size_t(memory.records[6].valueSlot)][0], uint16_t(999));
        QCOMPARE(s.box("cmbRefDown1")->currentText(), QString("3.937"));
        // The shown text typed again is what the user means: 100 mm, not the 99.9 it showed.
        s.w->menuItem("mnimm")->trigger();
        QCOMPARE(s.box("cmbRefDown1")->currentText(), QString("100"));
        s.type("cmbRefDown1", "100");
        s.leave();
        QCOMPARE(memory.values[std::size_t(memory.records[6].valueSlot)][0], uint16_t(1000));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // A value the user has not edited passes through its box unchanged, though its text is rounded
    // (or, read from a box, even outside the limits); typed, it is checked.
    void untouchedValuesPassThrough()
    {
        Shown s({"COMBINED"});
        QVERIFY(s.ready());
        s.type("cmbSafeSpeedUp1", "0.5");
        s.t.script.expect(MessageKind::Information, kMin);
        s.leave();
        QCOMPARE(s.box("cmbSafeSpeedUp1")->currentText(), QString("1"));
        s.leave();
        s.w->menuItem("mniinch")->trigger();
        QCOMPARE(s.box("cmbSafeSpeedUp1")->currentText(), QString("0.039"));
        s.box("cmbSafeSpeedUp1")->setFocus(Qt::MouseFocusReason);
        s.leave();
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        config::storeConfiguration(*s.w, s.w->state());
        uint16_t v = 0;
        lin_GetConfig("ref1_safety_speed_up", &v);
        QCOMPARE(v, uint16_t(164));
        // The same text typed is judged as typed: 0.039 inch/s stores 162, below the minimum.
        s.type("cmbSafeSpeedUp1", "0.039");
        s.t.script.expect(MessageKind::Information, kMin);
        s.leave();
        QCOMPARE(s.box("cmbSafeSpeedUp1")->currentText(), QString("0.04"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // RQ9 positions in degrees: a change of the memory units does not change them on the next
    // exit, and an angle beyond the range is its end (200 degrees would fold back to 54).
    void rq9PositionsInDegrees()
    {
        Shown s({"RQ9"}, 2);
        QVERIFY(s.ready());
        const rules::MemoryTable& memory = s.w->state().memory;
        s.w->menuItem("MenuMemUnitsDegrees")->trigger();
        s.type("cmbRefDown1", "30");
        s.leave();
        const int slot = memory.records[6].valueSlot;
        QVERIFY(slot >= 0 && slot < rules::kValueSlots);
        const uint16_t thirty = memory.values[std::size_t(slot)][0];
        QCOMPARE(thirty, uint16_t(config::roundHalfUp(config::angleToStroke(30))));
        s.w->menuItem("MenuMemUnitsNormal")->trigger();
        s.box("cmbRefDown2")->setFocus(Qt::MouseFocusReason);
        s.leave();
        QCOMPARE(memory.values[std::size_t(slot)][0], thirty);

        s.w->menuItem("MenuMemUnitsDegrees")->trigger();
        s.type("cmbRefDown3", "200");
        s.leave();
        QCOMPARE(s.box("cmbRefDown3")->currentText(), QString("90"));
        QCOMPARE(memory.values[std::size_t(slot)][2], uint16_t(1023));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
    }

    // An angle beyond the range the boxes take is its end, in the box and in what is stored.
    void rq9AngleBeyondTheRange()
    {
        Shown s({"RQ9"}, 2);
        QVERIFY(s.ready());
        testutil::writeFile(s.t.program.filePath("limits.ini"), "[cmbRq9BMax]\r\nMin=15\r\nMax=2000\r\n");
        s.type("cmbRq9BMax", "200");
        s.leave();
        QCOMPARE(s.box("cmbRq9BMax")->currentText(), QString("90"));
        QVERIFY2(s.t.script.problems().isEmpty(), qPrintable(s.problems()));
        config::storeConfiguration(*s.w, s.w->state());
        uint16_t v = 0;
        lin_GetConfig("ref1_stroke_max", &v);
        QCOMPARE(v, uint16_t(1023)); // 90 degrees
    }

    // The memory dialogs' Enter and Escape, and a typed position that stays a value, not an item.
    void memoryDialogKeys()
    {
        TfrmMemory dialog;
        // Each opening starts in the first box with its text selected; a word is not completed
        // from the list ("u" is not "Up").
        for (const QString& typed : {QString("42"), QString("u")}) {
            dialog.open();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QComboBox* first = dialog.positionBox(0);
            QTRY_VERIFY(first->hasFocus() && first->lineEdit()->hasSelectedText());
            QTest::keyClicks(QApplication::focusWidget(), typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(first->currentText(), typed);
            QCOMPARE(first->count(), 3);
            dialog.positionBox(3)->setFocus(); // the next opening starts at the first box all the same
        }
        TfrmMemOrder order;
        order.open();
        QVERIFY(QTest::qWaitForWindowExposed(&order));
        QTest::keyClick(&order, Qt::Key_Escape);
        QCOMPARE(order.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
