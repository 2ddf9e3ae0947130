// The window's hint texts in the languages of the hint file, the manual of each product mode, and
// the configuration picture, through the real main window.

#include "windowtest.h"

#include "platform/documents.h"
#include "ui/hints.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>

using testutil::WindowTest;
using testutil::readFile;
using testutil::writeFile;
using ui::MessageKind;

namespace {

// Two languages; the second knows only one key. "Speed" starts with its placeholder, "AcEnable"
// has none, "Chan" would name a channel box's reference if it were ever filled.
const QByteArray kHints = "; hints for the test\n"
                          "[English]\n"
                          "Stroke=Stroke of drive $ in mm\n"
                          "SafeStrokeMax=Safety stroke maximum of reference $\n"
                          "Speed=$ is the row\n"
                          "AcEnable=Anti-collision, no placeholder\n"
                          "Chan=Drive $ channel\n"
                          "Par1=Custom parameter one\n"
                          "Act=Actuator of drive $\n"
                          "[Deutsch]\n"
                          "Stroke=Hub von Antrieb $ in mm\n";

QString hint(const app::TfrmMain& w, const char* name)
{
    return w.control(QString::fromLatin1(name))->toolTip();
}

QStringList languageItems(const app::TfrmMain& w, QStringList* checked = nullptr)
{
    QStringList items;
    for (QAction* a : w.findChild<QMenu*>("mniHintLanguage")->actions()) {
        items << a->text();
        if (checked && a->isChecked())
            *checked << a->text();
    }
    return items;
}

QAction* languageItem(const app::TfrmMain& w, const QString& caption)
{
    for (QAction* a : w.findChild<QMenu*>("mniHintLanguage")->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

// Mean difference per channel of two pictures of one size.
double difference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 1000;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    // The table binds its 128 keys to 334 controls of the window; the form's own hints are what
    // the English section we ship says.
    void shippedHintsMatchTheForm()
    {
        int controls = 0;
        for (const ui::HintEntry& entry : ui::kHintTable)
            for (const ui::HintTarget& target : entry.targets)
                controls += target.name ? std::max(1, target.count) : 0;
        QCOMPARE(controls, 334);

        WindowTest t;
        auto w = t.start({"COMBINED"});
        QStringList before;
        QList<QWidget*> all;
        for (const ui::HintEntry& entry : ui::kHintTable)
            for (const ui::HintTarget& target : entry.targets)
                for (int i = 0; target.name && i < std::max(1, target.count); ++i)
                    all << w->control(ui::resolvePattern(QString::fromLatin1(target.name), i));
        for (const ui::HintCopy& copy : ui::kHintCopies)
            all << w->control(QString::fromLatin1(copy.to));
        for (QWidget* c : all) {
            QVERIFY(c);
            before << c->toolTip();
        }
        const QString shipped = QStringLiteral(TEST_DATA_DIR "/../../data/Hints.ini");
        QCOMPARE(ui::hintLanguages(shipped), (QStringList{"English", "Deutsch"}));
        ui::applyHintLanguage(*w, shipped, "English", 0);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(all[i]->toolTip(), before[i]);
        QVERIFY(t.script.problems().isEmpty());
        // Every key has its text in both languages.
        for (const ui::HintEntry& entry : ui::kHintTable)
            for (const char* language : {"English", "Deutsch"})
                QVERIFY2(!platform::readIniText(language, entry.key, QString(), shipped).isEmpty(), entry.key);
    }

    // A pattern's hints first name their row; the reference selection then names the reference
    // the row's channel belongs to: a digit in the desk mode, a furniture letter in the bed modes.
    void placeholders_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("stroke2");
        QTest::addColumn<QString>("stroke4");
        QTest::addColumn<QString>("safe3");
        QTest::newRow("desk, one row per reference") << "COMBINED" << "rbSingle" << "Stroke of drive 2 in mm"
                                                     << "Stroke of drive 4 in mm" << "Safety stroke maximum of reference 3";
        QTest::newRow("desk, 3 in parallel") << "COMBINED" << "rb3par" << "Stroke of drive 2 in mm"
                                             << "Stroke of drive ? in mm" << "Safety stroke maximum of reference ?";
        QTest::newRow("bed") << "WZQ" << "rbSingle" << "Stroke of drive L in mm" << "Stroke of drive F in mm"
                             << "Safety stroke maximum of reference H";
    }
    void placeholders()
    {
        QFETCH(QString, product);
        QFETCH(QString, selection);
        WindowTest t;
        writeFile(t.program.filePath("Hints.ini"), kHints);
        auto w = t.start({product});
        w->control<QRadioButton>(selection)->click();
        QTEST(hint(*w, "cmbStroke2"), "stroke2");
        QTEST(hint(*w, "cmbStroke4"), "stroke4");
        QTEST(hint(*w, "cmbSafeStrokeMax3"), "safe3");
        // No placeholder: the same text everywhere. A placeholder at the start: the row, for good.
        QCOMPARE(hint(*w, "cmbAcEnable3"), "Anti-collision, no placeholder");
        QCOMPARE(hint(*w, "cmbSpeed3"), "3 is the row");
        QCOMPARE(hint(*w, "cmbPar1"), "Custom parameter one");
        // The channel boxes keep their row in the hint and their reference in their tag.
        QCOMPARE(hint(*w, "cmbChan3"), "Drive 3 channel");
        QCOMPARE(w->control("cmbChan3")->property("tag").toInt(), selection == "rbSingle" ? 2 : 0);
        QVERIFY(t.script.problems().isEmpty());
    }

    // The menu lists the file's languages in file order; choosing one replaces what it has texts
    // for, keeps the rest, and is remembered. The rows' hints go on naming their reference.
    void languageMenu()
    {
        WindowTest t;
        writeFile(t.program.filePath("Hints.ini"), kHints);
        auto w = t.start({"WZQ"});
        w->control<QRadioButton>("rbSingle")->click();
        QStringList checked;
        QCOMPARE(languageItems(*w, &checked), (QStringList{"English", "Deutsch"}));
        QCOMPARE(checked, QStringList{"English"});
        QVERIFY(w->menuItem("mniHintLanguage")->isVisible());

        languageItem(*w, "Deutsch")->trigger();
        QCOMPARE(hint(*w, "cmbStroke3"), "Hub von Antrieb H in mm");
        QCOMPARE(hint(*w, "cmbSpeed3"), "3 is the row");
        checked.clear();
        languageItems(*w, &checked);
        QCOMPARE(checked, QStringList{"Deutsch"});
        QVERIFY(readFile(t.settingsFile()).contains("HintLanguage=Deutsch"));

        // Chosen again: applied and stored again. The Settings tab's box takes reference 1's hint.
        writeFile(t.settingsFile(), "[CONFIG]\n");
        languageItem(*w, "English")->trigger();
        languageItem(*w, "English")->trigger();
        QVERIFY(languageItem(*w, "English")->isChecked());
        QVERIFY(readFile(t.settingsFile()).contains("HintLanguage=English"));
        QCOMPARE(hint(*w, "cmbStroke2"), "Stroke of drive L in mm");
        QCOMPARE(hint(*w, "cmbAct1"), "Actuator of drive B");
        QCOMPARE(hint(*w, "cmbActLt"), "Actuator of drive 1");
        QVERIFY(t.script.problems().isEmpty());
    }

    // The standard view names reference 1 in the Settings tab's boxes.
    void standardViewHints()
    {
        WindowTest t;
        writeFile(t.program.filePath("Hints.ini"), kHints);
        auto w = t.start();
        QCOMPARE(hint(*w, "cmbActLt"), "Actuator of drive 1");
        QCOMPARE(hint(*w, "cmbStrokeLt"), "Stroke of drive 1 in mm");
    }

    // "english" is not "English": nothing is checked and the form's hints stay. Without a hint
    // file there is no menu.
    void rememberedLanguageAndMissingFile()
    {
        WindowTest plain;
        auto reference = plain.start({"COMBINED"});
        const QString formHint = hint(*reference, "cmbStroke2");

        WindowTest t;
        writeFile(t.program.filePath("Hints.ini"), kHints);
        t.writeSetting("HintLanguage", "english");
        auto w = t.start({"COMBINED"});
        QStringList checked;
        QCOMPARE(languageItems(*w, &checked).size(), 2);
        QVERIFY(checked.isEmpty());
        QCOMPARE(hint(*w, "cmbStroke2"), formHint);

        QVERIFY(!reference->menuItem("mniHintLanguage")->isVisible());
        QCOMPARE(languageItems(*reference).size(), 0);
        QCOMPARE(formHint.isEmpty(), false);
    }

    // The manual of the mode in force, beside the program before the data directory; both
    // failures said.
    void help_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<QStringList>("inData");
        QTest::addColumn<QStringList>("inProgram");
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        const QString mz = "MZ40Std-configurator.pdf";
        QTest::newRow("data directory only") << "MZ40STD" << false << QStringList{mz} << QStringList{} << true
                                             << "data/" + mz << "";
        QTest::newRow("both: beside the program") << "MZ40STD" << false << QStringList{mz} << QStringList{mz} << true
                                                  << "bin/" + mz << "";
        QTest::newRow("desk, standard") << "" << false << QStringList{} << QStringList{"KVR5E-configurator.pdf"} << true
                                        << "bin/KVR5E-configurator.pdf" << "";
        QTest::newRow("desk, advanced, only the standard manual")
            << "" << true << QStringList{"KVR5E-configurator.pdf"} << QStringList{} << true << ""
            << "Help file not found:\n\nKVR5E-advanced-configurator.pdf";
        QTest::newRow("bed, no viewer") << "WZQ" << false << QStringList{} << QStringList{"WZQ-configurator.pdf"} << false
                                        << "bin/WZQ-configurator.pdf"
                                        << "Could not open help file\n\nIs Adobe Acrobat Reader installed?";
    }
    void help()
    {
        QFETCH(QString, product);
        QFETCH(bool, advanced);
        QFETCH(QStringList, inData);
        QFETCH(QStringList, inProgram);
        QFETCH(bool, viewer);
        QFETCH(QString, opened);
        QFETCH(QString, message);
        WindowTest t(advanced ? QByteArray("[CONFIG]\nAdvancedMode=1\n") : QByteArray());
        // The data directory is the program's parent when Actuators.ini is not beside the program.
        // (the test's folder holds Actuators.ini and Adv.ini; the program goes into bin/).
        QDir root(t.program.path());
        root.mkdir("bin");
        for (const QString& f : inData)
            writeFile(root.filePath(f), "%PDF-1.4\n");
        for (const QString& f : inProgram)
            writeFile(root.filePath("bin/" + f), "%PDF-1.4\n");
        QString openedPath;
        platform::setDocumentOpener([&](const QString& path) {
            openedPath = path;
            return viewer;
        });
        app::StartOptions options;
        options.arguments = product.isEmpty() ? QStringList{} : QStringList{product};
        options.programDirectory = root.filePath("bin");
        app::TfrmMain w(options);
        if (!message.isEmpty())
            t.script.expect(MessageKind::Information, message);
        w.menuItem("mniHelp")->trigger();
        platform::setDocumentOpener({});
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
        QCOMPARE(QFileInfo(openedPath).absoluteFilePath(),
                 opened.isEmpty() ? QString() : QFileInfo(root.filePath(opened.startsWith("data/") ? opened.mid(5) : opened)).absoluteFilePath());
    }

