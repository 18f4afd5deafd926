// The curves of form ("Curve idrostatiche") and their chart, driven headless
// on the sample ships: the grids against brelund-calc hydrostatics on the
// same inputs, the chart against the grid, its pictures, the refusals, a
// stopped run.
#include "DialogSize.h"
#include "ScriptedDialogs.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"
#include "report/CTextGrid.h"
#include "ui/dialogs/CChartPane.h"
#include "ui/dialogs/CHydrostaticCurvesDlg.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CalculationRun.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>

namespace {

QString Sample(const char* name) {
    return QString(BRELUND_SOURCE_DIR "/samples/") + name;
}

struct Opened {
    explicit Opened(const char* sample) {
        LoadShipFile(ship, Sample(sample).toStdString());
        dialog.SetModel(&ship);
        dialog.show();
    }
    QLineEdit* Field(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    CShipModel ship;
    CHydrostaticCurvesDlg dialog;
};

QString Calc(const QStringList& args) {
    QProcess process;
    process.start(BRELUND_CALC, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return "brelund-calc failed: " + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A grid copied as a person does it (right button, "&Copia tabella"), with
// LF line ends.
QString CopyByPopup(CScriptedDialogs& dialogs, CMSFlexGrid& grid) {
    QGuiApplication::clipboard()->clear();
    dialogs.menuChoices << "&Copia tabella";
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, QPoint(20, 10));
    return QGuiApplication::clipboard()->text().replace("\r\n", "\n");
}

// Both grids as brelund-calc prints its two tables.
QString Copied(CScriptedDialogs& dialogs, Opened& o) {
    return CopyByPopup(dialogs, *o.dialog.DatumsGrid()) + "\n\n" +
           CopyByPopup(dialogs, *o.dialog.Grid()) + "\n";
}

QString GridText(const CMSFlexGrid& grid) {
    return QString::fromStdString(GridToText(grid.ToTextGrid()));
}

int Column(const CMSFlexGrid& grid, const QString& header) {
    for (int c = 0; c < grid.GetCols(); ++c)
        if (grid.GetTextMatrix(0, c) == header)
            return c;
    return -1;
}

// The chart's curves against the grid's columns: one per curve ticked, each
// point a row whose draught and value print as the grid's cells.
void CompareChartWithGrid(CHydrostaticCurvesDlg& dialog) {
    const CMSFlexGrid& grid = *dialog.Grid();
    const CChartPane& chart = *dialog.Chart();
    int ticked = 0;
    for (int k = 0; k < dialog.CurveList()->count(); ++k)
        ticked += dialog.CurveList()->item(k)->checkState() == Qt::Checked;
    QCOMPARE(chart.chart()->series().size(), ticked);
    QCOMPARE(chart.CurveCount(), ticked);
    const int t = Column(grid, "T[m]");
    QVERIFY(t >= 0);
    for (int curve = 0; curve < chart.CurveCount(); ++curve) {
        const int c = Column(grid, chart.CurveAxisTitle(curve));
        QVERIFY2(c >= 0, qPrintable(chart.CurveAxisTitle(curve)));
        QStringList expected, drawn;
        for (int r = 1; r < grid.GetRows(); ++r)
            if (grid.GetTextMatrix(r, c) != "-")
                expected << grid.GetTextMatrix(r, t) + " " + grid.GetTextMatrix(r, c);
        for (const auto& [key, value] : chart.CurvePoints(curve))
            drawn << QString::fromStdString(FormatC("%.6g %.6g", key, value));
        QCOMPARE(drawn, expected);
        const auto* series = static_cast<QXYSeries*>(chart.chart()->series()[curve]);
        QCOMPARE(series->count(), expected.size());
    }
}

void SaveScreenshot(QWidget& window, const char* name) {
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(window.grab().save(QString(BRELUND_SCREENSHOT_DIR "/") + name));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void OpenChartMenu(CChartPane& chart) {
    const QPoint at(chart.width() / 2, chart.height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, chart.viewport()->mapToGlobal(at));
    QApplication::sendEvent(chart.viewport(), &event);
}

const char* const kDraughts =
    "Verificare il corretto inserimento dei dati relativi alle immersioni: iniziale non "
    "maggiore della finale, passo maggiore di 0 e non più lungo dell'intervallo, al più 100000 "
    "immersioni";

} // namespace

class HydrostaticCurvesDlgTest : public QObject {
    Q_OBJECT

private slots:
    void gridsAreTheCommandLineTablesAndTheChartIsTheGrid() {
        CScriptedDialogs dialogs;
        Opened o("wigley.nav");
        QCOMPARE(o.dialog.windowTitle(), QString("Curve idrostatiche"));
        QCOMPARE(GridText(*o.dialog.Grid()).section('\t', 0, 1), QString("T[m]\tTA[m]"));
        QCOMPARE(o.dialog.Chart()->CurveCount(), 0);

        // The command's defaults: ten draughts, perpendiculars from the
        // deepest waterline.
        o.dialog.findChild<QPushButton*>("run")->click();
        QCOMPARE(Copied(dialogs, o), Calc({"hydrostatics", Sample("wigley.nav")}));
        QCOMPARE(o.dialog.Grid()->GetRows(), 11);
        QCOMPARE(o.dialog.Progress()->value(), 10);
        CompareChartWithGrid(o.dialog);
        QCOMPARE(o.dialog.Chart()->CurveCount(), 4);
        QTest::qWait(20); // the chart lays itself out
        SaveScreenshot(o.dialog, "CHydrostaticCurvesDlg.png");

        // The curves ticked are drawn from the table in hand, not computed
        // again; the coefficients have no value at T = 0.
        o.dialog.CurveList()->findItems("Cb", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
        QStringList options = {"hydrostatics", Sample("wigley.nav"), "--draughts", "0:6.5:0.5"};
        for (auto [name, value] : {std::pair{"from", "0"}, {"to", "6.5"}, {"step", "0.5"}})
            o.Field(name)->setText(value);
        for (auto [name, value] : {std::pair{"heel", "4"},
                                   {"trim", "-0.75"},
                                   {"density", "1.0"},
                                   {"baseline", "0.25"},
                                   {"ap", "2"},
                                   {"fp", "98"}}) {
            o.Field(name)->setText(value);
            options << QString("--") + name << value;
        }
        o.dialog.Run();
        QVERIFY(dialogs.messages.isEmpty());
        const QString copied = Copied(dialogs, o);
        QCOMPARE(copied, Calc(options));
        QVERIFY(copied.contains("\n0\t"));
        QCOMPARE(o.dialog.Chart()->CurveCount(), 5);
        CompareChartWithGrid(o.dialog);
        QCOMPARE(o.dialog.Chart()->CurvePoints(4).size(), std::size_t(13)); // Cb: not at T = 0
        for (int k = 0; k < o.dialog.CurveList()->count(); ++k)
            o.dialog.CurveList()->item(k)->setCheckState(Qt::Unchecked);
        QCOMPARE(o.dialog.Chart()->chart()->series().size(), 0);
        QCOMPARE(Copied(dialogs, o), copied);
    }

    void readOutNamesThePointNearestTheMouse() {
        CScriptedDialogs dialogs;
        Opened o("barge.nav");
        o.dialog.Run();
        QTest::qWait(20); // the chart lays itself out before a mouse comes
        CChartPane& chart = *o.dialog.Chart();
        QVERIFY(chart.CurveCount() > 1);
        // The third point of the second curve, 2 pixels off.
        const auto* series = static_cast<QXYSeries*>(chart.chart()->series()[1]);
        const QPointF at = chart.chart()->mapToPosition(series->at(2), chart.chart()->series()[1]);
        const QPoint pixel = chart.mapFromScene(chart.chart()->mapToScene(at)) + QPoint(2, 1);
        QTest::mouseMove(chart.viewport(), pixel);
        const auto [key, value] = chart.CurvePoints(1)[2];
        QCOMPARE(chart.ReadOut(),
                 QString("%1\nImmersione T [m] = %2\n%3 = %4")
                     .arg(chart.CurveName(1), QString::number(key, 'g', 6), chart.CurveAxisTitle(1),
                          QString::number(value, 'g', 6)));
        chart.HideReadOut();
        QCOMPARE(chart.ReadOut(), QString());
    }

    void chartOfManyCurvesFitsItsAxesOnlyWhenTheyChange() {
        // Twenty curves of 10000 points, as the Bonjean curves of waterlines
        // a millimetre apart: the axes, fitted by the first curve, are not
        // touched again, since each change maps every point of every curve
        // on them anew (the chart took seconds, growing with the square of
        // its curves).
        CChartPane chart;
        chart.Reset("z [m]", CChartPane::KeyAlong::vertical);
        const int axis = chart.AddValueAxis("A [m^2]");
        CChartPane::CPoints points;
        for (int k = 0; k <= 10000; ++k)
            points.emplace_back(k * 0.00123, k * 0.0077);
        chart.AddCurve("0", axis, points);
        QSignalSpy keyChanges(chart.chart()->axes(Qt::Vertical).at(0),
                              SIGNAL(rangeChanged(qreal, qreal)));
        QSignalSpy valueChanges(chart.chart()->axes(Qt::Horizontal).at(0),
                                SIGNAL(rangeChanged(qreal, qreal)));
        for (int c = 1; c < 20; ++c)
            chart.AddCurve(QString::number(c), axis, points);
        QCOMPARE(keyChanges.count(), 0);
        QCOMPARE(valueChanges.count(), 0);
        QCOMPARE(chart.CurveCount(), 20);
    }

    void chartExportsPngAndSvgAndCopiesItsPicture() {
        CScriptedDialogs dialogs;
        QTemporaryDir folder;
        Opened o("wigley.nav");
        o.dialog.Run();
        CChartPane& chart = *o.dialog.Chart();
        // A read-out on screen belongs to no picture.
        QTest::mouseMove(chart.viewport(), QPoint(chart.width() / 2, chart.height() / 2));
        QVERIFY(!chart.ReadOut().isEmpty());

        dialogs.menuChoices << "Esporta immagine PNG...";
        dialogs.files << folder.filePath("curves");
        OpenChartMenu(chart);
        QCOMPARE(dialogs.lastMenuItems, QStringList({"Esporta immagine PNG...",
                                                     "Esporta immagine SVG...", "Copia immagine"}));
        QImage png(folder.filePath("curves.png"));
        QVERIFY(!png.isNull());
        QCOMPARE(png.size(), chart.viewport()->size());
        QCOMPARE(png, chart.Picture().convertToFormat(png.format()));
        QVERIFY(!chart.ReadOut().isEmpty());

        dialogs.menuChoices << "Esporta immagine SVG...";
        dialogs.files << folder.filePath("curves.svg");
        OpenChartMenu(chart);
        QSvgRenderer svg(folder.filePath("curves.svg"));
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBoxF().size().toSize(), chart.viewport()->size());

        QGuiApplication::clipboard()->clear();
        dialogs.menuChoices << "Copia immagine";
        OpenChartMenu(chart);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), png.size());
        QVERIFY(dialogs.messages.isEmpty());

        // Neither a folder that is not there nor the open ship file takes
        // the picture; the ship file keeps its bytes.
        dialogs.menuChoices << "Esporta immagine PNG...";
        dialogs.files << folder.filePath("no such folder/curves.png");
        OpenChartMenu(chart);
        QCOMPARE(dialogs.Texts().size(), 1);
        QVERIFY2(dialogs.Texts()[0].startsWith("Impossibile scrivere l'immagine.\nImpossibile "
                                               "trovare"),
                 qPrintable(dialogs.Texts()[0]));
        const QString ship = folder.filePath("ship.nav");
        QVERIFY(QFile::copy(Sample("wigley.nav"), ship));
        SetOpenShipFile(ship);
        dialogs.menuChoices << "Esporta immagine SVG...";
        dialogs.files << ship;
        OpenChartMenu(chart);
        SetOpenShipFile(QString());
        QCOMPARE(dialogs.Texts().size(), 2);
        QCOMPARE(dialogs.Texts()[1], "Impossibile scrivere l'immagine.\n" + ship +
                                         " è il file della nave aperta: non viene sovrascritto.");
        QCOMPARE(ReadAll(ship), ReadAll(Sample("wigley.nav")));
    }

