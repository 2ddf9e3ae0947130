#include "app/application.h"
#include "config/access.h"
#include "config/channels.h"
#include "config/transfers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QRadioButton>

#include <moxtausbdll.h>

#include "pagesview.h"
#include "windowtest.h"

using testutil::WindowTest;

namespace {

using Values = QList<QPair<QString, int>>;

} // namespace

Q_DECLARE_METATYPE(Values)

namespace {

// What the user can see and change on the shown tabs: texts, selections and check marks.
QMap<QString, QString> snapshot(const app::TfrmMain& w)
{
    QMap<QString, QString> state;
    for (int i = 0; i < w.pgcMain()->count(); ++i) {
        QWidget* page = w.pgcMain()->widget(i);
        if (!w.pgcMain()->isTabVisible(i))
            continue;
        auto usable = [page](QWidget* c) { return c->isVisibleTo(page) && c->isEnabledTo(page); };
        for (QComboBox* box : page->findChildren<QComboBox*>())
            if (usable(box))
                state.insert(box->objectName(), box->currentText());
        for (QCheckBox* box : page->findChildren<QCheckBox*>())
            if (usable(box))
                state.insert(box->objectName(), QString::number(box->isChecked()));
        for (QRadioButton* button : page->findChildren<QRadioButton*>())
            if (usable(button))
                state.insert(button->objectName(), QString::number(button->isChecked()));
    }
    return state;
}

// As Read, Load and Reset show a configuration: the transfer, then the reference selection.
void show(app::TfrmMain& w)
{
    config::showConfiguration(w, w.state());
    config::referenceSelectClick(w, w.state());
}

int value(const QString& name)
{
    uint16_t v = 0;
    if (lin_GetConfig(name.toLatin1().constData(), &v) != 0)
        return -1;
    return v;
}

void set(const Values& values)
{
    for (const auto& [name, v] : values)
        QVERIFY2(lin_SetConfig(name.toLatin1().constData(), uint16_t(v)) == 0, qPrintable(name));
}

// The pages alone with a session of the layout open: what a test of the transfers needs.
struct PageTest
{
    explicit PageTest(const char* type)
    {
        moxtasim::reset();
        moxtasim::loadBench(testutil::kQuietBench);
        lin_OpenConfig(type, 0, 0);
        view.state.advanced = true;
        view.state.configurationType = QString::fromLatin1(type);
    }

    ui::ScriptedDialogs script;
    testutil::PagesView view;
};

} // namespace

