// The upright table ("Carene dritte") and submerged-trim ("Assetto corpo
// totalmente immerso") dialogs, driven headless on the sample ships and
// checked against brelund-calc run on the same inputs.
#include "ScriptedDialogs.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "report/CTextGrid.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CSubmergedTrimDlg.h"
#include "ui/dialogs/CUprightHullsDlg.h"
#include "ui/dialogs/CalculationRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <memory>
#include <utility>

namespace {

QString Sample(const char* name) {
    return QString(BRELUND_SOURCE_DIR "/samples/") + name;
}

// A sample ship and a dialog shown on it.
template <class Dialog> struct Opened {
    explicit Opened(const char* sample) {
        LoadShipFile(ship, Sample(sample).toStdString());
        dialog.SetModel(&ship);
        dialog.show();
    }
    QLineEdit* Field(const char* name) { return dialog.template findChild<QLineEdit*>(name); }
    QString Text(const char* name) { return Field(name)->text(); }
    CShipModel ship;
    Dialog dialog;
};

struct CalcOutput {
    int exitCode = -1;
    QString out, err;
};

CalcOutput Calc(const QStringList& args) {
    QProcess process;
    process.start(BRELUND_CALC, args);
    CalcOutput result;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        result = {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                  QString::fromUtf8(process.readAllStandardError())};
    return result;
}

// The grid copied as a person does it (right button, "&Copia tabella"), with
// the LF line ends and final LF brelund-calc prints.
QString CopyByPopup(CScriptedDialogs& dialogs, CUprightHullsDlg& dialog) {
    QGuiApplication::clipboard()->clear();
    dialogs.menuChoices << "&Copia tabella";
    QTest::mouseClick(dialog.Grid()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    return QGuiApplication::clipboard()->text().replace("\r\n", "\n") + "\n";
}

QString GridText(CUprightHullsDlg& dialog) {
    return QString::fromStdString(GridToText(dialog.Grid()->ToTextGrid()));
}

QStringList Captions(QWidget& dialog) {
    QStringList texts;
    for (const QLabel* l : dialog.findChildren<QLabel*>())
        texts << l->text();
    for (const QGroupBox* g : dialog.findChildren<QGroupBox*>())
        texts << g->title();
    for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        texts << b->text();
    return texts;
}

const char* const kHeights = "Verificare il corretto inserimento dei dati relativi a zmin e zmax";

void SaveScreenshot(QWidget& dialog, const char* name) {
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(dialog.grab().save(QString(BRELUND_SCREENSHOT_DIR "/") + name));
}

} // namespace

class UprightTrimDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void uprightOpensOnTheHullsHeightsAndTheImmersedBody() {
        Opened<CUprightHullsDlg> o("wigley.nav");
        QCOMPARE(o.dialog.windowTitle(), QString("Carene dritte"));
        const QStringList texts = Captions(o.dialog);
        for (const char* text :
             {"Zmin", "Zmax", "dz", "[m]", "Teta x (Trasv)", "Teta y (Longitud)", "°", "Volume",
              "[m^3]", "Xb", "Yb", "Zb", "Proprietà corpo immerso", "Dati carena",
              "Disegno area di galleggiamento (dxf)", "Elabora tabella", "Chiudi"})
            QVERIFY2(texts.contains(text), text);
        QCOMPARE(texts.count("<--Flooding level"), 2);

        // brelund-calc starts from the same heights: its first and last
        // waterplanes, a fifth of the range apart cut to whole centimetres.
        const QStringList rows = Calc({"upright", Sample("wigley.nav")}).out.split('\n');
        QCOMPARE(rows.size(), 8); // headers, 6 rows, the final line end
        const double zmin = o.Text("zmin").toDouble(), zmax = o.Text("zmax").toDouble();
        QCOMPARE(rows[1].section('\t', 0, 0).toDouble(), zmin);
        QCOMPARE(rows[6].section('\t', 0, 0).toDouble(), zmax);
        QCOMPARE(o.Text("dz").toDouble(), std::trunc((zmax - zmin) * 100 / 5) * 0.01);
        QCOMPARE(rows[2].section('\t', 1, 1).toDouble(), o.Text("dz").toDouble());
        QCOMPARE(o.Text("heel") + o.Text("trim"), QString("00"));