    void refusesInputsThatMakeNoTableInItalian() {
        CScriptedDialogs dialogs;
        Opened o("barge.nav");
        o.dialog.Run();
        const QString grid = GridText(*o.dialog.Grid());
        const int curves = o.dialog.Chart()->CurveCount();
        const struct {
            const char* field;
            const char* value;
            QString message;
        } cases[] = {
            {"to", "2", "Immettere un numero."}, // from and step left empty
            {"from", "3", ""},
            {"step", "0", kDraughts},
            {"step", "0.5", kDraughts}, // 3 to 2
            {"from", "1", ""},
            {"step", "0.00001", kDraughts}, // 100001 draughts
            {"step", "1.5", kDraughts},     // longer than the range
            {"from", "-1",
             "L'immersione -1 m porta il galleggiamento sotto il punto più basso "
             "dello scafo (lo tocca a un'immersione di 0 m)"},
            {"from", "1", ""},
            {"step", "0.5", ""},
            {"heel", "90",
             "Teta x (Trasv) deve essere minore di 90° in valore assoluto: le "
             "immersioni si leggono sulla verticale della nave, che a 90° giace nel "
             "piano di galleggiamento"},
            {"heel", "0", ""},
            {"density", "0", "La densità dell'acqua deve essere maggiore di 0"},
            {"density", "1.025", ""},
            {"ap", "3",
             "Immettere sia AP sia FP, o lasciarli entrambi vuoti per quelli "
             "predefiniti"},
            {"fp", "3", "AP e FP devono essere due ordinate diverse"},
            {"fp", "abc", "Immettere un numero."},
        };
        for (const auto& c : cases) {
            o.Field(c.field)->setText(c.value);
            if (c.message.isEmpty())
                continue;
            dialogs.messages.clear();
            o.dialog.Run();
            QCOMPARE(dialogs.Texts(), QStringList(c.message));
            QCOMPARE(GridText(*o.dialog.Grid()), grid);
            QCOMPARE(o.dialog.Chart()->CurveCount(), curves);
        }
        // Mended, the inputs run.
        o.Field("fp")->setText("27");
        dialogs.messages.clear();
        o.dialog.Run();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(o.dialog.Grid()->GetRows(), 4);
    }