class TestTransfers : public QObject
{
    Q_OBJECT

private slots:
    void roundTripOfEveryMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("inch");
        QTest::addColumn<Values>("values");
        const Values desk{{"channel1", 0}, {"channel2", 1}, {"channel3", 2}, {"channel4", 3},
                          {"ref1_reference", 0}, {"ref2_reference", 1}, {"ref3_reference", 2}, {"ref4_reference", 3},
                          {"ref1_stroke_max", 5080}, {"ref2_stroke_min", 1270}, {"ref2_speed_up", 6554}, {"ref4_speed_dw", 4162},
                          {"ref1_ac_limit_up", 10}, {"ref3_ac_disabled", 1}, {"ref2_ac_plug", 1}, {"ref1_sls_up", 0},
                          {"ref2_sls_accelerate", 0}, {"ref3_return_sls_dw", 150}, {"ref4_return_eop_up", 2540},
                          {"ref3_safety_stroke_max", 3000}, {"ref1_safety_stop_max_up", 1}, {"ref2_safety_lock_min", 1},
                          {"ref4_safety_speed_dw", 4162}, {"ref1_auto_init_plug", 0}, {"ref1_use_init_plug", 0},
                          {"ref2_no_impulse_key", 0}, {"ref2_impulse_key_dw", 1}, {"dcout1_timeout", 120}, {"dcout4_type", 3},
                          {"dcout2_type", 1}, {"dcout2_voltmax", 100}, {"dcout2_voltmin", 50}, {"dcout3_step", 20},
                          {"dcout4_vol_off_dw", 1},
                          {"forced_init_time", 4000}, {"custom1", 25}, {"plug_type", 3}, {"impulse_stop_same", 0},
                          {"goto_standby", 0}};
        QTest::newRow("TAVRIN, mm") << 0 << false << desk;
        QTest::newRow("TAVRIN, inch") << 0 << true << desk;
        QTest::newRow("BELMORA")
            << 1 << false
            << Values{{"channel1", 6}, {"channel2", 7}, {"channel3", 0x0908}, {"channel4", 0x1110}, {"ref1_reference", 7},
                      {"ref2_reference", 6}, {"ref1_stroke_max", 4500}, {"ref2_speed_up", 3277}, {"massage_volt_max", 99},
                      {"massage_period_min", 3}, {"massage_mode_constant", 0}, {"massage_timeout", 600}, {"extern_ubl", 1},
                      {"dcout1_type", 0}, {"default_power", 0}, {"battery_voltage_reg", 0}, {"mem1_value_index", 0},
                      {"mem1_pos_mask", 255}, {"mem1_pos8", 1234}, {"mem1_pos5", 32768}, {"mem1_use_massage", 1},
                      {"priority_memory1_ref1", 1}, {"priority_memory1_ref2", 1}, {"priority_memory1_ref3", 2},
                      {"priority_memory1_ref4", 2}, {"priority_memory1_ref5", 3}, {"priority_memory1_ref6", 3},
                      {"priority_memory1_ref7", 4}, {"priority_memory1_ref8", 4}, {"mem7_value_index", 1},
                      {"mem7_pos_mask", 0x88}, {"mem2_pos8", 32767}, {"mem2_pos4", 900}, {"mem8_inv_impulse", 0}};
        QTest::newRow("RQ9") << 2 << false
                             << Values{{"ref1_stroke_max", 700}, {"ref1_stroke_min", 100}, {"ref2_speed_dw", 3277},
                                       {"dcout1_timeout", 300}, {"mem3_value_index", 2}, {"mem3_pos_mask", 255},
                                       {"mem3_pos1", 400}, {"mem3_write_enabled", 0}};
        QTest::newRow("MZ40 Standard") << 3 << false
                                       << Values{{"channel1", 6}, {"channel2", 7}, {"ref1_reference", 7}, {"ref2_reference", 6},
                                                 {"ref2_stroke_max", 3000}, {"power_led", 1}, {"pwm_duty", 50},
                                                 {"impulse_toggle_disabled", 1}};
        QTest::newRow("MZ40 Advanced")
            << 4 << false
            << Values{{"ref1_stroke_min", 100}, {"snore_time", 5}, {"snore_memory", 3}, {"snore_speed", 1638},
                      {"ref_always_parallel", 0x30}, {"dcout1_timeout_enlarged", 100}, {"chirps_disabled", 1},
                      {"reset_only_parallel", 1}, {"massage_volt_step", 20}, {"mem4_value_index", 5}, {"mem4_pos_mask", 255},
                      {"mem6_pos2", 700}, {"mem4_use_dc1", 1}};
    }

    void roundTripOfEveryMode()
    {
        QFETCH(int, mode);
        QFETCH(bool, inch);
        QFETCH(Values, values);
        WindowTest t;
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        if (inch)
            w.menuItem("mniinch")->trigger();
        QCOMPARE(w.state().inch, inch);
        set(values);
        show(w);
        if (mode == config::ModeTavrin) // 5080 tenths of a millimetre
            QCOMPARE(w.control<QComboBox>("cmbStroke1")->currentText(), QString(inch ? "20" : "508"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
        QVERIFY(w.state().programmable);
        const auto shown = snapshot(w);

        config::storeConfiguration(w, w.state());
        for (const auto& [name, v] : values)
            QVERIFY2(value(name) == v, qPrintable(QStringLiteral("%1: %2 instead of %3").arg(name).arg(value(name)).arg(v)));
        char tag[232] = {};
        lin_GetStringConfig("ConfType", tag, sizeof tag);
        QCOMPARE(QString(tag), QString(QList<const char*>{"KVR5E", "WZQ", "RQ9", "MZ40STD", "MZ40ADV"}[mode]));

        show(w);
        const auto again = snapshot(w);
        for (auto it = shown.begin(); it != shown.end(); ++it)
            QVERIFY2(again.value(it.key()) == it.value(),
                     qPrintable(QStringLiteral("%1: %2 then %3").arg(it.key(), it.value(), again.value(it.key()))));
        QVERIFY(t.script.problems().isEmpty());
    }

    void resetToDefaultsShowsTheLayoutDefaults()
    {
        for (int mode = 0; mode <= 4; ++mode) {
            WindowTest t;
            t.writeSetting("Hardware", QByteArray::number(mode));
            auto program = t.startApplication({"COMBINED"});
            app::TfrmMain& w = program->mainWindow();
            // Start-up already reset; a decodable window with Save allowed.
            QVERIFY2(w.state().programmable, qPrintable(QString::number(mode)));
            QVERIFY(w.control("btnSaveConfig")->isEnabled());
            QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
        }
    }

    void normalisations()
    {
        WindowTest t;
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        w.control<QRadioButton>("rbSingle")->click();
        set({{"ref1_sls_accelerate", 5}, {"ref2_sls_accelerate", 0}, {"plug_type", 65535}, {"dcout3_voltmax", 80},
             {"dcout3_voltmin", 40}, {"channel1", 0}, {"channel2", 1}, {"channel3", 2}, {"channel4", 3},
             {"ref2_reference", 1}, {"ref3_reference", 2}, {"ref4_reference", 3}});
        config::showConfiguration(w, w.state());
        QCOMPARE(w.control<QComboBox>("cmbPlugUse")->currentIndex(), 0);
        // Output 3 is a USB socket, which has one level: its own minimum is not shown, nor kept.
        QCOMPARE(w.control<QComboBox>("cmbAuxType3")->currentText(), QString("USB"));
        QVERIFY(!w.control<QCheckBox>("cbxAuxVar3")->isChecked());
        QVERIFY(w.control("cbxAuxVar3")->isHidden() && w.control("cmbAuxMin3")->isHidden());
        w.control<QCheckBox>("cbxImpMem2")->setChecked(true);
        // The forced-initialisation time is cut to whole steps, never rounded up.
        w.control<QComboBox>("cmbForced")->setEditText("1.9999");
        config::storeConfiguration(w, w.state());
        QCOMPARE(value("forced_init_time"), 3999);
        QCOMPARE(value("ref1_sls_accelerate"), 1);
        QCOMPARE(value("ref2_sls_accelerate"), 0);
        QCOMPARE(value("plug_type"), 255);
        QCOMPARE(value("dcout3_voltmin"), 80); // not variable: the maximum is the minimum too
        // No Memory tab in mode 0: memories 1-4 follow the impulse-to-memory boxes.
        QCOMPARE(value("mem1_impulse"), 1);
        QCOMPARE(value("mem4_inv_impulse"), 0);
        QVERIFY(t.script.problems().isEmpty());
    }

    void hiddenPartsAndDisabledRowsKeepTheDefaults()
    {
        WindowTest t;
        t.writeSetting("Hardware", "1");
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        uint16_t strokeDefault = 0;
        lin_GetConfigDefault("ref1_safety_stroke_max", &strokeDefault);
        w.control<QComboBox>("cmbSafeStrokeMax1")->setEditText("250");
        w.control<QCheckBox>("cbxSafeMaxUp1")->setChecked(true);
        w.control<QComboBox>("cmbStroke4")->setEditText("300"); // row 4 does not exist in mode 1
        config::storeConfiguration(w, w.state());
        QCOMPARE(value("ref1_safety_stroke_max"), int(strokeDefault));
        QCOMPARE(value("ref1_safety_stop_max_up"), 0);
        uint16_t def4 = 0;
        lin_GetConfigDefault("ref4_stroke_max", &def4);
        QCOMPARE(value("ref4_stroke_max"), int(def4));
    }

    void resetDriveMask()
    {
        WindowTest t;
        t.writeSetting("Hardware", "1");
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        // Memory 8 with a slot whose columns 0-3 hold no position.
        w.state().memory.records[7].valueSlot = 2;
        w.state().memory.values[2] = {32769, 32769, 32769, 32769, 500, 32768, 32767, 100};
        config::storeConfiguration(w, w.state());
        QCOMPARE(value("mem8_pos_mask"), 15);
        QCOMPARE(value("mem1_pos_mask"), 255);
        QCOMPARE(value("mem3_pos1"), 100); // column 7 is position 1
        QCOMPARE(value("mem8_value_index"), 2);
    }

    // The transfers need only the pages: the standard view's Settings tab, typed into as a user does.
    void standardViewWritesOneReference()
    {
        PageTest t("KVR5E");
        t.view.state.advanced = false;
        for (const auto& [box, typed] : {std::pair{"cmbStrokeLt", "450"}, std::pair{"cmbForcedLt", "1.9999"}}) {
            auto* edit = t.view.control<QComboBox>(box)->lineEdit();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
        }
        config::storeConfiguration(t.view, t.view.state);
        QCOMPARE(value("channel1"), 65535);
        QCOMPARE(value("ref1_reference"), 0);
        QCOMPARE(value("ref1_stroke_max"), 4500);
        QCOMPARE(value("forced_init_time"), 3999);
        // Reading picks the first reference that is 0 or automatic.
        set({{"ref1_reference", 3}, {"ref2_reference", 0}, {"ref2_stroke_max", 1000}});
        config::showConfiguration(t.view, t.view.state);
        QCOMPARE(t.view.control<QComboBox>("cmbStrokeLt")->currentText(), QString("100"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void rowsFindTheirReference()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        // Channels 0, 0, 1, 2: two parallel and two single references, row 4 from defaults.
        set({{"channel1", 0}, {"channel2", 0}, {"channel3", 1}, {"channel4", 2}, {"ref1_reference", 2}, {"ref2_reference", 0},
             {"ref3_reference", 1}, {"ref2_stroke_max", 1230}, {"ref3_stroke_max", 3210}, {"ref1_stroke_max", 2000}});
        config::showConfiguration(*w, w->state());
        QVERIFY(w->control<QRadioButton>("rb2par")->isChecked());
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("123")); // ref2_ holds reference 0
        QCOMPARE(w->control<QComboBox>("cmbStroke2")->currentText(), QString("321"));
        QCOMPARE(w->control<QComboBox>("cmbStroke3")->currentText(), QString("200"));
        QCOMPARE(w->control<QComboBox>("cmbStroke4")->currentText(), QString("Default")); // from the defaults
        QCOMPARE(w->control("lblRefRef3")->property("tag").toInt(), 2);

        // Plug and play: one row, the others show the first row's defaults.
        set({{"channel1", 65535}, {"channel2", 65535}, {"channel3", 65535}, {"channel4", 65535}, {"ref1_reference", 65535},
             {"ref1_stroke_max", 999}});
        config::showConfiguration(*w, w->state());
        QVERIFY(w->control<QRadioButton>("rbPnP")->isChecked());
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("100"));
        QCOMPARE(w->control<QComboBox>("cmbStroke2")->currentText(), QString("Default"));
    }

    void safetyAllDefaultShowsTheTypeDefaults()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        Values all;
        for (int r = 1; r <= 6; ++r)
            for (const char* flag : {"safety_stop_max_up", "safety_stop_max_dw", "safety_stop_min_up", "safety_stop_min_dw",
                                     "safety_speed_max_up", "safety_speed_max_dw", "safety_speed_min_up", "safety_speed_min_dw",
                                     "safety_lock_max", "safety_lock_min"})
                all << qMakePair(QStringLiteral("ref%1_").arg(r) + flag, 1);
        set(all);
        config::showConfiguration(*w, w->state());
        uint16_t def = 0;
        lin_GetConfigDefault("ref1_safety_stop_max_up", &def);
        QCOMPARE(w->control<QCheckBox>("cbxSafeMaxUp1")->isChecked(), def != 0);
        // One real value keeps them as they are.
        set({{"ref1_safety_stroke_max", 3000}});
        config::showConfiguration(*w, w->state());
        QVERIFY(w->control<QCheckBox>("cbxSafeMaxUp1")->isChecked());
    }

    void undecodableConfigurations_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Values>("values");
        // With the factory-reset mark after an undecodable configuration: where the memories are
        // shown they set the factory-defaults box before the message is judged, so it is due.
        QTest::addColumn<bool>("messageWithResetMark");
        QTest::newRow("channel code") << 1 << Values{{"channel1", 0x0E08}} << true;
        QTest::newRow("aux type") << 0 << Values{{"dcout2_type", 5}} << false;
        QTest::newRow("plug type past the list") << 0 << Values{{"plug_type", 20}} << false;
        QTest::newRow("shared value slot") << 1 << Values{{"mem1_value_index", 2}, {"mem5_value_index", 2}} << true;
        QTest::newRow("step numbers off the sequence") << 4 << Values{{"priority_memory2_ref3", 4}} << true;
    }

    void undecodableConfigurations()
    {
        QFETCH(int, mode);
        QFETCH(Values, values);
        QFETCH(bool, messageWithResetMark);
        WindowTest t;
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        const QString message = "Configuration cannot be decoded correctly by configurator.\n\n"
                                "Cannot program/save until reset to defaults is performed.";
        set(values);
        t.script.expect(ui::MessageKind::Information, message);
        config::showConfiguration(w, w.state());
        QVERIFY(!w.state().programmable);
        QVERIFY(!w.control("btnSaveConfig")->isEnabled());
        QVERIFY(!w.menuItem("mniSave")->isEnabled());
        config::showConfiguration(w, w.state()); // a second one in a row stays silent
        // The same configuration asking for a factory reset may be saved.
        lin_SetConfigResetToDefaults(1);
        if (messageWithResetMark)
            t.script.expect(ui::MessageKind::Information, message);
        config::showConfiguration(w, w.state());
        QVERIFY(w.control<QCheckBox>("cbxFactoryDefaults")->isChecked());
        QVERIFY(w.control("btnSaveConfig")->isEnabled());
        // The factory-defaults box decides; Reset to defaults clears the mark.
        w.control<QCheckBox>("cbxFactoryDefaults")->click();
        QVERIFY(!w.control("btnSaveConfig")->isEnabled());
        w.control<QCheckBox>("cbxFactoryDefaults")->click();
        QVERIFY(w.control("btnSaveConfig")->isEnabled());
        w.control<QCheckBox>("cbxFactoryDefaults")->click();
        w.menuItem("mniReset")->trigger();
        QVERIFY(w.state().programmable);
        QVERIFY(w.control("btnSaveConfig")->isEnabled());
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void mz40Composites()
    {
        PageTest t("MZ40");
        t.view.state.productMode = config::ModeMz40Advanced;
        set({{"ref_always_parallel", 0xB0}, {"snore_memory", 9}, {"snore_time", 0}, {"dcout1_timeout_enlarged", 65535}});
        config::showConfiguration(t.view, t.view.state);
        QCOMPARE(t.view.control<QComboBox>("ComboBoxRef8Parallel")->currentText(), QString("Yes"));
        QCOMPARE(t.view.control<QComboBox>("ComboBoxRef7Parallel")->currentText(), QString("No"));
        QCOMPARE(t.view.control<QComboBox>("ComboBoxRef6Parallel")->currentText(), QString("Yes"));
        QCOMPARE(t.view.control<QComboBox>("ComboBoxRef5Parallel")->currentText(), QString("Yes"));
        QCOMPARE(t.view.control<QComboBox>("cmbSnoreMemory")->currentText(), QString("5"));
        QCOMPARE(t.view.control<QComboBox>("ComboBoxUblTimeout")->currentText(), QString("Off"));
        QVERIFY(!t.view.control("cmbSnoreMemory")->isEnabled());
        t.view.state.productMode = config::ModeMz40Standard;
        set({{"pwm_duty", 15}});
        config::showConfiguration(t.view, t.view.state);
        QCOMPARE(t.view.control<QComboBox>("cmbPwmDuty")->currentText(), QString("90"));
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void unsetMemoryShowsDefaults()
    {
        WindowTest t;
        t.writeSetting("Hardware", "1");
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        Values unset;
        for (int n : {2, 8})
            for (const char* stem : {"use_position", "use_massage", "use_dc1", "use_dc2", "use_dc3", "use_dc4", "impulse",
                                     "inv_impulse", "write_enabled"})
                unset << qMakePair(QStringLiteral("mem%1_").arg(n) + stem, 1);
        set(unset);
        config::showConfiguration(w, w.state());
        uint16_t def = 0;
        lin_GetConfigDefault("mem2_use_massage", &def);
        QCOMPARE(w.control<QCheckBox>("cbxMem2Mas")->isChecked(), def != 0);
        QVERIFY(!w.control<QCheckBox>("cbxResDrvUpMas")->isChecked());
        QVERIFY(!w.control<QCheckBox>("cbxResDrvUpAux3")->isChecked());
    }

    void rq9NeverReadsTheChannels()
    {
        PageTest t("KVR5E");
        t.view.state.productMode = config::ModeRq9;
        moxtasim::clearCallLog();
        config::showConfiguration(t.view, t.view.state);
        QVERIFY(!moxtasim::callLog().empty());
        for (const auto& call : moxtasim::callLog())
            QVERIFY2(call.arguments.find("channel") == std::string::npos, call.arguments.c_str());
    }
};


QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
