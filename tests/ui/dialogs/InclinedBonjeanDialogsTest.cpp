// The inclined hydrostatics dialog ("Carene Inclinate") and the Bonjean
// dialog ("Tabelle del bonjean") on the sample ships: what they propose on
// opening, how they check and correct their inputs, and that the tables they
// show are, cell for cell, those brelund-calc prints for the same inputs, and
// their charts the grids' numbers.
#include "DialogSize.h"
#include "ScriptedDialogs.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"
#include "report/InclinedText.h"
#include "ui/dialogs/CBonjeanDlg.h"
#include "ui/dialogs/CChartPane.h"
#include "ui/dialogs/CInclinedHullsDlg.h"
#include "ui/dialogs/CMSFlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <clocale>
#include <cmath>

namespace {

const QString kCorrected = "Alcuni dati sono stati corretti automaticamente \n premere ok per "
                           "continuare";
const QString kDrawingFailed = "Impossibile scrivere il disegno DXF.\n";

// brelund-calc's stdout for a command on a sample ship (stderr to errors).
QString Calc(const QStringList& args, QString* errors = nullptr) {
    QProcess process;
    process.setWorkingDirectory(QString(BRELUND_SOURCE_DIR) + "/samples");
    process.start(BRELUND_CALC, args);
    if (!process.waitForFinished(240000) || process.exitCode() != 0)
        QTest::qFail(qPrintable("brelund-calc " + args.join(' ') + " failed"), __FILE__, __LINE__);
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A dialog shown on a sample ship (none for an empty name).
template <class Dialog> struct COpened {
    explicit COpened(const QString& sample) {
        if (!sample.isEmpty())
            LoadShipFile(ship, ToFilePath(QString(BRELUND_SOURCE_DIR) + "/samples/" + sample));
        dialog.SetModel(&ship);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            qFatal("the dialog is not shown");
    }
    CShipModel ship;
    Dialog dialog;
};

// The grid copied with the right button and "&Copia tabella", in
// brelund-calc's form: LF line ends and a final LF.
QString Copy(CScriptedDialogs& dialogs, CMSFlexGrid* grid) {
    QGuiApplication::clipboard()->setText("nothing copied");
    dialogs.menuChoices << "&Copia tabella";
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(8, 8));
    return QGuiApplication::clipboard()->text().replace("\r\n", "\n") + "\n";
}

QString GridText(const CMSFlexGrid* grid) {
    QString text;
    for (int r = 0; r < grid->GetRows(); ++r)
        for (int c = 0; c < grid->GetCols(); ++c)
            text += grid->GetTextMatrix(r, c) + (c + 1 < grid->GetCols() ? "\t" : "\n");
    return text;
}

QLineEdit* Field(QWidget& dialog, const QString& name) {
    auto* field = dialog.findChild<QLineEdit*>(name);
    if (!field)
        qFatal("no field %s", qPrintable(name));
    return field;
}

double Value(QWidget& dialog, const QString& name) {
    return Field(dialog, name)->text().toDouble();
}

// A click on a radio button's round indicator, where a person aims.
void ClickRadio(QWidget& dialog, const char* name) {
    auto* button = dialog.findChild<QRadioButton*>(name);
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect indicator =
        button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// brelund-calc's options typed into a dialog: "--vi 500" into the field
// "vi", "--kind gz" as a click on "Free to trim (GZ)", the "--extra"
// station numbers one a line in "Sezioni aggiuntive".
void Type(QWidget& dialog, const QStringList& options) {
    QStringList extra;
    for (int k = 0; k + 1 < options.size(); k += 2) {
        const QString name = options[k].mid(2), value = options[k + 1];
        if (name == "kind")
            ClickRadio(dialog, value == "gz" ? "kindGZ" : "kindKZ");
        else if (name == "rule")
            dialog.findChild<QCheckBox*>("exact")->setChecked(value == "exact");
        else if (name == "extra")
            extra << value;
        else
            Field(dialog, name)->setText(value);
    }
    if (auto* box = dialog.findChild<QPlainTextEdit*>("extra"))
        box->setPlainText(extra.join('\n'));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveScreenshot(QWidget& dialog, const QString& name) {
    QTest::qWait(20); // the chart lays itself out
    QVERIFY(QDir().mkpath(BRELUND_SCREENSHOT_DIR));
    QVERIFY(dialog.grab().save(QString(BRELUND_SCREENSHOT_DIR) + "/" + name + ".png"));
}

// Each curve of a chart: its name, then its points as "key value".
QStringList ChartText(const CChartPane& chart) {
    QStringList curves;
    for (int c = 0; c < chart.CurveCount(); ++c) {
        QString text = chart.CurveName(c);
        for (const auto& [key, value] : chart.CurvePoints(c))
            text += QString("|%1 %2").arg(key, 0, 'g', 17).arg(value, 0, 'g', 17);
        curves << text;
    }
    return curves;
}

// The inclined chart against the grid: KZ a curve per heel against the
// volume, GZ a curve per volume against the heel, named by them; each
// point a cell with a lever, printed as the grid prints it. Of more than 400
// curves one in so many is drawn, and the last, as the note over it says.
void CompareInclinedChart(const CInclinedHullsDlg& dialog) {
    const CMSFlexGrid& grid = *dialog.Grid();
    const CChartPane& chart = *dialog.Chart();
    const bool cross = grid.GetTextMatrix(1, 1) == "KZ [m]";
    const int volumes = grid.GetRows() - 2, angles = grid.GetCols() - 2;
    const int curves = cross ? angles : volumes, stride = (curves + 399) / 400;
    QCOMPARE(chart.Note(),
             stride > 1
                 ? QString("Una curva ogni %1 delle %2 della tabella").arg(stride).arg(curves)
                 : QString());
    QList<int> shown;
    for (int c = 0; c < curves; ++c)
        if (c % stride == 0 || c == curves - 1)
            shown << c;
    QCOMPARE(chart.CurveCount(), shown.size());
    QCOMPARE(chart.chart()->series().size(), chart.CurveCount());
    const auto* key = static_cast<QValueAxis*>(chart.chart()->axes(Qt::Horizontal).at(0));
    QCOMPARE(key->titleText(), cross ? grid.GetTextMatrix(1, 0) : grid.GetTextMatrix(0, 1));
    for (int curve = 0; curve < chart.CurveCount(); ++curve) {
        const int c = shown[curve];
        QCOMPARE(chart.CurveAxisTitle(curve), grid.GetTextMatrix(1, 1));
        const QString name = chart.CurveName(curve);
        if (cross)
            QCOMPARE(name, grid.GetTextMatrix(0, c + 2) + "°");
        else
            QCOMPARE(QString::fromStdString(InclinedVolumeText(name.section(' ', 2, 2).toDouble())),
                     grid.GetTextMatrix(c + 2, 0));
        QStringList expected, drawn;
        for (int p = 2; p < (cross ? volumes : angles) + 2; ++p) {
            const int row = cross ? p : c + 2, col = cross ? c + 2 : p;
            if (grid.GetTextMatrix(row, col) != "-")
                expected << (cross ? grid.GetTextMatrix(row, 0) : grid.GetTextMatrix(0, col)) +
                                " " + grid.GetTextMatrix(row, col);
        }
        for (const auto& [k, value] : chart.CurvePoints(curve))
            drawn << QString::fromStdString((cross ? InclinedVolumeText(k) : InclinedAngleText(k)) +
                                            " " + FormatC("%.4G", value));
        QCOMPARE(drawn, expected);
    }
}

// The Bonjean chart of table 0 (areas) or 1 (moments) against its grid: a
// curve per station named by its header, a point per waterline printed as
// the grid prints it. The curves run by x, so they are matched by content.
void CompareBonjeanChart(CBonjeanDlg& dialog, int table) {
    dialog.ChartTable()->setCurrentIndex(table);
    const CMSFlexGrid& grid = table == 0 ? *dialog.AreasGrid() : *dialog.MomentsGrid();
    const CChartPane& chart = *dialog.Chart();
    QCOMPARE(chart.CurveCount(), grid.GetCols() - 1);
    QStringList expected, drawn;
    for (int c = 1; c < grid.GetCols(); ++c) {
        QString column = "Ord. " + grid.GetTextMatrix(0, c);
        for (int r = 1; r < grid.GetRows(); ++r)
            column += "|" + grid.GetTextMatrix(r, 0) + " " + grid.GetTextMatrix(r, c);
        expected << column;
    }
    for (int c = 0; c < chart.CurveCount(); ++c) {
        QCOMPARE(chart.CurveAxisTitle(c), table == 0 ? "Aree [m^2]" : "Sxy - My (m^3)");
        QString curve = chart.CurveName(c).section(',', 0, 0);
        for (const auto& [z, value] : chart.CurvePoints(c))
            curve += QString::fromStdString(FormatC("|%.4g %.5g", z, value));
        drawn << curve;
    }
    expected.sort();
    drawn.sort();
    QCOMPARE(drawn, expected);
}

// Options as they are typed on the command line.
QStringList Args(const char* line) {
    return QString(line).split(' ', Qt::SkipEmptyParts);
}

} // namespace

class InclinedBonjeanDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void inclinedOpensOnTheBodyWhollyImmersed() {
        CScriptedDialogs dialogs;
        // The barge is a box 30 x 8 x 3 m from (0, -4, 0): 720 m^3 centred at
        // (15, 0, 1.5); its tank is not part of the body.
        COpened<CInclinedHullsDlg> barge("barge.nav");
        CInclinedHullsDlg& dialog = barge.dialog;
        const QStringList names{"vmax", "xg",        "yg", "zg", "vi", "vf",
                                "dv",   "precision", "ai", "af", "da"};
        const QList<double> expected{720, 15, 0, 1.5, 360, 360, 0, 0.1, 0, 45, 15};
        for (int k = 0; k < names.size(); ++k)
            QVERIFY2(Value(dialog, names[k]) == expected[k], qPrintable(names[k]));
        QVERIFY(Field(dialog, "vmax")->isReadOnly());
        QCOMPARE(GridText(dialog.Grid()), QString("\tTeta [°]\t\t\t\t\nV [m^3]\tKZ [m]\t\t\t\t\n") +
                                              QString("\t\t\t\t\t\n").repeated(8));
        QCOMPARE(dialog.Grid()->GetFixedRows(), 2);
        QCOMPARE(dialog.Grid()->GetFixedCols(), 2);
        QVERIFY(dialog.findChild<QRadioButton*>("kindKZ")->isChecked());
        QVERIFY(!dialog.findChild<QRadioButton*>("kindXB")->isEnabled());
        QVERIFY(!dialog.findChild<QCheckBox*>("trajectories")->isChecked());

        // The Wigley hull with its engine room at full volume (no
        // permeability), each as brelund-calc list gives its volume.
        double body = 0;
        for (const QString& line : Calc({"list", "wigley.nav"}).split('\n')) {
            const QStringList cells = line.split('\t');
            if (cells.size() > 5 && (cells[0] == "hull" || cells[0] == "compartment"))
                body += cells[5].toDouble();
        }
        COpened<CInclinedHullsDlg> wigley("wigley.nav");
        QVERIFY(body > 4000 && std::fabs(Value(wigley.dialog, "vmax") - body) < 0.0006);
        QCOMPARE(Value(wigley.dialog, "vi"), Value(wigley.dialog, "vmax") / 2);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void inclinedTableIsTheCommandLines_data() {
        QTest::addColumn<QString>("ship");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("corrected"); // a field the run corrects, and its value
        QTest::newRow("opening values, KZ") << "wigley.nav" << QStringList{} << "";
        QTest::newRow("opening values, GZ") << "wigley.nav" << QStringList{"--kind", "gz"} << "";
        QTest::newRow("KZ, 500 to 4500 m^3, 0 to 90 deg")
            << "wigley.nav" << Args("--vi 500 --vf 4500 --dv 1000 --af 90 --da 10") << "";
        QTest::newRow("GZ, G typed")
            << "wigley.nav"
            << Args("--kind gz --xg 49.5 --zg 4 --vi 1500 --vf 3500 --dv 1000 --af 60 --da 10")
            << "";
        QTest::newRow("GZ, precision 0.01, 5 to 45 by 7.5")
            << "barge.nav"
            << Args("--kind gz --xg 20.5 --zg 2.5 --vi 100 --vf 700 --dv 150 --ai 5 --af 45 --da "
                    "7.5 --precision 0.01")
            << "";
        // The exact rule, "Integrazione esatta", with the volumes and G typed:
        // the command line opens on the exact body, the dialog on the one it
        // showed first.
        QTest::newRow("KZ, exact rule")
            << "wigley.nav" << Args("--rule exact --vi 500 --vf 4500 --dv 1000 --af 90 --da 10")
            << "";
        QTest::newRow("GZ, exact rule")
            << "wigley.nav"
            << Args("--rule exact --kind gz --xg 49.5 --yg 0 --zg 4 --vi 1500 --vf 3500 --dv 1000 "
                    "--af 60 --da 10")
            << "";
        QTest::newRow("final angle 400 corrected to 360")
            << "barge.nav" << QStringList{"--af", "400"} << "af=360";
        QTest::newRow("KZ, 721 heels drawn one in two")
            << "barge.nav" << Args("--af 360 --da 0.5") << "";
        QTest::newRow("final volume above the body cut to it")
            << "barge.nav" << Args("--vi 360 --vf 1000 --dv 500") << "vf=720";
    }

    void inclinedTableIsTheCommandLines() {
        QFETCH(QString, ship);
        QFETCH(QStringList, options);
        QFETCH(QString, corrected);
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened(ship);
        Type(opened.dialog, options);
        Click(opened.dialog, "run");
        QCOMPARE(Copy(dialogs, opened.dialog.Grid()),
                 Calc(QStringList{"inclined", ship} + options));
        CompareInclinedChart(opened.dialog);
        if (corrected.isEmpty()) {
            QVERIFY(dialogs.messages.isEmpty());
        } else {
            QCOMPARE(dialogs.Texts(), QStringList{kCorrected});
            QCOMPARE(dialogs.messages[0].type & 0xFu, unsigned{MB_OK});
            const QStringList field = corrected.split('=');
            QCOMPARE(Field(opened.dialog, field[0])->text(), field[1]);
        }
        if (QTest::currentDataTag() == QString("GZ, G typed")) {
            // The heels 0 to 60 in tens: a key axis refitted as each curve
            // came used to widen to 0 to 100 in fifties.
            const auto* heel = static_cast<QValueAxis*>(
                opened.dialog.Chart()->chart()->axes(Qt::Horizontal).at(0));
            QCOMPARE(heel->min(), 0.0);
            QCOMPARE(heel->max(), 60.0);
            QCOMPARE(heel->tickCount(), 7);
            SaveScreenshot(opened.dialog, "CInclinedHullsDlg");
        }
        if (QTest::currentDataTag() == QString("KZ, 500 to 4500 m^3, 0 to 90 deg"))
            SaveScreenshot(opened.dialog, "CInclinedHullsDlg-KZ");
    }

    void inclinedHeaderFollowsTheCalculationKind() {
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("barge.nav");
        CInclinedHullsDlg& dialog = opened.dialog;
        Click(dialog, "run");
        const QString kz = GridText(dialog.Grid());
        QVERIFY(kz.contains("KZ [m]"));
        Field(dialog, "vi")->setText("100.50");
        ClickRadio(dialog, "kindGZ");
        QCOMPARE(GridText(dialog.Grid()), QString(kz).replace("KZ [m]", "GZ [m]"));
        QCOMPARE(Field(dialog, "vi")->text(), QString("100.50")); // not rewritten
        ClickRadio(dialog, "kindXB");                             // disabled: cannot be chosen
        QVERIFY(dialog.findChild<QRadioButton*>("kindGZ")->isChecked());
        ClickRadio(dialog, "kindKZ");
        QCOMPARE(GridText(dialog.Grid()), kz);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void inclinedFieldThatIsNotANumberStopsTheRun() {
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("barge.nav");
        Click(opened.dialog, "run");
        const QString before = GridText(opened.dialog.Grid());
        const QStringList chart = ChartText(*opened.dialog.Chart());
        QCOMPARE(chart.size(), 4);
        opened.dialog.findChild<QCheckBox*>("trajectories")->setChecked(true);
        Field(opened.dialog, "vi")->setText("abc");
        Click(opened.dialog, "run");
        QCOMPARE(dialogs.Texts(), QStringList{"Immettere un numero."});
        // 720001 volumes at 4 angles: more cells than a table holds.
        Type(opened.dialog, Args("--vi 0 --vf 720 --dv 0.001"));
        Click(opened.dialog, "run");
        QCOMPARE(dialogs.Texts().last(), QString("La tabella avrebbe più di un milione di celle di "
                                                 "volumi e angoli: scegliere incrementi maggiori"));
        QCOMPARE(GridText(opened.dialog.Grid()), before);
        QCOMPARE(ChartText(*opened.dialog.Chart()), chart);
        QCOMPARE(dialogs.saveDialogs, 0);
    }

    void inclinedTrajectoriesGoToTheChosenDrawing() {
        QTemporaryDir dir;
        const QStringList options = Args("--vi 1500 --vf 3500 --dv 1000");
        const QString table = Calc(QStringList{"inclined", "wigley.nav"} + options +
                                   QStringList{"--trajectories", dir.filePath("calc.dxf")});
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("wigley.nav");
        CInclinedHullsDlg& dialog = opened.dialog;
        Type(dialog, options);
        dialog.findChild<QCheckBox*>("trajectories")->setChecked(true);

        // Cancelled: the table all the same, no word, the box still ticked.
        Click(dialog, "run");
        QCOMPARE(dialogs.saveDialogs, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialog.findChild<QCheckBox*>("trajectories")->isChecked());
        QCOMPARE(Copy(dialogs, dialog.Grid()), table);

        // A name without extension gets ".dxf"; one path per volume.
        dialogs.files << dir.filePath("paths");
        Click(dialog, "run");
        const QByteArray drawing = ReadAll(dir.filePath("paths.dxf"));
        QCOMPARE(drawing.count("\nPOLYLINE\r\n"), 3);
        QCOMPARE(drawing, ReadAll(dir.filePath("calc.dxf")));
        QVERIFY(dialogs.messages.isEmpty());

        // A drawing that cannot be created is reported; the table is computed.
        dialog.Grid()->SetRows(2);
        dialogs.files << dir.filePath("no such folder/paths.dxf");
        Click(dialog, "run");
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.startsWith(kDrawingFailed));
        QCOMPARE(Copy(dialogs, dialog.Grid()), table);
    }

    void inclinedCellsWithoutValueAreExplainedAsTheCommandLineWarns() {
        // Volume 0 floats at no waterline: its cells show "-".
        const QStringList options = Args("--vi 0 --vf 720 --dv 360");
        QString warnings;
        const QString table = Calc(QStringList{"inclined", "barge.nav"} + options, &warnings);
        const QString prefix = "brelund-calc: warning: ";
        QStringList expected = warnings.split('\n').filter(QRegularExpression("^" + prefix));
        QCOMPARE(expected.size(), 4);
        // The same cells and figures, worded in Italian.
        expected.replaceInStrings(
            QRegularExpression("^" + prefix +
                               R"(cell (\(\d+, \d+\)), V = (\S+) m\^3, Teta = (\S+) deg, )"
                               R"(shows "-": the volume is not within the ship's )"
                               R"(total volume$)"),
            R"(La cella \1, V = \2 m^3, Teta = \3°, mostra "-": il volume non è compreso nel )"
            R"(volume totale della nave)");
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("barge.nav");
        Type(opened.dialog, options);
        Click(opened.dialog, "run");
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text.split('\n'), expected);
        QCOMPARE(Copy(dialogs, opened.dialog.Grid()), table);
        CompareInclinedChart(opened.dialog); // the curves pass the cells over
    }

    void inclinedEscapeDuringARunStopsItAndClosesTheDialog() {
        QTemporaryDir dir;
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("wigley.nav");
        CInclinedHullsDlg& dialog = opened.dialog;
        Type(dialog, Args("--kind gz --vi 100 --vf 4800 --dv 500 --af 90 --da 5"));
        dialog.findChild<QCheckBox*>("trajectories")->setChecked(true);
        dialogs.files << dir.filePath("paths.dxf");
        const QString before = GridText(dialog.Grid());
        bool sawRunning = false;
        // Timers fire while the table is computed, as keys arrive.
        QTimer::singleShot(0, &dialog, [&] {
            sawRunning = dialog.IsRunning();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        Click(dialog, "run");
        QVERIFY(sawRunning);
        QVERIFY(!dialog.isVisible());
        // Nothing of the run: the grid as it was, no drawing, no word.
        QCOMPARE(GridText(dialog.Grid()), before);
        QVERIFY(!QFile::exists(dir.filePath("paths.dxf")));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void inclinedGivesTheSameTextUnderAnItalianLocale() {
        const QStringList options =
            Args("--vi 1000.5 --vf 3000 --dv 999.75 --af 37.5 --da 7.5 --precision 0.05");
        const QString expected = Calc(QStringList{"inclined", "wigley.nav"} + options);
        CScriptedDialogs dialogs;
        COpened<CInclinedHullsDlg> opened("wigley.nav");
        if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
            QSKIP("the it_IT.UTF-8 locale is not installed");
        Type(opened.dialog, options);
        Click(opened.dialog, "run");
        const QString copied = Copy(dialogs, opened.dialog.Grid());
        std::setlocale(LC_ALL, "C");
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(copied, expected);
    }

    void bonjeanOpensOnTheHullsBox() {
        CScriptedDialogs dialogs;
        // The Wigley drawing runs from x 0 to 100, from the keel at z 0 to
        // the deck at 10.
        COpened<CBonjeanDlg> wigley("wigley.nav");
        const QList<double> box{0, 100, 0, 10};
        const QStringList names{"xmin", "xmax", "zmin", "zmax"};
        for (int k = 0; k < names.size(); ++k) {
            QVERIFY(std::fabs(Value(wigley.dialog, names[k]) - box[k]) < 1e-9);
            QVERIFY(Field(wigley.dialog, names[k])->isReadOnly());
        }
        for (const char* name : {"zstart", "zend", "dz", "station0", "station20"})
            QCOMPARE(Field(wigley.dialog, name)->text(), QString("0"));
        for (CMSFlexGrid* grid : {wigley.dialog.AreasGrid(), wigley.dialog.MomentsGrid()})
            QVERIFY(grid->GetRows() == 2 && grid->GetCols() == 2 && grid->GetFixedRows() == 1 &&
                    grid->GetFixedCols() == 1);
        QVERIFY(dialogs.messages.isEmpty());

        // No hull: said once, at the opening; the box stays 0.
        COpened<CBonjeanDlg> empty("");
        empty.dialog.hide();
        empty.dialog.show();
        QCOMPARE(dialogs.Texts(),
                 QStringList{"C'è stato qualche problema nel calcolo delle dimensioni principali "
                             "del modello 'scafo'! \n Si è sicuri di aver caricato la carena?"});
        QCOMPARE(Value(empty.dialog, "xmax"), 0.0);
    }

    void bonjeanTablesAreTheCommandLines_data() {
        QTest::addColumn<QString>("ship");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("wigley, stations 10 and 2.5 on two lines")
            << "wigley.nav"
            << Args("--zstart 0 --zend 10 --dz 0.5 --station0 0 --station20 100 --extra 10 --extra "
                    "2.5");
        QTest::newRow("barge, below the keel to above the deck, dz 0.3")
            << "barge.nav"
            << Args("--zstart -0.5 --zend 3.3 --dz 0.3 --station0 0 --station20 30 --extra -3");
    }

    void bonjeanTablesAreTheCommandLines() {
        QFETCH(QString, ship);
        QFETCH(QStringList, options);
        CScriptedDialogs dialogs;
        COpened<CBonjeanDlg> opened(ship);
        Type(opened.dialog, options);
        Click(opened.dialog, "compute");
        QVERIFY(dialogs.messages.isEmpty());
        const QStringList command = QStringList{"bonjean", ship} + options;
        // The copy takes the grid the right button was pressed on.
        QCOMPARE(Copy(dialogs, opened.dialog.MomentsGrid()),
                 Calc(command + QStringList{"--table", "moments"}));
        QCOMPARE(opened.dialog.ClickedGrid(), 2);
        QCOMPARE(Copy(dialogs, opened.dialog.AreasGrid()),
                 Calc(command + QStringList{"--table", "areas"}));
        QCOMPARE(opened.dialog.ClickedGrid(), 1);
        CompareBonjeanChart(opened.dialog, 0);
        if (QTest::currentDataTag() == QString("wigley, stations 10 and 2.5 on two lines"))
            SaveScreenshot(opened.dialog, "CBonjeanDlg");
        CompareBonjeanChart(opened.dialog, 1);
        if (QTest::currentDataTag() == QString("wigley, stations 10 and 2.5 on two lines"))
            SaveScreenshot(opened.dialog, "CBonjeanDlg-moments");
        // Line ends as other programs paste them read the same.
        for (const QString& typed : {QString("10\r\n2.5"), QString("10\u20292.5")})
            QCOMPARE(CBonjeanDlg::AdditionalSectionsText(typed), std::string("10\r\n2.5"));
    }

    void bonjeanRefusesInputsWithTheirMessages_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("Zstart above Zend")
            << Args("--zstart 2 --zend 1") << "Verificare l'input relativo alle 'z' !";
        QTest::newRow("station 0 ahead of the hull")
            << QStringList{"--station0", "-1"} << "Verificare l'input relativo alle 'x' !";
        QTest::newRow("step wider than the range")
            << Args("--zend 1 --dz 2") << "Verificare il valore di 'dz'! ";
        QTest::newRow("no step over a range")
            << QStringList{"--zend", "1"}
            << "Verificare il valore di 'dz' \n o verificare m_z_end! ";
        QTest::newRow("not a number") << QStringList{"--zend", "abc"} << "Immettere un numero.";
    }

    void bonjeanRefusesInputsWithTheirMessages() {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        CScriptedDialogs dialogs;
        COpened<CBonjeanDlg> opened("wigley.nav");
        Type(opened.dialog, options);
        Click(opened.dialog, "compute");
        Click(opened.dialog, "extract");
        QCOMPARE(dialogs.Texts(), QStringList({message, message}));
        QCOMPARE(dialogs.saveDialogs, 0);
        QCOMPARE(opened.dialog.AreasGrid()->GetRows(), 2);
    }

    void bonjeanInterrompiKeepsTheTablesShown() {
        CScriptedDialogs dialogs;
        COpened<CBonjeanDlg> opened("wigley.nav");
        auto* stop = opened.dialog.findChild<QPushButton*>("stop");
        QVERIFY(stop && !stop->isEnabled());
        QCOMPARE(stop->text(), QString("Interrompi"));
        Type(opened.dialog, Args("--zstart 0 --zend 10 --dz 2 --station0 0 --station20 100"));
        Click(opened.dialog, "compute");
        const QString areas = GridText(opened.dialog.AreasGrid());
        const QString moments = GridText(opened.dialog.MomentsGrid());
        const QStringList chart = ChartText(*opened.dialog.Chart());
        QCOMPARE(opened.dialog.AreasGrid()->GetRows(), 7);
        QCOMPARE(chart.size(), 21);
        // A million cells, stopped as soon as they are under way.
        Field(opened.dialog, "dz")->setText("0.0002");
        bool sawRunning = false;
        QTimer::singleShot(0, &opened.dialog, [&] {
            sawRunning = opened.dialog.IsRunning() && stop->isEnabled();
            QTest::mouseClick(stop, Qt::LeftButton);
        });
        Click(opened.dialog, "compute");
        QVERIFY(sawRunning);
        QVERIFY(opened.dialog.isVisible());
        QVERIFY(!stop->isEnabled());
        QCOMPARE(GridText(opened.dialog.AreasGrid()), areas);
        QCOMPARE(GridText(opened.dialog.MomentsGrid()), moments);
        QCOMPARE(ChartText(*opened.dialog.Chart()), chart);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void bonjeanStationThatIsNotANumberIsRefusedInItsBox() {
        for (const char* typed : {"10\nabc", "1,5"}) {
            CScriptedDialogs dialogs;
            COpened<CBonjeanDlg> opened("wigley.nav");
            Type(opened.dialog, Args("--zstart 0 --zend 5 --dz 1 --station0 0 --station20 100"));
            auto* box = opened.dialog.findChild<QPlainTextEdit*>("extra");
            box->setPlainText(typed);
            Click(opened.dialog, "compute");
            QCOMPARE(dialogs.Texts(), QStringList{"Immettere un numero."});
            QCOMPARE(opened.dialog.focusWidget(), static_cast<QWidget*>(box));
            QCOMPARE(opened.dialog.AreasGrid()->GetRows(), 2);
        }
    }

    void bonjeanSectionsGoToTheChosenDrawing() {
        QTemporaryDir dir;
        const QStringList options =
            Args("--zstart 0 --zend 3 --dz 1 --station0 0 --station20 30 --extra 5");
        Calc(QStringList{"bonjean", "barge.nav", "--sections", dir.filePath("calc.dxf")} + options);
        CScriptedDialogs dialogs;
        COpened<CBonjeanDlg> opened("barge.nav");
        Type(opened.dialog, options);
        Click(opened.dialog, "extract"); // cancelled: nothing written, nothing said
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"calc.dxf"});
        dialogs.files << dir.filePath("sections") << dir.filePath("no such folder/s.dxf");
        Click(opened.dialog, "extract");
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(ReadAll(dir.filePath("sections.dxf")), ReadAll(dir.filePath("calc.dxf")));
        Click(opened.dialog, "extract");
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.startsWith(kDrawingFailed));
        QCOMPARE(dialogs.saveDialogs, 3);
    }

    void everyCalculationDialogOpensAtItsLayoutsSize() {
        // The Bonjean dialog warns of an empty ship as it opens: six times
        // over, it still opens whole.
        CScriptedDialogs dialogs;
        for (int i = 0; i < 6; ++i) {
            COpened<CBonjeanDlg> empty("");
            QVERIFY2(WhatIsTooSmall(empty.dialog).isEmpty(),
                     qPrintable(WhatIsTooSmall(empty.dialog)));
        }
        QCOMPARE(dialogs.messages.size(), 6);
        COpened<CBonjeanDlg> bonjean("barge.nav");
        QVERIFY2(WhatIsTooSmall(bonjean.dialog).isEmpty(),
                 qPrintable(WhatIsTooSmall(bonjean.dialog)));
        COpened<CInclinedHullsDlg> inclined("barge.nav");
        QVERIFY2(WhatIsTooSmall(inclined.dialog).isEmpty(),
                 qPrintable(WhatIsTooSmall(inclined.dialog)));
        // Both open within a 1024 x 768 screen.
        for (const QWidget* dialog :
             std::initializer_list<const QWidget*>{&bonjean.dialog, &inclined.dialog})
            QVERIFY2(dialog->frameGeometry().width() <= 1024 &&
                         dialog->frameGeometry().height() <= 768,
                     qPrintable(QString("%1 x %2")
                                    .arg(dialog->frameGeometry().width())
                                    .arg(dialog->frameGeometry().height())));
        SaveScreenshot(bonjean.dialog, "CBonjeanDlg-opened");
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InclinedBonjeanDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "InclinedBonjeanDialogsTest.moc"