    void showsProgressAndAStoppedRunShowsNothing() {
        Opened o("wigley.nav");
        o.dialog.Run();
        const QString before = GridText(*o.dialog.Grid());
        const auto points = o.dialog.Chart()->CurvePoints(0);
        // 60001 draughts.
        o.Field("from")->setText("0.25");
        o.Field("to")->setText("6.25");
        o.Field("step")->setText("0.0001");
        QList<int> positions;
        QTimer knock;
        connect(&knock, &QTimer::timeout, this, [&] {
            if (!o.dialog.IsRunning())
                return;
            positions << o.dialog.Progress()->value();
            if (positions.back() > 100)
                QTest::mouseClick(o.dialog.findChild<QPushButton*>("stop"), Qt::LeftButton);
        });
        knock.start(5);
        o.dialog.Run();
        knock.stop();
        if (positions.isEmpty() || positions.back() <= 100)
            QSKIP("the table was done before it could be stopped");
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QCOMPARE(o.dialog.Progress()->maximum(), 60001);
        QVERIFY(o.dialog.Progress()->value() < 60001);
        QCOMPARE(GridText(*o.dialog.Grid()), before);
        QCOMPARE(o.dialog.Chart()->CurvePoints(0), points);
        QVERIFY(o.dialog.isVisible());
    }

    void opensAtItsLayoutsSizeWithinAScreenOf1024By768() {
        Opened o("wigley.nav");
        QVERIFY(QTest::qWaitForWindowExposed(&o.dialog));
        QVERIFY2(WhatIsTooSmall(o.dialog).isEmpty(), qPrintable(WhatIsTooSmall(o.dialog)));
        QVERIFY(o.dialog.frameGeometry().width() <= 1024);
        QVERIFY(o.dialog.frameGeometry().height() <= 768);
        // The chart follows the window.
        const QSize chart = o.dialog.Chart()->size();
        o.dialog.resize(o.dialog.size() + QSize(-100, -80));
        QTest::qWait(0);
        QCOMPARE(o.dialog.Chart()->width(), chart.width() - 100);
        QVERIFY(o.dialog.Chart()->height() < chart.height());
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    HydrostaticCurvesDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HydrostaticCurvesDlgTest.moc"
