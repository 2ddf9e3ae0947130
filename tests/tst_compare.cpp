// Parallel systems: the groups compared between boxes, the multiparallel panel of the main window,
// and the comparison and details windows against benches of several boxes.

#include "app/application.h"
#include "app/windows.h"
#include "compare/comparison.h"
#include "compare/formcompare.h"
#include "compare/formcomparedetails.h"
#include "device/multiparallel.h"
#include "device/pollthread.h"
#include "device/selectdevice.h"
#include "device/unitdatamodule.h"
#include "ui/pages.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "pagesview.h"
#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

// ---- The comparison without a window ----------------------------------------------------------

// Every name the groups look at, as a box's layout lists them, in layout order.
QStringList layoutNames()
{
    QStringList names;
    for (int n = 1; n <= 4; ++n)
        names << QStringLiteral("channel%1").arg(n);
    for (int n = 1; n <= 4; ++n)
        for (const char* stem : {"timeout", "type", "voltmax", "voltmin", "step", "vol_stop_up", "vol_stop_dw", "vol_off_dw"})
            names << QStringLiteral("dcout%1_%2").arg(n).arg(QLatin1String(stem));
    names << "extern_ubl" << "default_power" << "relative_over_voltage" << "battery_voltage_reg";
    for (int m = 1; m <= 8; ++m)
        for (const char* stem : {"value_index", "use_position", "use_massage", "use_dc1", "use_dc2", "use_dc3", "use_dc4",
                                 "impulse", "inv_impulse", "write_enabled", "pos_mask"})
            names << QStringLiteral("mem%1_%2").arg(m).arg(QLatin1String(stem));
    for (int k = 1; k <= 6; ++k)
        for (int r = 1; r <= 8; ++r)
            names << QStringLiteral("mem%1_pos%2").arg(k).arg(r);
    for (int m = 1; m <= 8; ++m)
        for (int r = 1; r <= 8; ++r)
            names << QStringLiteral("priority_memory%1_ref%2").arg(m).arg(r);
    return names;
}

// Boxes of equal values ("6" for the value indexes: no slot), then the given changes per column.
compare::RawTable rawTable(int boxes, const QList<QPair<int, QPair<QString, QString>>>& changes = {},
                           const QStringList& missing = {})
{
    compare::RawTable raw;
    QStringList names = layoutNames();
    for (const QString& name : missing)
        names.removeAll(name);
    for (int k = 0; k < names.size(); ++k) {
        raw.setName(k, names[k]);
        for (int c = 1; c <= boxes; ++c)
            raw.setValue(c, k, names[k].endsWith("_value_index") ? "6" : "100");
    }
    for (const auto& [column, change] : changes)
        raw.setValue(column, *raw.rowOf(change.first), change.second);
    return raw;
}

QString cellsOf(const compare::Comparison& result, const QString& group)
{
    const qsizetype row = result.groups.indexOf(group);
    return row < 0 ? QStringLiteral("<no row>") : result.cells[std::size_t(row)].join(" | ");
}

const char* const kWzq = "WZQ4 bed box, 4 channels and massage\n240611-0001";
const char* const kRq9 = "RQ9 bed box, 4 channels and massage\n240611-0002";
const char* const kDesk = "KVR5E 2-channel desk box\n240611-0003";

// ---- Benches of several boxes --------------------------------------------------------------

struct BoxSpec
{
    int device;
    int hardwareId;
    QByteArray parameters; // the box's stored values that differ from the layout's defaults
    QByteArray extra = {}; // further keys of the box's section
    QByteArray type = "KVR5E"; // its layout
};

// A bench of boxes on one adapter, each with a stored configuration of its own.
QByteArray benchText(const QTemporaryDir& dir, const QList<BoxSpec>& boxes)
{
    QByteArray text = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n";
    for (const BoxSpec& box : boxes) {
        const QString cfg = dir.filePath(QStringLiteral("box%1.cfg").arg(box.device));
        testutil::writeFile(cfg, "[configuration]\ntype=" + box.type + "\n[parameters]\n" + box.parameters);
        text += "[box:ZUBREX-0001:" + QByteArray::number(box.device) + "]\nconfig_type=" + box.type
                + "\nhardware_id=" + QByteArray::number(box.hardwareId)
                + "\nserial=240611-000" + QByteArray::number(box.device + 1) + "\nconfig=" + cfg.toLocal8Bit() + "\n" + box.extra;
    }
    return text;
}

// A bed system: a WZQ master, a WZQ slave 1, an RQ9 slave 2 and a desk box as slave 3, whose
// stored configurations differ in a few parameters of several groups.
QList<BoxSpec> bedSystem(int boxes = 4)
{
    const QList<BoxSpec> all = {
        {0, 81, "mem3_value_index=1\n"},
        {1, 80, "channel1=5\ndcout1_timeout=100\nmem2_pos3=1000\npriority_memory7_ref1=1\nmem3_value_index=1\n"},
        {2, 95, "battery_voltage_reg=3\ndcout1_timeout=100\nmem1_value_index=0\nmem3_value_index=1\nmem2_pos5=2000\n"},
        {3, 12, "channel1=7\n"},
    };
    return all.mid(0, boxes);
}

// The boxes' configuration files, there before the bench that names them.
struct ConfigurationFiles
{
    QTemporaryDir configs;
};

struct Parallel : ConfigurationFiles, testutil::BenchWindow
{
    explicit Parallel(const QList<BoxSpec>& boxes, bool identify = true)
        : BenchWindow(benchText(configs, boxes))
    {
        start({"WZQ"});
        // The panel shows which boxes answer once the poll has found the master.
        if (identify)
            identified();
        w->menuItem("mniMultiparallel")->trigger();
    }

    QLabel* label(const QString& name) const { return w->control<QLabel>(name); }

    QStringList panel() const
    {
        QStringList lines;
        for (int d = 0; d < 4; ++d) {
            const QString name = QStringLiteral("lblDevice%1").arg(d);
            lines << label(name)->text().replace('\n', " / ") + (label(name)->isEnabled() ? "" : " (off)");
        }
        return lines;
    }

    // The two questions of a switch to slave 1 of a bed system, answered Yes.
    void expectSwitchToSlave1()
    {
        t.script.expect(MessageKind::Question, "Switch to Slave 1 :\n\nWZQ2 bed box, 2 channels\n240611-0002", true);
        t.script.expect(MessageKind::WarningQuestion,
                        "By switching to another device you will loose the configurators current settings\n\n"
                        "Continue anyway?",
                        true);
    }

    void problemsCheck() { QVERIFY2(t.script.problems().isEmpty(), qPrintable(problems())); }
};

QStringList gridRows(const QTableWidget* grid)
{
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        rows << cells.join(" | ");
    }
    return rows;
}

QStringList headers(const QTableWidget* grid)
{
    QStringList texts;
    for (int c = 1; c < grid->columnCount(); ++c)
        texts << grid->horizontalHeaderItem(c)->text().section('\n', 0, 0);
    return texts;
}

QList<int> readOrder()
{
    QList<int> devices;
    for (const auto& call : moxtasim::callLog())
        if (call.function == "lin_ReadConfigRunMode")
            devices << QString::fromStdString(call.arguments).section(',', 0, 0).trimmed().toInt();
    return devices;
}

