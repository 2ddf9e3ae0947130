#include "app/application.h"
#include "app/frmmain.h"
#include "app/windows.h"
#include "device/pollthread.h"
#include "platform/inifile.h"
#include "platform/version.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <QWindow>

#include <stdexcept>

#include "windowtest.h"

using testutil::WindowTest;

namespace {

QStringList visibleTabs(app::TfrmMain& w)
{
    QStringList names;
    for (int i = 0; i < w.pgcMain()->count(); ++i)
        if (w.pgcMain()->isTabVisible(i))
            names << w.pgcMain()->widget(i)->objectName();
    return names;
}

bool hidden(app::TfrmMain& w, const char* name)
{
    QWidget* control = w.findChild<QWidget*>(QString::fromLatin1(name));
    if (!control)
        qFatal("no control %s", name);
    return control->isHidden();
}

QStringList items(QComboBox* box)
{
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all << box->itemText(i);
    return all;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void captions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("advancedIni");
        QTest::addColumn<QString>("product");
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<int>("mode");
        QTest::newRow("no argument") << QStringList() << QByteArray() << "KVR5E" << false << 0;
        QTest::newRow("Adv.ini advanced") << QStringList() << QByteArray("[CONFIG]\r\nAdvancedMode=1\r\n") << "KVR5E Advanced" << true << 0;
        QTest::newRow("garbage Adv.ini") << QStringList() << QByteArray("\x01\x02[CONFIG\nAdvancedMode=yes") << "KVR5E" << false << 0;
        QTest::newRow("COMBINED") << QStringList{"COMBINED"} << QByteArray() << "Control Box" << true << 0;
        QTest::newRow("belmora") << QStringList{"belmora"} << QByteArray() << "WZQ" << true << 1;
        QTest::newRow("RQ9 over Adv.ini 0") << QStringList{"RQ9"} << QByteArray("[CONFIG]\nAdvancedMode=0\n") << "RQ9" << true << 2;
        QTest::newRow("MZ40STD") << QStringList{"mz40std"} << QByteArray() << "MZ40 Standard" << true << 3;
        QTest::newRow("MZ40ADV") << QStringList{"MZ40ADV"} << QByteArray() << "MZ40 Advanced" << true << 4;
        QTest::newRow("unknown argument") << QStringList{"KVR6"} << QByteArray() << "KVR5E" << false << 0;
        QTest::newRow("empty argument") << QStringList{""} << QByteArray() << "KVR5E" << false << 0;
    }