        // The immersed body is the hull and the engine room together, as
        // brelund-calc lists their volumes, to 3 decimals; the ship is
        // symmetric about its centre plane.
        double volume = 0;
        for (const QString& line : Calc({"list", Sample("wigley.nav")}).out.split('\n'))
            if (line.startsWith("hull\t") || line.startsWith("compartment\t"))
                volume += line.section('\t', 5, 5).toDouble();
        QVERIFY(std::fabs(o.Text("volume").toDouble() - volume) <= 0.0005);
        QCOMPARE(o.Text("yb"), QString("0"));
        QVERIFY(o.Field("xb")->isReadOnly() && o.Field("volume")->isReadOnly());

        CMSFlexGrid* grid = o.dialog.Grid();
        QCOMPARE(grid->GetRows(), 5);
        QCOMPARE(grid->GetFixedRows(), 1);
        QCOMPARE(GridText(o.dialog).section("\r\n", 0, 0), rows[0]);
        QCOMPARE(o.dialog.Progress()->orientation(), Qt::Vertical);
        QCOMPARE(o.dialog.Progress()->toolTip(),
                 QString("Livello di riempimento-progressione dei calcoli"));
        QCOMPARE(o.dialog.Progress()->value(), 0);
    }

    void uprightTableIsTheCommandLineTable() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("wigley.nav");
        o.dialog.findChild<QPushButton*>("run")->click();
        QCOMPARE(CopyByPopup(dialogs, o.dialog), Calc({"upright", Sample("wigley.nav")}).out);
        QCOMPARE(o.dialog.Progress()->value(), o.dialog.Progress()->maximum());

        // Typed inputs, the first waterplane below the keel: a row with no
        // volume shows "0" and "-" from column 3 on.
        QStringList options = {"upright", Sample("wigley.nav")};
        for (auto [name, value] : {std::pair{"zmin", "-2.7"},
                                   {"zmax", "7.3"},
                                   {"dz", "0.7"},
                                   {"heel", "5"},
                                   {"trim", "-1.5"}}) {
            o.Field(name)->setText(value);
            options << QString("--") + name << value;
        }
        o.dialog.Run();
        SaveScreenshot(o.dialog, "CUprightHullsDlg.png");
        const QString copied = CopyByPopup(dialogs, o.dialog);
        QCOMPARE(copied, Calc(options).out);
        QCOMPARE(copied.section('\n', 1, 1),
                 QString("-2.7\t0\t0\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-"));
        QCOMPARE(o.dialog.Grid()->GetRows(), 16); // 10 m by 0.7: 15 waterplanes
        QVERIFY(dialogs.messages.isEmpty());

        // 1.99 steps: two waterplanes, Zmax never reached.
        o.Field("zmin")->setText("1");
        o.Field("zmax")->setText("1.995");
        o.Field("dz")->setText("0.5");
        o.dialog.Run();
        QCOMPARE(o.dialog.Grid()->GetRows(), 3);
        QCOMPARE(o.dialog.Grid()->GetTextMatrix(2, 0), QString("1.5"));
    }

    void exactRuleBoxGivesTheCommandLinesExactTableAndTrim() {
        // The Wigley sample has a flooded engine room: the body's volume
        // counts it at its permeability by the exact rule.
        Opened<CUprightHullsDlg> o("wigley.nav");
        CScriptedDialogs dialogs;
        auto* exact = o.dialog.findChild<QCheckBox*>("exact");
        QVERIFY(exact && exact->text() == "Integrazione esatta" && !exact->isChecked());
        const QString onePoint = o.Text("volume");
        exact->setChecked(true);
        QVERIFY(o.Text("volume") != onePoint);
        o.dialog.Run();
        QCOMPARE(CopyByPopup(dialogs, o.dialog),
                 Calc({"upright", Sample("wigley.nav"), "--rule", "exact"}).out);
        SaveScreenshot(o.dialog, "upright-exact.png");
        exact->setChecked(false);
        QCOMPARE(o.Text("volume"), onePoint);

        Opened<CSubmergedTrimDlg> t("submarine.nav");
        const char* const names[] = {"x", "y", "z", "weight", "tolerance", "heel"};
        const QStringList inputs = {"12", "0", "-0.3", "100", "0.0001", "0.05"};
        for (int k = 0; k < inputs.size(); ++k)
            t.Field(names[k])->setText(inputs[k]);
        t.dialog.findChild<QCheckBox*>("exact")->setChecked(true);
        t.dialog.Run();
        const CalcOutput calc =
            Calc({"trim", Sample("submarine.nav"), "--xg", "12", "--yg", "0", "--zg", "-0.3",
                  "--weight", "100", "--tolerance", "0.0001", "--heel", "0.05", "--rule", "exact"});
        QCOMPARE(t.Text("trim"), calc.out.section("Teta y\t", 1).trimmed());
    }

    void uprightRefusesHeightsThatMakeNoTable() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("barge.nav");
        o.dialog.Run();
        const QString table = GridText(o.dialog);
        const struct {
            const char *zmin, *zmax, *dz, *message;
        } cases[] = {
            {"3", "1", "0.5", kHeights},
            {"1", "1", "0.5", kHeights},
            {"0", "2", "0", kHeights},
            {"0", "2", "-0.5", kHeights},
            {"0", "abc", "0.5", "Immettere un numero."},
            {"0", "2", "0,5", "Immettere un numero."},
        };
        for (const auto& c : cases) {
            dialogs.messages.clear();
            o.Field("zmin")->setText(c.zmin);
            o.Field("zmax")->setText(c.zmax);
            o.Field("dz")->setText(c.dz);
            o.dialog.Run();
            QCOMPARE(dialogs.Texts(), QStringList({c.message}));
            QCOMPARE(GridText(o.dialog), table);
        }
    }

    void uprightDrawingIsTheCommandLineDrawingOrNothing() {
        CScriptedDialogs dialogs;
        QTemporaryDir folder;
        Opened<CUprightHullsDlg> o("wigley.nav");
        o.Field("heel")->setText("12");
        o.Field("trim")->setText("-0.5");
        o.Field("dz")->setText("0.5");
        o.dialog.findChild<QCheckBox*>("dxf")->setChecked(true);
        const CalcOutput calc = Calc({"upright", Sample("wigley.nav"), "--heel", "12", "--trim",
                                      "-0.5", "--dz", "0.5", "--dxf", folder.filePath("calc.dxf")});
        QCOMPARE(calc.exitCode, 0);

        // Cancelled: the table all the same, no file, the box still ticked.
        const QString before = QDir::currentPath();
        QDir::setCurrent(folder.path());
        o.dialog.Run();
        QDir::setCurrent(before);
        QCOMPARE(dialogs.saveDialogs, 1);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList("calc.dxf"));
        QVERIFY(o.dialog.findChild<QCheckBox*>("dxf")->isChecked());
        QCOMPARE(CopyByPopup(dialogs, o.dialog), calc.out);

        // Given a name without extension: NAME.dxf, the same bytes.
        dialogs.files << folder.filePath("waterlines");
        o.Field("dz")->setText("0");
        o.dialog.Run(); // refused before the file is asked for
        o.Field("dz")->setText("0.5");
        o.dialog.Run();
        QCOMPARE(dialogs.saveDialogs, 2);
        QFile drawn(folder.filePath("waterlines.dxf")), expected(folder.filePath("calc.dxf"));
        QVERIFY(drawn.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
        const QByteArray bytes = drawn.readAll();
        QVERIFY(bytes.count("\r\nLINE\r\n") > 100);
        QCOMPARE(bytes, expected.readAll());
        QCOMPARE(dialogs.Texts(), QStringList({kHeights}));

        // A drawing that cannot be written costs the drawing, not the
        // table, and the person is told.
        dialogs.files << folder.filePath("no-such-folder/waterlines.dxf");
        o.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1].text.section('\n', 1),
                 "Impossibile trovare " + folder.filePath("no-such-folder/waterlines.dxf") +
                     ".\nImpossibile creare un file in " + folder.filePath("no-such-folder") +
                     ": file o cartella inesistente");
        QCOMPARE(CopyByPopup(dialogs, o.dialog), calc.out);
    }

    void noDrawingReplacesTheOpenShipFile() {
        CScriptedDialogs dialogs;
        QTemporaryDir folder;
        const QString ship = folder.filePath("ship.nav");
        QVERIFY(QFile::copy(Sample("wigley.nav"), ship));
        QVERIFY(QFile::link(ship, folder.filePath("alias.dxf")));
        const QByteArray bytes = [&] {
            QFile f(ship);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        SetOpenShipFile(ship);
        Opened<CUprightHullsDlg> o("wigley.nav");
        o.dialog.findChild<QCheckBox*>("dxf")->setChecked(true);
        dialogs.files << folder.filePath("alias.dxf");
        o.dialog.Run();
        SetOpenShipFile(QString());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.startsWith("Impossibile scrivere il disegno DXF.\n"),
                 qPrintable(dialogs.messages[0].text));
        QFile after(ship);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        // The table is computed without the drawing.
        QVERIFY(o.dialog.Grid()->GetRows() > 2);
    }

    void aShipWithValuesThatAreNotNumbersIsRefusedNamingTheElement() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("wigley.nav");
        auto* room = static_cast<CCompartment*>(o.ship.FindElement("sala macchine"));
        QVERIFY(room);
        room->SetPermeability(std::nan(""));
        const QString before = GridText(o.dialog);
        o.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text,
                 QString("Impossibile eseguire il calcolo: compartimento 'sala macchine': la "
                         "permeabilità non è un numero."));
        QCOMPARE(GridText(o.dialog), before);
        // A disabled element is not read.
        room->SetEnabled(false);
        o.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(!GridText(o.dialog).contains("nan"));
        QVERIFY(o.dialog.Grid()->GetRows() > 2);
    }

    void uprightTableIsTheSameUnderAnItalianLocale() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("barge.nav");
        o.Field("dz")->setText("0.25");
        o.Field("heel")->setText("7.5");
        if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
            QSKIP("the it_IT.UTF-8 locale is not installed");
        o.dialog.Run();
        std::setlocale(LC_ALL, "C");
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(CopyByPopup(dialogs, o.dialog),
                 Calc({"upright", Sample("barge.nav"), "--dz", "0.25", "--heel", "7.5"}).out);
    }

    void gridPopupCopiesTheTableAndPasteDoesNothing() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("submarine.nav");
        o.dialog.Run();
        QVERIFY(CopyByPopup(dialogs, o.dialog)
                    .startsWith("Z[m]\tZ rel[m]\tV[m^3]\tRx[m]\tRy[m]\tXB[m]\tYB[m]\tZB[m]\t"
                                "Af[m^2]\txf[m]\tyf[m]\tLwl[m]\tBwl[m]\tS[m^2]\n"));
        QCOMPARE(dialogs.lastMenuItems, QStringList({"&Copia tabella", "&Incolla"}));

        const QString table = GridText(o.dialog);
        QGuiApplication::clipboard()->setText("before");
        dialogs.menuChoices << "&Incolla";
        QTest::mouseClick(o.dialog.Grid()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(dialogs.menuChoices.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QCOMPARE(GridText(o.dialog), table);
        // The left button shows no menu.
        dialogs.menuChoices << "&Copia tabella";
        QTest::mouseClick(o.dialog.Grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 30));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
    }

    void uprightShowsProgressAndStopsOrClosesWhenAsked() {
        Opened<CUprightHullsDlg> o("wigley.nav");
        auto* stop = o.dialog.findChild<QPushButton*>("stop");
        QVERIFY(stop);
        QCOMPARE(stop->text(), QString("Interrompi"));
        QVERIFY(!stop->isEnabled());
        const QString before = GridText(o.dialog);
        o.Field("dz")->setText("0.001"); // 10001 waterplanes
        QList<int> positions;
        QTimer knock;
        connect(&knock, &QTimer::timeout, this, [&] {
            if (!o.dialog.IsRunning())
                return;
            positions << o.dialog.Progress()->value();
            if (positions.back() > 1)
                QTest::mouseClick(stop, Qt::LeftButton);
        });
        knock.start(5);
        o.dialog.Run();
        knock.stop();
        if (positions.isEmpty() || positions.back() <= 1)
            QSKIP("the table was done before it could be stopped");
        // The bar rose row by row, never going back; the stop left the grid
        // as it was and the dialog open.
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QVERIFY(o.dialog.Progress()->value() < 10001);
        QCOMPARE(GridText(o.dialog), before);
        QVERIFY(o.dialog.isVisible());
        QVERIFY(!stop->isEnabled());

        // "Chiudi" during a run stops it and closes the dialog.
        QTimer::singleShot(0, &o.dialog, [&] {
            QVERIFY(o.dialog.IsRunning());
            QTest::mouseClick(o.dialog.findChild<QPushButton*>("close"), Qt::LeftButton);
        });
        o.dialog.Run();
        QVERIFY(!o.dialog.isVisible());
        QCOMPARE(GridText(o.dialog), before);
    }

    void trimIsTheCommandLineTrimAndASecondRunStartsFromIt() {
        CScriptedDialogs dialogs;
        Opened<CSubmergedTrimDlg> o("submarine.nav");
        QCOMPARE(o.dialog.windowTitle(), QString("Assetto corpo totalmente immerso"));
        const QStringList texts = Captions(o.dialog);
        for (const char* text :
             {"Il calcolo dell'assetto tiene conto del movimento dei carichi liquidi contenuti "
              "nelle casse",
              "Baricentro dei pesi del battello privo dei carichi liquidi", "x[m]", "y[m]", "z[m]",
              "Dislocamento a meno dei carichi liquidi [t]",
              "Precisione sulla stima dei bracci di stabilità [m]", "Teta x", "Teta y",
              "Calcola l'assetto", "Interrompi", "Chiudi"})
            QVERIFY2(texts.contains(text), text);
        QCOMPARE(texts.count("rad"), 2);
        const char* const names[] = {"x", "y", "z", "weight", "tolerance", "heel", "trim"};
        for (const char* name : names)
            QCOMPARE(o.Text(name), QString(name == names[4] ? "0.0001" : "0"));

        // 111.005 t and the tanks' 3.9852 t: the 114.985 t of water the hull
        // displaces, so the body hangs under water.
        const QStringList inputs = {"12", "0", "-0.3", "111.005", "0.0001", "0.05"};
        for (int k = 0; k < inputs.size(); ++k)
            o.Field(names[k])->setText(inputs[k]);
        o.dialog.findChild<QPushButton*>("run")->click();
        QCOMPARE(dialogs.Texts(), QStringList({"Calcolo eseguito"}));
        const QStringList options = {"trim",        Sample("submarine.nav"),
                                     "--xg",        "12",
                                     "--yg",        "0",
                                     "--zg",        "-0.3",
                                     "--weight",    "111.005",
                                     "--tolerance", "0.0001"};
        const CalcOutput calc = Calc(options + QStringList({"--heel", "0.05"}));
        const QString trim = calc.out.section("Teta y\t", 1).trimmed();
        QCOMPARE(o.Text("heel"), QString("2.86479")); // 0.05 rad
        QCOMPARE(calc.out.section('\n', 0, 0), QString("Teta x\t2.86479"));
        QCOMPARE(o.Text("trim"), trim);
        QVERIFY(std::fabs(trim.toDouble()) > 1); // the liquids moved the body off even keel
        QCOMPARE(Captions(o.dialog).count("°"), 2);
        QCOMPARE(Captions(o.dialog).count("rad"), 0);

        // Again without editing: the degrees shown are where the body rests,
        // and brelund-calc started there (in radians) agrees.
        o.dialog.Run();
        QCOMPARE(dialogs.Texts(), QStringList({"Calcolo eseguito", "Calcolo eseguito"}));
        QCOMPARE(o.Text("heel") + " " + o.Text("trim"), "2.86479 " + trim);
        const CalcOutput again = Calc(
            options + QStringList({"--heel", QString::number(DegToRad(2.86479), 'g', 17), "--trim",
                                   QString::number(DegToRad(trim.toDouble()), 'g', 17)}));
        QCOMPARE(again.out.section("Teta y\t", 1).trimmed(), trim);
        SaveScreenshot(o.dialog, "CSubmergedTrimDlg.png");
    }

    void trimRefusesWhatIsNotANumberOrANegativeWeight() {
        CScriptedDialogs dialogs;
        Opened<CSubmergedTrimDlg> o("submarine.nav");
        o.Field("trim")->setText("abc");
        o.dialog.Run();
        QCOMPARE(dialogs.Texts(), QStringList({"Immettere un numero."}));
        o.Field("trim")->setText("0.02");
        o.Field("weight")->setText("-5");
        o.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 2);
        const CalcOutput calc =
            Calc({"trim", Sample("submarine.nav"), "--xg", "0", "--yg", "0", "--zg", "0",
                  "--weight", "-5", "--tolerance", "0", "--trim", "0.02"});
        QCOMPARE(calc.exitCode, 1);
        // Each front end words the refusal: the dialog its message, the
        // command line its option.
        QCOMPARE(dialogs.messages[1].text,
                 QString("Il dislocamento a meno dei carichi liquidi non può essere negativo"));
        QVERIFY2(calc.err.contains("--weight (-5 t) cannot be negative"), qPrintable(calc.err));
        QCOMPARE(o.Text("trim"), QString("0.02"));
        QCOMPARE(o.dialog.findChild<QLabel*>("trimUnit")->text(), QString("rad"));
        // No lever comes within a tolerance of 0: the search does not settle.
        o.Field("weight")->setText("10");
        o.Field("tolerance")->setText("0");
        o.dialog.Run();
        QCOMPARE(dialogs.Texts().last(), QString("La ricerca dell'assetto non converge: il braccio "
                                                 "non rientra nella precisione richiesta"));
        QCOMPARE(o.Text("trim"), QString("0.02"));
    }

    void trimRunsOnItsDefaultsAndWarnsOfABodyThatWouldNotStayUnder() {
        // The tolerance it opens with lets the search settle.
        CScriptedDialogs dialogs;
        Opened<CSubmergedTrimDlg> o("submarine.nav");
        o.Field("weight")->setText("111");
        o.dialog.Run();
        QCOMPARE(dialogs.Texts(), QStringList{"Calcolo eseguito"});

        // A floating barge: 5000 t and 9.12 t of liquid against 738 t of
        // water wholly displaced. The angles still show, within a turn.
        Opened<CSubmergedTrimDlg> barge("barge.nav");
        barge.Field("x")->setText("50");
        barge.Field("z")->setText("3");
        barge.Field("weight")->setText("5000");
        barge.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1].text,
                 QString("Calcolo eseguito.\nAttenzione: il peso del corpo con i carichi liquidi "
                         "(5009.12 t) differisce dal peso dell'acqua spostata dal corpo "
                         "interamente immerso (738 t): a questo peso il corpo non galleggerebbe "
                         "totalmente immerso."));
        QCOMPARE(dialogs.messages[1].type & 0xF0u, unsigned(MB_ICONWARNING));
        QCOMPARE(barge.dialog.findChild<QLabel*>("trimUnit")->text(), QString("°"));
        const double trim = barge.Text("trim").toDouble();
        QVERIFY2(trim > -180 && trim <= 180, qPrintable(barge.Text("trim")));
    }

    void aHullFacingInwardsIsNamedBeforeTheCalculationWhichThePersonMayStop() {
        CScriptedDialogs dialogs;
        Opened<CUprightHullsDlg> o("barge.nav");
        o.dialog.Run();
        const QString table = GridText(o.dialog);
        o.ship.HullElements().GetAt(1)->InvertNormals();
        // Cancel: nothing computed, the table stays.
        dialogs.answers << IDCANCEL;
        o.dialog.Run();
        QCOMPARE(dialogs.Texts(),
                 QStringList{"Il volume di questo elemento non è quello disegnato:\n\nscafo "
                             "'scafo': versori verso l'interno: volume negativo (-720 m^3); "
                             "usare \"Inverti Versori\".\n\nEseguire comunque il calcolo?"});
        QCOMPARE(dialogs.messages[0].type, unsigned(MB_OKCANCEL | MB_ICONWARNING));
        QCOMPARE(GridText(o.dialog), table);
        // OK: computed on the hull as it is.
        dialogs.answers << IDOK;
        o.dialog.Run();
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(GridText(o.dialog) != table);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UprightTrimDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "UprightTrimDialogsTest.moc"