    // Every build puts the six manuals beside the program.
    void manualsBesideTheProgram()
    {
        for (int mode = 0; mode <= 4; ++mode)
            for (bool advanced : {false, true}) {
                const QString file = QStringLiteral(PROGRAM_DIR "/") + app::helpDocumentName(mode, advanced);
                QVERIFY2(readFile(file).startsWith("%PDF-"), qPrintable(file));
            }
    }

    // Advanced mode: every shown tab, two per row, the information panel below; the tab that was
    // active is active again. Mode 3 shows three tabs, so the last cell stays empty.
    void pictureOfTheTabs()
    {
        WindowTest t;
        t.writeSetting("Hardware", "3");
        auto w = t.start({"MZ40STD"});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTabWidget* tabs = w->pgcMain();
        QList<int> shown;
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i))
                shown << i;
        QCOMPARE(shown.size(), 3);
        w->setActivePage(tabs->widget(shown[2]));
        const int active = tabs->currentIndex();
        // What the second tab looks like on screen.
        w->setActivePage(tabs->widget(shown[1]));
        const QImage second = tabs->grab().toImage();
        const QImage first = (w->setActivePage(tabs->widget(shown[0])), tabs->grab().toImage());
        w->setActivePage(tabs->widget(active));

        const QString file = t.appData.filePath("picture");
        t.script.expectSaveFile(file);
        w->menuItem("mniPrint")->trigger();
        QVERIFY(t.script.problems().isEmpty());
        QCOMPARE(tabs->currentIndex(), active);
        const QImage picture(file + ".jpg");
        const QSize cell = tabs->size();
        const int info = w->control("gbInfo")->height();
        QCOMPARE(picture.size(), QSize(2 * cell.width(), 2 * cell.height() + info));
        const QImage cellTwo = picture.copy(QRect(QPoint(cell.width(), 0), cell));
        QVERIFY2(difference(cellTwo, second) < 4, qPrintable(QString::number(difference(cellTwo, second))));
        QVERIFY(difference(cellTwo, first) > 4 * difference(cellTwo, second));
        // The strip draws the captions and values it names, not the hardware rows.
        const QImage strip = picture.copy(0, 2 * cell.height(), picture.width(), info);
        const auto inked = [&](const char* label) {
            QWidget* l = w->control(label);
            const QRect place(l->mapTo(w->control("gbInfo"), QPoint(0, 0)), l->size());
            int dark = 0;
            for (int y = place.top(); y <= place.bottom(); ++y)
                for (int x = place.left(); x <= place.right(); ++x)
                    dark += qGray(strip.pixel(x, y)) < 100;
            return dark;
        };
        QVERIFY(inked("lblSoftware0") > 20);
        QVERIFY(inked("lblSerial") > 20);
        QCOMPARE(inked("lblHW0"), 0);
        QCOMPARE(inked("lblType"), 0);
        // Nor what the window hides: the MZ40 boxes count no sit/stands.
        QVERIFY(w->control("lblSitStands0")->isHidden());
        QCOMPARE(inked("lblSitStands0"), 0);
        // The empty cell and the strip carry the window's colour.
        const QColor colour = w->centralWidget()->palette().color(QPalette::Window);
        const QColor empty = picture.pixelColor(cell.width() + cell.width() / 2, cell.height() + cell.height() / 2);
        QVERIFY(std::abs(empty.red() - colour.red()) + std::abs(empty.green() - colour.green()) < 12);
    }

    // Standard mode: the window below its menu, as drawn.
    void pictureOfTheWindow()
    {
        WindowTest t;
        auto w = t.start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        // A name ending in a dot takes the extension without a second dot.
        const QString file = t.appData.filePath("window.jpg");
        t.script.expectSaveFile(t.appData.filePath("window."));
        w->menuItem("mniPrint")->trigger();
        const QImage picture(file);
        QCOMPARE(picture.size(), QSize(w->width(), w->height() - w->menuBar()->height()));
        // The same name again: asked first; No keeps the earlier picture.
        writeFile(file, "earlier");
        t.script.expectSaveFile(file);
        t.script.expect(MessageKind::Question, "File exists. Overwrite?", false);
        w->menuItem("mniPrint")->trigger();
        QCOMPARE(readFile(file), "earlier");
        t.script.expectSaveFile(file);
        t.script.expect(MessageKind::Question, "File exists. Overwrite?", true);
        w->menuItem("mniPrint")->trigger();
        QVERIFY(readFile(file).startsWith("\xff\xd8"));
        QVERIFY(t.script.problems().isEmpty());
    }

    // A file that cannot be written: said, and nothing left behind or changed; a read-only file
    // stays as it was, whoever runs the program.
    void unwritablePicture()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        const QString missing = t.appData.filePath("missing/folder/picture.jpg");
        const QString readOnly = writeFile(t.appData.filePath("kept.jpg"), "old picture");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        for (const QString& file : {missing, readOnly}) {
            t.script.clear();
            t.script.expectSaveFile(file);
            if (file == readOnly)
                t.script.expect(MessageKind::Question, "File exists. Overwrite?", true);
            w->menuItem("mniPrint")->trigger();
            QVERIFY2(t.script.shown().last().startsWith("Error: Cannot create file \"" + QDir::toNativeSeparators(file) + "\".\n\n"),
                     qPrintable(t.script.shown().join('|')));
        }
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(readFile(readOnly), "old picture");
        QCOMPARE(QDir(t.appData.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"kept.jpg"});
    }

    // The desktop's launcher reports by its exit status whether a viewer took the manual.
    void desktopLauncher_data()
    {
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<bool>("failed");
        QTest::newRow("a viewer took it") << 0 << false;
        QTest::newRow("no viewer") << 3 << true;
    }
    void desktopLauncher()
    {
        QFETCH(int, exitStatus);
        QTemporaryDir bin;
        const QString launcher = writeFile(bin.filePath("xdg-open"),
                                           "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/asked\"\nexit " + QByteArray::number(exitStatus) + "\n");
        QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
        bool failed = false;
        const bool asked = platform::openDocument("/manuals/WZQ-configurator.pdf", [&failed] { failed = true; });
        qputenv("PATH", path);
        QVERIFY(asked);
        QTRY_COMPARE(readFile(bin.filePath("asked")), "/manuals/WZQ-configurator.pdf\n");
        QTest::qWait(200);
        QTRY_COMPARE(failed, QTest::currentDataTag() == QByteArray("no viewer"));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