    void captions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, advancedIni);
        QFETCH(QString, product);
        QFETCH(bool, advanced);
        QFETCH(int, mode);
        WindowTest t(advancedIni);
        auto w = t.start(arguments);
        QCOMPARE(w->windowTitle(), product + QStringLiteral(" Configurator ") + platform::versionText());
        QCOMPARE(w->state().advanced, advanced);
        QCOMPARE(w->checkedMode(), mode);
        QCOMPARE(w->state().configurationType, QString(mode >= 3 ? "MZ40" : "KVR5E"));
        // The start-up's own mode switch writes Hardware, whatever honours it.
        QCOMPARE(platform::readIniText("CONFIG", "Hardware", "<none>", t.settingsFile()), QString::number(mode));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void combinedStartsInTheRememberedMode_data()
    {
        QTest::addColumn<QByteArray>("hardware");
        QTest::addColumn<int>("mode");
        QTest::newRow("3") << QByteArray("3") << 3;
        QTest::newRow("7") << QByteArray("7") << 0;
        QTest::newRow("-1") << QByteArray("-1") << 0;
        QTest::newRow("abc") << QByteArray("abc") << 0;
    }

    void combinedStartsInTheRememberedMode()
    {
        QFETCH(QByteArray, hardware);
        QFETCH(int, mode);
        WindowTest t;
        t.writeSetting("Hardware", hardware);
        auto w = t.start({"COMBINED"});
        QCOMPARE(w->checkedMode(), mode);
        QVERIFY(w->findChild<QMenu*>("mniMode")->menuAction()->isVisible());
        // Any other start fixes the mode: no Mode menu.
        WindowTest t2;
        t2.writeSetting("Hardware", "3");
        auto w2 = t2.start({"RQ9"});
        QCOMPARE(w2->checkedMode(), 2);
        QVERIFY(!w2->findChild<QMenu*>("mniMode")->menuAction()->isVisible());
    }

    void tabsAndControlsOfEachMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QStringList>("shownControls");
        QTest::addColumn<QStringList>("hiddenControls");
        QTest::newRow("TAVRIN")
            << 0
            << QStringList{"tsRefs", "tsRefCfgs", "tsSafetyStop2", "tsSafetyStop1", "tsSLS", "tsAux", "tsProgrammer", "tsVarious", "tsParameters"}
            << QStringList{"lblActivations", "lblSitStands", "gbRefSelection", "rbPnP", "gbActuatorType", "gbLowerAkLimit", "gbRefSpeed",
                           "gbAuxOutputs", "gbImpulseDrive", "gbInitLock", "gbPlugUsage", "gbSLS", "lSLS_up", "cmbAct3", "cmbAct4"}
            << QStringList{"ButtonCompareDevs", "cbxExternUBL", "gbMassageModes", "gbPowerSettings", "gbResetDrive", "pnlMZ40StdOnly", "pnlMZ40AdvOnly"};
        QTest::newRow("BELMORA")
            << 1 << QStringList{"tsRefs", "tsRefCfgs", "tsAux", "tsProgrammer", "tsVarious", "tsMemory", "tsReset"}
            << QStringList{"lblActivations", "lblSitStands", "ButtonCompareDevs", "gbActuatorType", "gbAuxOutputs", "cbxExternUBL",
                           "gbMassageModes", "gbMassageIntens", "gbMassageTimers", "gbPowerSettings", "gbResetDrive", "cmbAct3"}
            << QStringList{"gbRefSelection", "rbPnP", "gbImpulseDrive", "gbInitLock", "gbPlugUsage", "gbSLS", "lSLS_up", "cmbAct4"};
        QTest::newRow("RQ9")
            << 2 << QStringList{"tsRQ9", "tsProgrammer", "tsMemory", "tsReset"}
            << QStringList{"ButtonCompareDevs", "gbRefSelection", "rbPnP", "gbLowerAkLimit", "gbSLS", "lSLS_down", "gbResetDrive", "cmbAct3", "cmbAct4"}
            << QStringList{"lblActivations", "lblSitStands", "gbActuatorType", "gbAuxOutputs", "gbMassageModes"};
        QTest::newRow("MZ40 Standard")
            << 3 << QStringList{"tsRefs", "tsMZ40", "tsProgrammer"}
            << QStringList{"lblActivations", "rbPnP", "pnlMZ40StdOnly"}
            << QStringList{"lblSitStands", "ButtonCompareDevs", "gbRefSelection", "gbActuatorType", "gbLowerAkLimit", "gbRefSpeed",
                           "gbResetDrive", "pnlMZ40AdvOnly", "cmbAct3", "cmbAct4", "lblRefRef3", "cmbStroke4"};
        QTest::newRow("MZ40 Advanced")
            << 4 << QStringList{"tsRefs", "tsRefCfgs", "tsMZ40", "tsAux", "tsProgrammer", "tsMemory", "tsReset", "tsMZ40AdvVar"}
            << QStringList{"lblActivations", "gbLowerAkLimit", "gbRefSpeed", "gbMassageModes", "gbResetDrive", "pnlMZ40AdvOnly"}
            << QStringList{"lblSitStands", "gbAuxOutputs", "gbPowerSettings", "pnlMZ40StdOnly", "cmbAct3", "cmbSpeed4"};
    }

    void tabsAndControlsOfEachMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, shownControls);
        QFETCH(QStringList, hiddenControls);
        WindowTest t;
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto w = t.start({"COMBINED"});
        QCOMPARE(visibleTabs(*w), tabs);
        for (const QString& name : shownControls)
            QVERIFY2(!hidden(*w, qPrintable(name)), qPrintable(name));
        for (const QString& name : hiddenControls)
            QVERIFY2(hidden(*w, qPrintable(name)), qPrintable(name));
        // Aux 2 to 4 of the memories and the reset drive are out of mode 4's reach.
        QCOMPARE(w->findChild<QWidget*>("cbxMem3Aux4")->isEnabled(), mode != 4);
        QCOMPARE(w->findChild<QWidget*>("cbxResDrvUpAux2")->isEnabled(), mode != 4);
        QCOMPARE(w->findChild<QWidget*>("cbxResDrvUpAux1")->isEnabled(), true);
        // The initialization lock and the SLS return rows of references 3 and 4 follow their own rules.
        QVERIFY(!hidden(*w, "cmbInitPlug4"));
        QCOMPARE(w->findChild<QMenu*>("MenuMemoryUnits")->menuAction()->isVisible(), mode == 2);
    }

    void standardView()
    {
        WindowTest t;
        auto w = t.start();
        QCOMPARE(visibleTabs(*w), QStringList{"tsSettings"});
        QVERIFY(!w->findChild<QMenu*>("mniSelectConflict")->menuAction()->isVisible());
        QVERIFY(!w->menuItem("mniMultiparallel")->isVisible());
        w->formActivate();
        QCOMPARE(w->pgcMain()->currentWidget()->objectName(), QString("tsSettings"));

        WindowTest advanced("[CONFIG]\nAdvancedMode=1\n");
        auto a = advanced.start();
        QVERIFY(!visibleTabs(*a).contains("tsSettings"));
        QVERIFY(a->findChild<QMenu*>("mniSelectConflict")->menuAction()->isVisible());
        QVERIFY(a->menuItem("mniMultiparallel")->isVisible());
    }

    // However the user steps through the tabs, a hidden one never becomes the active page.
    void hiddenTabsAreOutOfReach_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("from");
        // l r: arrows on the tab bar; t T: Ctrl+Tab, Ctrl+Shift+Tab on the page; c: Ctrl+Tab, p P:
        // Ctrl+PageDown, Ctrl+PageUp in the page's first value box; w: wheel down on the tab bar
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("to");
        QTest::newRow("standard, Left") << QStringList() << 0 << "tsSettings" << "l" << "tsSettings";
        QTest::newRow("standard, Right") << QStringList() << 0 << "tsSettings" << "r" << "tsSettings";
        QTest::newRow("standard, Ctrl+Tab") << QStringList() << 0 << "tsSettings" << "t" << "tsSettings";
        QTest::newRow("standard, Ctrl+Shift+Tab") << QStringList() << 0 << "tsSettings" << "T" << "tsSettings";
        QTest::newRow("standard, wheel") << QStringList() << 0 << "tsSettings" << "w" << "tsSettings";
        QTest::newRow("desk, Right from Custom") << QStringList{"COMBINED"} << 0 << "tsParameters" << "r" << "tsParameters";
        QTest::newRow("desk, Ctrl+Tab from Custom") << QStringList{"COMBINED"} << 0 << "tsParameters" << "t" << "tsRefs";
        QTest::newRow("desk, Ctrl+Shift+Tab from References") << QStringList{"COMBINED"} << 0 << "tsRefs" << "T" << "tsParameters";
        QTest::newRow("desk, Left twice from Stop Min") << QStringList{"COMBINED"} << 0 << "tsSafetyStop2" << "ll" << "tsRefs";
        QTest::newRow("MZ40 Standard, Right from References") << QStringList{"COMBINED"} << 3 << "tsRefs" << "r" << "tsMZ40";
        QTest::newRow("RQ9, Left from RQ9") << QStringList{"COMBINED"} << 2 << "tsRQ9" << "l" << "tsRQ9";
        QTest::newRow("desk, Ctrl+Tab in a box") << QStringList{"COMBINED"} << 0 << "tsRefCfgs" << "c" << "tsSafetyStop2";
        QTest::newRow("desk, Ctrl+PageUp in a box") << QStringList{"COMBINED"} << 0 << "tsSafetyStop2" << "P" << "tsRefCfgs";
        QTest::newRow("desk, Ctrl+PageDown in a box of Custom") << QStringList{"COMBINED"} << 0 << "tsParameters" << "p" << "tsRefs";
        QTest::newRow("standard, Ctrl+Tab in a box") << QStringList() << 0 << "tsSettings" << "c" << "tsSettings";
    }

    void hiddenTabsAreOutOfReach()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QFETCH(QString, from);
        QFETCH(QString, keys);
        QFETCH(QString, to);
        WindowTest t;
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto w = t.start(arguments);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTabWidget* tabs = w->pgcMain();
        tabs->setCurrentWidget(w->tab(from));
        QCOMPARE(tabs->currentWidget()->objectName(), from);
        // Ctrl+Tab reaches the tab widget from the page it is pressed on.
        QWidget* keyTarget = tabs->currentWidget();
        QWidget* box = tabs->currentWidget()->findChild<QComboBox*>();
        for (QChar key : keys) {
            if (key == u'c' || key == u'p' || key == u'P') {
                QVERIFY(box);
                box->setFocus();
                QTest::keyClick(box, key == u'c' ? Qt::Key_Tab : (key == u'p' ? Qt::Key_PageDown : Qt::Key_PageUp),
                                Qt::ControlModifier);
            } else if (key == u'l' || key == u'r') {
                QTest::keyClick(tabs->tabBar(), key == u'l' ? Qt::Key_Left : Qt::Key_Right);
            } else if (key == u't' || key == u'T') {
                QTest::keyClick(keyTarget, key == u't' ? Qt::Key_Tab : Qt::Key_Backtab,
                                key == u't' ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            } else {
                const QPointF at = tabs->tabBar()->rect().center();
                QWheelEvent wheel(at, tabs->tabBar()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(tabs->tabBar(), &wheel);
            }
        }
        QCOMPARE(tabs->currentWidget()->objectName(), to);
        QVERIFY(w->tabShown(tabs->currentWidget()));

        // Nor does a page set from code: the active page stays a shown one.
        tabs->setCurrentWidget(w->tab("tsMZ40AdvVar"));
        QVERIFY(w->tabShown(tabs->currentWidget()));
        // Hiding a tab leaves its page's own controls as they were.
        QVERIFY(w->findChild<QWidget*>("cmbStroke1")->isEnabled());
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    // The window can grow but never shrink below its first size, in every mode and view.
    void windowHoldsItsMinimumSize_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::newRow("standard") << QStringList() << 0;
        for (int mode = 0; mode <= 4; ++mode)
            QTest::newRow(qPrintable(QString("mode %1").arg(mode))) << QStringList{"COMBINED"} << mode;
    }

    void windowHoldsItsMinimumSize()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        WindowTest t("[CONFIG]\nAdvancedMode=0\n");
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto w = t.start(arguments);
        const QSize designed = w->size();
        QCOMPARE(w->minimumSize(), designed);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCoreApplication::processEvents();
        QCOMPARE(w->minimumSize(), designed);
        QCOMPARE(w->windowHandle()->minimumSize(), designed); // what the window manager is told
        w->resize(designed.width() - 200, designed.height() - 300);
        QCOMPARE(w->size(), designed);
        if (w->menuItem("mniMultiparallel")->isVisible()) {
            w->menuItem("mniMultiparallel")->trigger();
            QCoreApplication::processEvents();
            QCOMPARE(w->minimumHeight(), designed.height());
            QVERIFY(w->minimumWidth() > designed.width());
        }
    }

    // "Done" stays in the status bar while the pointer passes over the menus.
    void statusTextOutlivesMenuHover()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->setStatusText("Done");
        auto* file = w->findChild<QMenu*>("mnuFile");
        QVERIFY(file);
        file->popup(w->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        for (QAction* item : file->actions())
            if (!item->isSeparator())
                QTest::mouseMove(file, file->actionGeometry(item).center());
        QTest::mouseMove(w.get(), QPoint(400, 300));
        file->close();
        QCOMPARE(w->statusBar()->currentMessage(), QString("Done"));
    }

    void modeSwitchEdgeCases()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        auto* chan1 = w->findChild<QComboBox*>("cmbChan1");
        QCOMPARE(chan1->count(), 14);
        QCOMPARE(items(chan1).mid(0, 2), (QStringList{"Reference 1", "Reference 2"}));
        chan1->setCurrentIndex(10); // Aux 3

        w->menuItem("mniMZ40STD")->trigger();
        QCOMPARE(w->checkedMode(), 3);
        QCOMPARE(w->state().configurationType, QString("MZ40"));
        QVERIFY(hidden(*w, "cmbAct3") && hidden(*w, "cmbAct4") && hidden(*w, "lblRefCh4"));
        QCOMPARE(visibleTabs(*w), (QStringList{"tsRefs", "tsMZ40", "tsProgrammer"}));
        QCOMPARE(chan1->count(), 8);
        QCOMPARE(chan1->itemText(0), QString("Backrest"));
        QCOMPARE(chan1->currentIndex(), 0); // an AUX channel falls back to the first reference
        QCOMPARE(w->findChild<QLabel*>("lblRef8")->text(), QString("Extra 4"));
        QCOMPARE(platform::readIniText("CONFIG", "Hardware", "", t.settingsFile()), QString("3"));

        w->menuItem("mniWZQ")->trigger();
        const QTabWidget* tabs = w->pgcMain();
        QCOMPARE(tabs->tabText(tabs->indexOf(w->tab("tsSLS"))), QString("EOP"));
        QCOMPARE(tabs->tabText(tabs->indexOf(w->tab("tsAux"))), QString("AUX/Massage"));
        QVERIFY(w->findChild<QRadioButton*>("rbCustom")->isChecked());
        QCOMPARE(w->state().limitsFilePath, w->state().dataDirectory + "limitsWZQ.ini");

        w->menuItem("mniKVR5E")->trigger();
        QCOMPARE(tabs->tabText(tabs->indexOf(w->tab("tsSLS"))), QString("SLS_EOP"));
        QCOMPARE(tabs->tabText(tabs->indexOf(w->tab("tsAux"))), QString("AUX"));
        QVERIFY(w->findChild<QRadioButton*>("rbPnP")->isChecked());
        QCOMPARE(w->state().limitsFilePath, w->state().dataDirectory + "limits.ini");
        w->pgcMain()->setCurrentWidget(w->tab("tsSafetyStop1"));
        w->menuItem("mniRQ9")->trigger();
        QCOMPARE(w->pgcMain()->currentWidget()->objectName(), QString("tsRQ9"));
        w->menuItem("mniKVR5E")->trigger();
        QCOMPARE(w->pgcMain()->currentWidget()->objectName(), QString("tsRefs"));
        QVERIFY(t.script.problems().isEmpty());
    }

    void groupsReflow()
    {
        WindowTest t;
        t.writeSetting("Hardware", "1");
        auto w = t.start({"COMBINED"});
        // BELMORA: no reference selection, so the custom selection moves to the top.
        auto* custom = w->findChild<QWidget*>("gbCustomSelection");
        auto* actuators = w->findChild<QWidget*>("gbActuatorType");
        QCOMPARE(custom->y(), 8);
        QCOMPARE(actuators->y(), 8 + custom->height() + 8);
        // Various: forced init, power settings, (no init lock), zero power.
        auto* forced = w->findChild<QWidget*>("gbForcedInit");
        auto* power = w->findChild<QWidget*>("gbPowerSettings");
        auto* zero = w->findChild<QWidget*>("gbZeroPower");
        QCOMPARE(forced->y(), 8);
        QCOMPARE(power->y(), 16 + forced->height());
        QCOMPARE(zero->y(), power->y() + power->height() + 8);
        // Aux: the outputs end below the extern light box; the massage groups follow.
        auto* outputs = w->findChild<QWidget*>("gbAuxOutputs");
        auto* ubl = w->findChild<QWidget*>("cbxExternUBL");
        QCOMPARE(outputs->height(), ubl->y() + ubl->height() + 8);
        QCOMPARE(w->findChild<QWidget*>("gbMassageModes")->y(), 16 + outputs->height());
        // Reset: the other groups stand right of the reset drive.
        auto* drive = w->findChild<QWidget*>("gbResetDrive");
        QCOMPARE(w->findChild<QWidget*>("gbResetOrder")->x(), drive->x() + drive->width() + 8);
        // Without SLS the EOP return rows move up.
        QCOMPARE(w->findChild<QWidget*>("lEOP_up")->y(), 22);
        QCOMPARE(w->findChild<QWidget*>("gbReturnDrive")->height(), 80);
        QCOMPARE(w->findChild<QWidget*>("cmbEopRetDw2")->y(), 45);
        QVERIFY(hidden(*w, "cmbSlsRetUp1"));

        w->menuItem("mniKVR5E")->trigger();
        QCOMPARE(w->findChild<QWidget*>("lEOP_up")->y(), 76);
        QCOMPARE(w->findChild<QWidget*>("lEOP_down")->y(), 103);
        QCOMPARE(w->findChild<QWidget*>("gbReturnDrive")->height(), 130);
        QCOMPARE(w->findChild<QWidget*>("cmbEopRetUp3")->y(), 72);
        QVERIFY(!hidden(*w, "cmbSlsRetDw4"));
        auto* selection = w->findChild<QWidget*>("gbRefSelection");
        QCOMPARE(selection->y(), 8);
        QVERIFY(custom->y() == 16 + selection->height() || custom->isHidden());
    }

    void modeCheck()
    {
        WindowTest t;
        t.writeSetting("WarnOnChange", "1");
        auto w = t.start({"COMBINED"});
        w->state().connectedBoxMode = 0;
        QVERIFY(w->modeCheck());

        const QString question = "Configurator needs to change mode to continue.\n\nAre you sure you want to change to RQ9";
        w->state().connectedBoxMode = 2;
        t.script.expect(ui::MessageKind::Question, question, false);
        QVERIFY(!w->modeCheck());
        QCOMPARE(w->checkedMode(), 0);
        t.script.expect(ui::MessageKind::Question, question, true);
        QVERIFY(w->modeCheck());
        QCOMPARE(w->checkedMode(), 2);

        // Warn on change off: the switch happens silently, and the choice is stored.
        w->menuItem("mniWarn")->trigger();
        QCOMPARE(platform::readIniText("CONFIG", "WarnOnChange", "", t.settingsFile()), QString("0"));
        w->state().connectedBoxMode = 4;
        QVERIFY(w->modeCheck());
        QCOMPARE(w->checkedMode(), 4);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));

        // The choice holds at the next start.
        WindowTest quiet;
        quiet.writeSetting("WarnOnChange", "0");
        auto q = quiet.start({"COMBINED"});
        QVERIFY(!q->menuItem("mniWarn")->isChecked());
        q->state().connectedBoxMode = 1;
        QVERIFY(q->modeCheck());
        QCOMPARE(q->checkedMode(), 1);
        QVERIFY(quiet.script.problems().isEmpty());

        // A fixed mode refuses the box.
        WindowTest fixed;
        auto f = fixed.start({"WZQ"});
        f->state().connectedBoxMode = 3;
        fixed.script.expect(ui::MessageKind::Information,
                            "Configurator cannot be used by connected hardware.\n\nPlease use MZ40STD configurator instead.");
        QVERIFY(!f->modeCheck());
        QCOMPARE(f->checkedMode(), 1);
        QVERIFY2(fixed.script.problems().isEmpty(), qPrintable(fixed.script.problems().join('\n')));
    }

    void restartKeepsEveryArgumentWhole()
    {
        WindowTest t;
        const QStringList arguments{"RQ9", "LOADSAVE", "/tmp/my configs/a.cfg"};
        auto w = t.start(arguments);
        w->show();
        const QString question = "This will restart the program. All settings will be lost !\n\nContinue?";
        t.script.expect(ui::MessageKind::WarningQuestion, question, false);
        w->menuFileRestartClick();
        QVERIFY(t.startedProgram.isEmpty());
        QVERIFY(w->isVisible());

        t.script.expect(ui::MessageKind::WarningQuestion, question, true);
        w->menuFileRestartClick();
        QCOMPARE(t.startedProgram, QCoreApplication::applicationFilePath());
        QCOMPARE(t.startedArguments, arguments);
        QVERIFY(!w->isVisible());
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void firstActivationRunsOnce()
    {
        WindowTest t("[CONFIG]\nAdvancedMode=1\n");
        auto w = t.start({"mz40adv", "x"});
        QVERIFY(w->firstActivationPending());
        w->formActivate();
        QCOMPARE(w->pgcMain()->currentWidget()->objectName(), QString("tsMZ40"));
        QCOMPARE(w->commandLineText(), QString("mz40adv x"));
        QCOMPARE(w->poll().state().load(), int(device::PollIdle)); // no adapter chosen
        w->pgcMain()->setCurrentWidget(w->tab("tsRefs"));
        w->formActivate();
        QCOMPARE(w->pgcMain()->currentWidget()->objectName(), QString("tsRefs"));
    }

    void libraryOutOfDateEndsTheProgram()
    {
        WindowTest t;
        moxtasim::injectStatus("lin_OpenConfig", -29);
        t.script.expect(ui::MessageKind::Information, "MoxtaUsbDll is out of date\n\nProgram terminating");
        auto w = t.start();
        QVERIFY(w->terminateRequested());
        QCOMPARE(t.quitRequests, 1);
        QVERIFY(!w->firstActivationPending());
        QVERIFY(!w->poll().running());
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void shutdownInOrder()
    {
        WindowTest t;
        auto w = t.start();
        QVERIFY(w->poll().running());
        const auto ended = w->poll().endedProbe();
        QVERIFY(!ended());
        moxtasim::clearCallLog();
        w.reset();
        QVERIFY(ended());
        QStringList calls;
        for (const auto& call : moxtasim::callLog())
            calls << QString::fromStdString(call.function + "(" + call.arguments + ")");
        QCOMPARE(calls, (QStringList{"lin_CloseConfig()", "zbx_SetUsageOfControlLink(0)", "zbx_CloseDevice()"}));
    }

    void pollThreadStopsOnTheStopState()
    {
        device::PollThread poll;
        QVERIFY(poll.start());
        QVERIFY(poll.running());
        QVERIFY(!poll.waitForEnd(std::chrono::milliseconds(150)));
        // The GUI holds the mutex for a while: the thread keeps skipping cycles, then stops.
        QVERIFY(poll.mutex().try_lock_for(std::chrono::milliseconds(1000)));
        QVERIFY(!poll.mutex().try_lock_for(std::chrono::milliseconds(10))); // not twice by one thread
        poll.state() = device::PollStop;
        poll.mutex().unlock();
        QVERIFY(poll.waitForEnd(std::chrono::milliseconds(1000)));
        QVERIFY(!poll.running());
    }

    // A stop does not wait out the thread's 100 ms pause, nor its wait for a mutex the GUI holds.
    void pollThreadStopsAtOnce()
    {
        using namespace std::chrono_literals;
        {
            device::PollThread poll;
            QVERIFY(poll.start());
            poll.state() = device::PollStop; // the thread is in its first pause
            QVERIFY(poll.waitForEnd(40ms));
        }
        {
            device::PollThread poll;
            QVERIFY(poll.start());
            QVERIFY(poll.mutex().try_lock_for(1000ms));
            QVERIFY(!poll.waitForEnd(150ms)); // pausing, or waiting for the mutex
            poll.state() = device::PollStop;
            QVERIFY(poll.waitForEnd(40ms)); // the mutex is still held
            poll.mutex().unlock();
        }
    }

    // The one lookup of the window: a missing control is named, and the lookup is never stale.
    void controlLookup()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        t.script.expect(ui::MessageKind::Information, "cmbLate3 not found!");
        QCOMPARE(ui::lookupControl(*w, "cmbLate#", 2), nullptr);
        // A control made after a lookup is found by the next one; one that is gone is not.
        auto* box = new QComboBox(w->tab("tsRefs"));
        box->setObjectName("cmbLate3");
        QCOMPARE(ui::lookupControl(*w, "cmbLate#", 2), box);
        box->setObjectName("cmbRenamed");
        QCOMPARE(w->control("cmbLate3"), nullptr);
        QCOMPARE(w->control("cmbRenamed"), box);
        delete box;
        QCOMPARE(w->control("cmbRenamed"), nullptr);
        QCOMPARE(w->controls("cmbAct#", 4), (QList<QWidget*>{w->control("cmbAct1"), w->control("cmbAct2"),
                                                              w->control("cmbAct3"), w->control("cmbAct4")}));
        QCOMPARE(ui::resolvePattern("cbxMem#Aux#", 4), QString("cbxMem5Aux5"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void controlArraysAreComplete()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        for (int r = 0; r < ui::kReferenceRecords; ++r)
            for (int m = 0; m < ui::RefMemberCount; ++m)
                QVERIFY2(w->arrays().refs[r][m], ui::kReferencePatterns[m]);
        QCOMPARE(w->arrays().ref<QComboBox>(2, ui::cmbStroke)->objectName(), QString("cmbStroke3"));
        for (int a = 0; a < ui::kAuxRecords; ++a)
            for (int m = 0; m < ui::AuxMemberCount; ++m)
                QVERIFY2(w->arrays().aux[a][m], ui::kAuxPatterns[m]);
        for (int s = 0; s < 6; ++s)
            for (int m = 0; m < ui::MemMemberCount; ++m)
                QVERIFY(w->arrays().mem[s][m]);
        QCOMPARE(w->arrays().mem[6][ui::memAux2]->objectName(), QString("cbxResDrvDownAux2"));
        QCOMPARE(w->arrays().mem[7][ui::memMas]->objectName(), QString("cbxResDrvUpMas"));
        QVERIFY(!w->arrays().mem[7][ui::memPos] && !w->arrays().mem[6][ui::memLock]);
        QVERIFY(t.script.problems().isEmpty()); // no " not found!"
    }

    void multiparallelGroupWidensTheWindow()
    {
        WindowTest t("[CONFIG]\nAdvancedMode=1\n");
        auto w = t.start();
        auto* group = w->findChild<QGroupBox*>("gbMultiparallelInfo");
        QVERIFY(group->isHidden());
        const int narrow = w->minimumWidth();
        w->menuItem("mniMultiparallel")->trigger();
        QVERIFY(!group->isHidden());
        QCOMPARE(w->minimumWidth(), narrow + group->width() + 12);
        QCOMPARE(w->width(), w->minimumWidth());
        w->menuItem("mniMultiparallel")->trigger();
        QCOMPARE(w->minimumWidth(), narrow);
    }

    // An exception while the program's windows are built is shown, and the program ends with 1.
    void startUpFailureIsShown()
    {
        ui::ScriptedDialogs script;
        script.expect(ui::MessageKind::Error, "Settings folder vanished");
        QCOMPARE(app::runProgram([]() -> std::unique_ptr<app::Application> {
                     throw std::runtime_error("Settings folder vanished");
                 }),
                 1);
        script.expect(ui::MessageKind::Error, "Unknown error");
        QCOMPARE(app::runProgram([]() -> std::unique_ptr<app::Application> { throw 42; }), 1);
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
    }

    void applicationCreatesTheWindowsInOrder()
    {
        WindowTest t;
        app::StartOptions options;
        options.programDirectory = t.program.path();
        app::Application program(options);
        const app::Windows& w = app::windows();
        QVERIFY(w.frmMain && w.frmSelectDevice && w.frmColorTime && w.frmMemory && w.frmMemOrder && w.DM && w.fCompare
                && w.fCompareDetails);
        QCOMPARE(w.frmMain, &program.mainWindow());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