void doubleClick(QTableWidget* grid, int row, int column)
{
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void families_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("family");
        QTest::newRow("WZQ") << QString(kWzq) << int(compare::Family::Wzq);
        QTest::newRow("RQ9") << QString(kRq9) << int(compare::Family::Rq9);
        QTest::newRow("desk") << QString(kDesk) << int(compare::Family::None);
        QTest::newRow("prefix only at the start") << "Bed WZQ4" << int(compare::Family::None);
        QTest::newRow("absent box") << "" << int(compare::Family::None);
    }

    void families()
    {
        QFETCH(QString, text);
        QFETCH(int, family);
        QCOMPARE(int(compare::familyOf(text)), family);
    }

    // The count follows column 2 only; a box outside the group keeps "-".
    void countsAndAbsentBoxes()
    {
        const auto raw = rawTable(3, {{3, {"channel2", "1"}}, {3, {"default_power", "9"}}});
        auto result = compare::compareGroups(raw, {kWzq, kDesk, kWzq});
        QVERIFY(result.messages.isEmpty());
        QCOMPARE(result.groups.size(), 12);
        QCOMPARE(cellsOf(result, "Custom selection"), "0 | - | 1");
        QCOMPARE(cellsOf(result, "Power settings"), "0 | - | 1");
        result = compare::compareGroups(raw, {kWzq, kWzq, kWzq});
        QCOMPARE(cellsOf(result, "Custom selection"), "4 | 0 | 1");
        QCOMPARE(cellsOf(result, "AUX output"), "33 | 0 | 0");
        QCOMPARE(cellsOf(result, "Reset drive"), "62 | 0 | 0");
        QCOMPARE(cellsOf(result, "Reset drive turns off"), "10 | 0 | 0");
        QCOMPARE(cellsOf(result, "Reset order"), "16 | 0 | 0");
        QCOMPARE(cellsOf(result, "Memory 6"), "19 | 0 | 0");
        compare::addPrefixes(result);
        QCOMPARE(cellsOf(result, "Custom selection"), "Parameters: 4 | Different: 0 | Different: 1");
        result = compare::compareGroups(raw, {kDesk, kWzq});
        compare::addPrefixes(result);
        QCOMPARE(cellsOf(result, "Memory 1"), "Parameters: 0 | -");
    }

    // A WZQ box against an RQ9 box: the memories compare their value indexes and, where those agree,
    // the positions of the slot they point to; the reset drives only indexes that disagree.
    void valueIndexesAcrossFamilies_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("memory2");
        QTest::addColumn<int>("detailLines");
        // mem5_pos1 differs: seen only where the indexes agree on slot 5 (index 4).
        QTest::newRow("agree on a slot") << "4" << "4" << "18 | 1" << 18;
        QTest::newRow("differ") << "4" << "3" << "1 | 1" << 1;
        QTest::newRow("both no slot") << "6" << "6" << "1 | 0" << 1;
        QTest::newRow("both out of range") << "-1" << "-1" << "1 | 0" << 1;
        QTest::newRow("no number") << "x" << "x" << "1 | 0" << 1;
    }

    void valueIndexesAcrossFamilies()
    {
        QFETCH(QString, reference);
        QFETCH(QString, other);
        QFETCH(QString, memory2);
        QFETCH(int, detailLines);
        const auto raw = rawTable(2, {{1, {"mem2_value_index", reference}},
                                      {2, {"mem2_value_index", other}},
                                      {2, {"mem5_pos1", "7"}},
                                      {2, {"mem7_value_index", "3"}},
                                      {1, {"mem8_value_index", "2"}},
                                      {2, {"mem8_value_index", "2"}}});
        const auto result = compare::compareGroups(raw, {kWzq, kRq9});
        QVERIFY(result.messages.isEmpty());
        QCOMPARE(cellsOf(result, "Memory 2"), memory2);
        QCOMPARE(int(result.details.filter(QRegularExpression("^Memory 2:")).size()), detailLines);
        // Memory 7 disagrees (6 against 3), memory 8 agrees on slot 3.
        QCOMPARE(cellsOf(result, "Reset drive"), "1 | 1");
        QCOMPARE(result.details.filter(QRegularExpression("^Reset drive:")), QStringList{"Reset drive:mem7_value_index:6:3::"});
        QCOMPARE(cellsOf(result, "Custom selection"), "0 | -");
        // The same family compares every position of the reset drive, whatever the indexes.
        const auto same = compare::compareGroups(raw, {kRq9, kRq9});
        QCOMPARE(cellsOf(same, "Reset drive"), "62 | 2");
    }

    // One detail line per group and parameter, holding every box compared on it.
    void detailLines()
    {
        const auto raw = rawTable(4, {{2, {"channel3", "1"}}, {3, {"channel3", "2"}}});
        const auto result = compare::compareGroups(raw, {kWzq, kWzq, kWzq, kRq9});
        QCOMPARE(result.details.filter(QRegularExpression("^Custom selection:")),
                 (QStringList{"Custom selection:channel1:100:100:100:", "Custom selection:channel2:100:100:100:",
                              "Custom selection:channel3:100:1:2:", "Custom selection:channel4:100:100:100:"}));
        QVERIFY(result.details.contains("Power settings:default_power:100:100:100:100"));
        QCOMPARE(result.details.size(), QSet<QString>(result.details.begin(), result.details.end()).size());
    }

    void missingNames()
    {
        const auto raw = rawTable(2, {}, {"channel3", "mem4_value_index"});
        const auto result = compare::compareGroups(raw, {kWzq, kRq9});
        // Across families the value index is asked for with its own message, per side and memory.
        QCOMPARE(result.messages, (QStringList{"GetParameter not found: mem4_value_index",
                                               "GetParameter not found: mem4_value_index",
                                               "Parameter name not found: mem4_value_index"}));
        QCOMPARE(cellsOf(result, "Memory 4"), "0 | 0");
        const auto wzq = compare::compareGroups(raw, {kWzq, kWzq});
        QCOMPARE(wzq.messages, (QStringList{"Parameter name not found: channel3", "Parameter name not found: mem4_value_index"}));
        QCOMPARE(cellsOf(wzq, "Custom selection"), "3 | 0");
        QCOMPARE(cellsOf(wzq, "Memory 4"), "18 | 0");
    }

    // ---- The multiparallel panel ---------------------------------------------------------------

    // The scan ends at the first box that does not answer: slave 2 answers but is not shown.
    void scanStopsAtTheFirstMissingBox()
    {
        QList<BoxSpec> boxes = bedSystem(3);
        boxes.removeAt(1);
        Parallel p(boxes);
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.panel()),
                     (QStringList{"WZQ4 bed box, 4 channels and massage / 240611-0001", "Not present (off)",
                                  "Not present (off)", "Not present (off)"}));
        QVERIFY(p.button("ButtonDevice0")->isEnabled());
        QVERIFY(!p.button("ButtonDevice2")->isEnabled());
        QVERIFY(p.label("lblDevice0Hdr")->font().bold());
        QVERIFY(!p.label("lblDevice1Hdr")->font().bold());
        p.problemsCheck();
    }

    // Every hardware designation with a serial fits a device label of the panel, and the designation
    // alone the information panel's hardware label: nothing is cut off.
    void designationsFitTheirLabels()
    {
        QWidget root;
        ui::createSidePanel(&root);
        ui::createMultiparallelPanel(&root);
        auto* hardware = root.findChild<QLabel*>("lblHW");
        auto* device = root.findChild<QLabel*>("lblDevice0");
        QFont bold = device->font();
        bold.setBold(true); // the addressed box
        device->setFont(bold);
        for (int id = 0; id < 256; ++id) {
            const QString name = device::hardwareDesignation(uint8_t(id));
            for (const auto& [label, text] : {std::pair{hardware, name}, std::pair{device, name + "\n240611-0042"}}) {
                label->setText(text);
                const int height = label->heightForWidth(label->width());
                const int widestWord = label->minimumSizeHint().width();
                QVERIFY2(height <= label->height() && widestWord <= label->width(),
                         qPrintable(QStringLiteral("%1 in %2: %3 high, %4 wide").arg(text, label->objectName()).arg(height).arg(widestWord)));
            }
        }
    }

    // Showing and hiding twice brings the window back to its width; the panel shows only when checked.
    void panelShownByTheMenu()
    {
        Parallel p(bedSystem(1), false);
        QAction* item = p.w->menuItem("mniMultiparallel");
        QWidget* panel = p.w->control("gbMultiparallelInfo");
        p.w->show();
        QVERIFY(item->isChecked());
        QVERIFY(panel->isVisible());
        const int shown = p.w->minimumWidth();
        item->trigger();
        QVERIFY(!panel->isVisible());
        const int hidden = p.w->minimumWidth();
        QCOMPARE(shown - hidden, panel->width() + 12);
        QCOMPARE(p.w->width(), hidden);
        for (int i = 0; i < 4; ++i)
            item->trigger();
        QCOMPARE(p.w->minimumWidth(), hidden);
        QVERIFY(!panel->isVisible());
    }

    void switchDevice_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::newRow("No to the first question") << false << false;
        QTest::newRow("No to the warning") << true << false;
        QTest::newRow("Yes to both") << true << true;
    }

    void switchDevice()
    {
        QFETCH(bool, first);
        QFETCH(bool, second);
        Parallel p(bedSystem(2));
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice1")->isEnabled()));
        p.w->show();
        // The box already addressed: nothing asked.
        QTest::mouseClick(p.button("ButtonDevice0"), Qt::LeftButton);
        p.t.script.expect(MessageKind::Question, "Switch to Slave 1 :\n\nWZQ2 bed box, 2 channels\n240611-0002", first);
        if (first)
            p.t.script.expect(MessageKind::WarningQuestion,
                              "By switching to another device you will loose the configurators current settings\n\n"
                              "Continue anyway?",
                              second);
        QTest::mouseClick(p.button("ButtonDevice1"), Qt::LeftButton);
        p.problemsCheck();
        // A switch makes the poll read the slave's identity; the panel marks it.
        const QString serial = second ? "240611-0002" : "240611-0001";
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.label("lblSerial")->text()), serial);
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.label("lblDevice1Hdr")->font().bold()), second);
        QCOMPARE(p.label("lblDevice0Hdr")->font().bold(), !second);
    }

    // A switch while the poll reads the identity of the box addressed so far waits for that read:
    // the window ends showing the box switched to, and offers Read only once it is identified.
    void switchDuringAnIdentityRead()
    {
        Parallel p(bedSystem(2));
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice1")->isEnabled()));
        p.w->show();
        // Held for less than the switch waits for the adapter.
        moxtasim::holdNextCall("lin_RC_GetSoftwareVersion", testutil::adapterWaitMs() * 4 / 10);
        p.button("ButtonUpdateDevices")->click(); // the master is sensed and identified afresh
        QVERIFY(moxtasim::waitForHeldCall(5000));
        p.expectSwitchToSlave1();
        QTest::mouseClick(p.button("ButtonDevice1"), Qt::LeftButton);
        p.problemsCheck();
        QCOMPARE(int(p.w->poll().deviceNumber()), 1);
        QVERIFY(!p.w->menuItem("mniRead")->isEnabled());
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.label("lblSerial")->text()), QString("240611-0002"));
        QVERIFY(p.w->menuItem("mniRead")->isEnabled());
        QVERIFY(p.label("lblDevice1Hdr")->font().bold());
    }

    // A box switched to and not identified yet is still to be identified after a procedure that
    // paused the poll (the comparison's read): it is never watched with the identity before it.
    void readAfterASwitchLeavesTheIdentityToRead()
    {
        Parallel p(bedSystem(2));
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice1")->isEnabled()));
        p.w->show();
        QVERIFY(moxtasim::setFail("ZUBREX-0001", 1, "lin_RC_GetSoftwareVersion", -2));
        p.expectSwitchToSlave1();
        QTest::mouseClick(p.button("ButtonDevice1"), Qt::LeftButton);
        QStringList names;
        QStringList values;
        QVERIFY(device::readBoxParameters(p.w->poll(), *p.w, "KVR5E", 0, names, values));
        QVERIFY(p.w->poll().state().load() != device::PollWatch);
        p.w->GuiTimerTimer();
        QVERIFY(!p.w->menuItem("mniRead")->isEnabled());
        QCOMPARE(p.label("lblSerial")->text(), QString("xxx-xxxxxx"));
        QVERIFY(moxtasim::setFail("ZUBREX-0001", 1, "lin_RC_GetSoftwareVersion", 0));
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.label("lblSerial")->text()), QString("240611-0002"));
        p.problemsCheck();
    }

    // Update re-opens the adapter and finds a box plugged meanwhile; an adapter that cannot be
    // opened again leaves the window without a box, silently.
    void updateReopensTheAdapter()
    {
        QList<BoxSpec> boxes = bedSystem(2);
        boxes[1].extra = "connected=0\n";
        Parallel p(boxes);
        QTRY_COMPARE((p.w->GuiTimerTimer(), p.panel().at(1)), "Not present (off)");
        moxtasim::plug("ZUBREX-0001", 1);
        moxtasim::clearCallLog();
        p.button("ButtonUpdateDevices")->click();
        QStringList calls;
        for (const auto& call : moxtasim::callLog())
            if (call.function.rfind("zbx_", 0) == 0)
                calls << QString::fromStdString(call.function + "(" + call.arguments + ")");
        QCOMPARE(calls.mid(0, 3), (QStringList{"zbx_CloseDevice()", "zbx_OpenSpecificDevice(\"ZUBREX-0001\")",
                                               "zbx_SetUsageOfControlLink(8)"}));
        QCOMPARE(p.panel().at(1), "WZQ2 bed box, 2 channels / 240611-0002");
        QVERIFY(p.identified());

        moxtasim::injectStatus("zbx_OpenSpecificDevice", 0);
        p.button("ButtonUpdateDevices")->click();
        QTRY_VERIFY((p.w->GuiTimerTimer(), !p.w->control("btnReadConfig")->isEnabled()));
        p.problemsCheck();
    }

    // ---- The comparison window -----------------------------------------------------------------

    void compareNeedsTwoBoxes()
    {
        Parallel p(bedSystem(1));
        bool enabled = true;
        p.t.script.expectDialog("fCompare", [&enabled](QDialog* d) {
            enabled = d->findChild<QPushButton*>("ButtonCompare")->isEnabled();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(p.button("ButtonCompareDevs"), Qt::LeftButton);
        QVERIFY(!enabled);
        p.problemsCheck();
    }

    // Four boxes of a bed system whose differences are known: counts, prefixes and colours.
    void compareFourBoxes()
    {
        Parallel p(bedSystem(4));
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice3")->isEnabled()));
        QStringList rows;
        QStringList heads;
        QList<QColor> colours;
        QString status;
        p.t.script.expectDialog("fCompare", [&](QDialog* d) {
            auto* compare = static_cast<TfCompare*>(d);
            QTest::mouseClick(d->findChild<QPushButton*>("ButtonCompare"), Qt::LeftButton);
            rows = gridRows(compare->grid());
            heads = headers(compare->grid());
            for (int c = 0; c < 5; ++c)
                colours << compare->grid()->item(0, c)->background().color();
            status = compare->statusText();
            return int(QDialog::Accepted);
        });
        moxtasim::clearCallLog();
        QTest::mouseClick(p.button("ButtonCompareDevs"), Qt::LeftButton);
        p.problemsCheck();
        QCOMPARE(readOrder(), (QList<int>{0, 1, 2, 3}));
        QCOMPARE(heads, (QStringList{"Master", "Slave 1", "Slave 2", "Slave 3"}));
        QCOMPARE(status, "Comparison completed");
        const QString P = "Parameters: ", D = "Different: ";
        QCOMPARE(rows, (QStringList{
                           "Custom selection | Parameters: 4 | Different: 1 | - | -",
                           "AUX output | Parameters: 33 | Different: 1 | Different: 1 | -",
                           "Power settings | Parameters: 3 | Different: 0 | Different: 1 | -",
                           "Reset drive | Parameters: 62 | Different: 1 | Different: 0 | -",
                           "Reset drive turns off | Parameters: 10 | Different: 0 | Different: 0 | -",
                           "Reset order | Parameters: 16 | Different: 1 | Different: 0 | -",
                           "Memory 1 | Parameters: 19 | Different: 0 | Different: 1 | -",
                           "Memory 2 | Parameters: 19 | Different: 1 | Different: 0 | -",
                           "Memory 3 | Parameters: 19 | Different: 0 | Different: 1 | -",
                           "Memory 4 | Parameters: 19 | Different: 0 | Different: 0 | -",
                           "Memory 5 | Parameters: 19 | Different: 0 | Different: 0 | -",
                           "Memory 6 | Parameters: 19 | Different: 0 | Different: 0 | -",
                       }));
        // Custom selection: group name, a count, a difference, two boxes outside the group.
        QCOMPARE(colours[1], QColor(46, 204, 64));
        QCOMPARE(colours[2], QColor(255, 65, 54));
        QCOMPARE(colours[3], QColor(255, 220, 0));
        QCOMPARE(colours[4], QColor(255, 220, 0));
        QVERIFY(colours[0] != colours[1] && colours[0] != colours[2] && colours[0] != colours[3]);
    }

    // Dragging Slave 2's header to the left makes it the reference: the results go, and the next
    // Compare reads the boxes in the new order. The details list what was compared for the box
    // double-clicked (or chosen with Enter), with its own values.
    void draggedColumnAndDetails()
    {
        Parallel p(bedSystem(3));
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice2")->isEnabled()));
        QStringList before, after, heads, auxDetails, memoryDetails, detailHeads;
        QString detailGroup, statusAfterMove, focusAfterTab;
        QList<QColor> detailColours;
        QColor focusedCell, focusedFill, headerFill;
        QColor memoryColour;
        p.t.script.expectDialog("fCompare", [&](QDialog* d) {
            auto* compare = static_cast<TfCompare*>(d);
            QTableWidget* grid = compare->grid();
            d->show();
            if (!QTest::qWaitForWindowExposed(d))
                return int(QDialog::Rejected);
            d->findChild<QPushButton*>("ButtonCompare")->click();
            before = gridRows(grid);
            // Slave 2's header dragged onto the Master's place.
            QHeaderView* header = grid->horizontalHeader();
            const QPoint from(header->sectionViewportPosition(3) + 30, header->height() / 2);
            const QPoint to(header->sectionViewportPosition(1) + 10, header->height() / 2);
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
            for (int step = 1; step <= 10; ++step)
                QTest::mouseMove(header->viewport(), from + (to - from) * step / 10);
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, to);
            heads = headers(grid);
            after = gridRows(grid);
            statusAfterMove = compare->statusText();
            moxtasim::clearCallLog();
            d->findChild<QPushButton*>("ButtonCompare")->click();
            // Double clicks: the AUX output of Slave 1 (now grid column 3), Memory 1 of the Master.
            doubleClick(grid, 1, 3);
            // By keyboard: Enter on a cell opens its details, Tab leaves the grid for the buttons.
            grid->setFocus();
            grid->setCurrentCell(6, 2);
            QTest::keyClick(grid, Qt::Key_Return);
            // The focused cell keeps its colour; the header row is button face.
            const QImage drawn = grid->viewport()->grab().toImage();
            focusedCell = drawn.pixelColor(grid->visualRect(grid->model()->index(6, 2)).topLeft() + QPoint(5, 5));
            focusedFill = grid->item(6, 2)->background().color();
            headerFill = grid->horizontalHeader()->grab().toImage().pixelColor(5, 5);
            QTest::keyClick(grid, Qt::Key_Tab);
            focusAfterTab = d->focusWidget() ? d->focusWidget()->objectName() : QString();
            d->hide();
            return int(QDialog::Accepted);
        });
        p.t.script.expectDialog("fCompareDetails", [&](QDialog* d) {
            auto* details = static_cast<TfCompareDetails*>(d);
            auxDetails = gridRows(details->grid());
            detailGroup = details->groupText();
            for (int c = 0; c < 3; ++c)
                detailHeads << details->grid()->item(0, c)->text().section('\n', 0, 0);
            for (int r = 0; r < 3; ++r)
                detailColours << details->grid()->item(r, 2)->background().color();
            return int(QDialog::Accepted);
        });
        p.t.script.expectDialog("fCompareDetails", [&](QDialog* d) {
            memoryDetails = gridRows(static_cast<TfCompareDetails*>(d)->grid());
            memoryColour = static_cast<TfCompareDetails*>(d)->grid()->item(1, 1)->background().color();
            return int(QDialog::Accepted);
        });
        p.button("ButtonCompareDevs")->click();
        p.problemsCheck();
        QCOMPARE(before.size(), 12);
        QCOMPARE(heads, (QStringList{"Slave 2", "Master", "Slave 1"}));
        QCOMPARE(after, QStringList{" |  |  | "});
        QCOMPARE(statusAfterMove, "");
        QCOMPARE(readOrder(), (QList<int>{2, 0, 1}));

        QCOMPARE(detailGroup, "AUX output");
        QCOMPARE(detailHeads, (QStringList{"Parameter", "Slave 2", "Slave 1"}));
        QCOMPARE(auxDetails.size(), 34);
        QCOMPARE(auxDetails.filter(QRegularExpression("^dcout1_timeout ")), QStringList{"dcout1_timeout | 100 | 100"});
        QCOMPARE(detailColours[0], QColor(128, 128, 128));
        QCOMPARE(detailColours[1], QColor(46, 204, 64)); // both slaves hold dcout1_timeout 100
        // Memory 1 against the Master (RQ9 against WZQ): only the value index, once, red.
        QCOMPARE(memoryDetails.size(), 2);
        QCOMPARE(memoryDetails.at(1), "mem1_value_index | 0 | 6");
        QCOMPARE(memoryColour, QColor(255, 65, 54));
        QVERIFY2(focusAfterTab.startsWith("Button"), qPrintable(focusAfterTab));
        QCOMPARE(focusedCell, focusedFill);
        QCOMPARE(headerFill, QApplication::palette().color(QPalette::Button));
    }

    // A box whose layout names its parameters otherwise: said once, whatever the number of names
    // that differ, and nothing is compared under the wrong names.
    void namesOfAnotherLayout()
    {
        auto root = std::make_unique<QWidget>();
        ui::createMultiparallelPanel(root.get());
        testutil::PagesView view(std::move(root));
        for (int d = 0; d < 2; ++d) {
            view.control<QLabel>(QStringLiteral("lblDevice%1").arg(d))->setEnabled(true);
            view.control<QLabel>(QStringLiteral("lblDevice%1").arg(d))->setText(d == 0 ? kWzq : kRq9);
        }
        ui::ScriptedDialogs script;
        TfCompare window;
        const QStringList names = layoutNames();
        window.setLink({&view,
                        [&names](int device, QStringList& read, QStringList& values) {
                            read = names;
                            if (device == 1)
                                read[3] = "x", read[40] = "y";
                            values = QStringList(read.size(), "1");
                            return true;
                        },
                        nullptr});
        window.FormShow();
        script.expect(MessageKind::Information, "Parameter names are not equal!");
        script.expect(MessageKind::Information, "Error reading Slave 1");
        window.findChild<QPushButton*>("ButtonCompare")->click();
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
        QCOMPARE(gridRows(window.grid()), QStringList{" |  | "});
    }

    // Each way a box can fail ends with its message, "Error reading" and no comparison.
    void failingReads_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("unplugged after Show") << "unplug"
                                              << QStringList{"Could not read configuration (ERROR_READ_TIMEOUT)",
                                                             "Error reading Slave 1"};
        QTest::newRow("read fails") << "fail"
                                    << QStringList{"Could not read configuration (ERROR_READ_TIMEOUT)", "Error reading Slave 1"};
        QTest::newRow("another layout") << "layout"
                                        << QStringList{"Could not read configuration (ERROR_CFG_ILLEGAL_HW)", "Error reading Slave 1"};
        QTest::newRow("layout refused") << "refused" << QStringList{"Config illegal (-29)", "Error reading Master"};
    }

    void failingReads()
    {
        QFETCH(QString, failure);
        QFETCH(QStringList, messages);
        QList<BoxSpec> boxes = bedSystem(2);
        if (failure == "fail")
            boxes[1].extra = "fail=lin_ReadConfigRunMode:-2\n";
        if (failure == "layout") {
            boxes[1].type = "MZ40";
            boxes[1].parameters.clear();
        }
        Parallel p(boxes);
        QTRY_VERIFY((p.w->GuiTimerTimer(), p.button("ButtonDevice1")->isEnabled()));
        QStringList rows;
        QString status;
        p.t.script.expectDialog("fCompare", [&](QDialog* d) {
            auto* compare = static_cast<TfCompare*>(d);
            if (failure == "unplug")
                moxtasim::unplug("ZUBREX-0001", 1);
            // The session stays open, the layout is refused.
            if (failure == "refused") {
                moxtasim::injectStatus("lin_CloseConfig", 0);
                moxtasim::injectStatus("lin_OpenConfig", -29);
            }
            d->findChild<QPushButton*>("ButtonCompare")->click();
            rows = gridRows(compare->grid());
            status = compare->statusText();
            return int(QDialog::Accepted);
        });
        for (const QString& message : messages)
            p.t.script.expect(MessageKind::Information, message);
        p.button("ButtonCompareDevs")->click();
        p.problemsCheck();
        QCOMPARE(rows, QStringList{" |  | "});
        QCOMPARE(status, messages.last());
    }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
