// "Stabilità" driven headless on the Wigley hull and its two sample
// conditions: the tables against brelund-calc stability --condition, the
// chart against the curve's table, the picture for the 3D view against the
// equilibrium, a refusal, a stopped run, the window's size.
#include "DialogSize.h"
#include "ScriptedDialogs.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"
#include "report/CTextGrid.h"
#include "ui/dialogs/CChartPane.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CStabilityDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace {

QString Sample(const char* name) {
    return QString(BRELUND_SOURCE_DIR "/samples/") + name;
}

// The Wigley hull (or another sample) copied with its conditions file
// beside it, opened as the application opens a ship.
struct Opened {
    explicit Opened(const QString& sample = "wigley") {
        ship = folder.filePath(sample + ".nav");
        QFile::copy(Sample(qPrintable(sample + ".nav")), ship);
        QFile::copy(Sample(qPrintable(sample + ".conditions.json")),
                    folder.filePath(sample + ".conditions.json"));
        LoadShipFile(model, ship.toStdString());
        LoadConditionsFile(ship.toStdString(), conditions);
        dialog.SetModel(&model);
        dialog.SetConditions(&conditions);
        dialog.show();
    }
    void Choose(const QString& name) {
        const auto items = dialog.ConditionList()->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        dialog.ConditionList()->setCurrentItem(items.front());
    }
    QTemporaryDir folder;
    QString ship;
    CShipModel model;
    CLoadingConditions conditions;
    CStabilityDlg dialog;
};

// The command's tables (curve, summary, criteria, openings), each as its TSV
// lines split into cells.
QList<QList<QStringList>> Calc(const QString& ship, const QString& condition,
                               const QStringList& more = {}) {
    QProcess process;
    process.start(BRELUND_CALC, QStringList{"stability", ship, "--condition", condition} + more);
    QList<QList<QStringList>> tables;
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return tables;
    for (const QString& section :
         QString::fromUtf8(process.readAllStandardOutput()).split("\n\n", Qt::SkipEmptyParts)) {
        QList<QStringList> rows;
        for (const QString& line : section.split('\n', Qt::SkipEmptyParts))
            rows << line.split('\t');
        tables << rows;
    }
    return tables;
}

QList<QStringList> Rows(const CMSFlexGrid& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.GetRows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.GetCols(); ++c)
            cells << grid.GetTextMatrix(r, c);
        rows << cells;
    }
    return rows;
}

// A grid copied as a person does it (right button, "&Copia tabella").
QString CopyByPopup(CScriptedDialogs& dialogs, CMSFlexGrid& grid) {
    QGuiApplication::clipboard()->clear();
    dialogs.menuChoices << "&Copia tabella";
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, QPoint(20, 10));
    return QGuiApplication::clipboard()->text();
}

void SaveScreenshot(QWidget& window, const QString& name) {
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(window.grab().save(QString(BRELUND_SCREENSHOT_DIR "/") + name));
}

// The frame SetRotation(heel, trim, 0) of a picture [deg].
CMatrix Frame(const CConditionPicture& p) {
    CMatrix r;
    r.SetRotation(p.heel * std::numbers::pi / 180, p.trim * std::numbers::pi / 180, 0);
    return r;
}

// (b - g) along row `row` of the frame: 1 along x', 2 along y'.
double Lever(const CConditionPicture& p, int row) {
    const CMatrix r = Frame(p);
    return *r.Element(row, 1) * (p.b.X() - p.g.X()) + *r.Element(row, 2) * (p.b.Y() - p.g.Y()) +
           *r.Element(row, 3) * (p.b.Z() - p.g.Z());
}

bool Same(const CVector3& a, const CVector3& b) {
    return a.X() == b.X() && a.Y() == b.Y() && a.Z() == b.Z();
}

} // namespace

class StabilityDlgTest : public QObject {
    Q_OBJECT

private slots:
    // The weather criterion of the sample barge's departure (a deckhouse
    // among its windage) at a typed pressure and bilge keel area: the
    // figures and its two criteria are those of the command with the same
    // options, and the Code's figure is drawn.
    void weatherCriterionIsTheCommandLines() {
        CScriptedDialogs dialogs;
        Opened o("barge");
        const QString name = "Partenza - criteri soddisfatti";
        o.Choose(name);
        QCOMPARE(o.dialog.BilgeKeelEdit()->text(), QString("0"));
        o.dialog.WeatherCheck()->setChecked(true);
        o.dialog.WindPressureEdit()->setText("600");
        o.dialog.BilgeKeelEdit()->setText("4.8");
        o.dialog.findChild<QPushButton*>("run")->click();
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(o.dialog.Weather().has_value());
        const auto calc = Calc(o.ship, name,
                               {"--weather", "--wind-pressure", "600", "--bilge-keel-area", "4.8"});
        QCOMPARE(calc.size(), 4);
        const QList<QStringList> figures = Rows(*o.dialog.WeatherGrid());
        QCOMPARE(figures.size(), calc[3][0].size() + 1);
        for (int k = 0; k < calc[3][0].size(); ++k) {
            QCOMPARE(figures[k + 1][0], calc[3][0][k]);
            QCOMPARE(figures[k + 1][1], calc[3][1][k]);
        }
        const QList<QStringList> criteria = Rows(*o.dialog.CriteriaGrid());
        QCOMPARE(criteria.size(), calc[2].size());
        QCOMPARE(criteria.size(), 9);
        for (int k = 7; k <= 8; ++k) {
            QCOMPARE(criteria[k].mid(1, 3), calc[2][k].mid(1, 3));
            QCOMPARE(criteria[k][5],
                     QString(calc[2][k][5] == "pass" ? "superato" : "non superato"));
        }
        QCOMPARE(criteria[7][0], QString::fromUtf8("Vento e rollio: area b ≥ area a"));

        // The figure: the curve from theta0 - theta1 to windward, lw1 and
        // lw2, and the areas a and b closing on lw2.
        const CWeatherResult& w = o.dialog.Weather()->result;
        const CChartPane& chart = *o.dialog.WeatherChart();
        QCOMPARE(chart.CurveCount(), 1);
        QCOMPARE(chart.CurvePoints(0).front().first, w.heel - w.roll);
        QVERIFY(chart.CurvePoints(0).front().first < 0);
        QVERIFY(chart.CurvePoints(0).back().first > w.limit);
        QStringList names;
        for (int f = 0; f < chart.FigureCount(); ++f)
            names << chart.FigureName(f);
        QVERIFY2(names.contains(QString("lw2 = %1 m").arg(calc[3][1][3])), qPrintable(names.join('|')));
        QVERIFY2(names.contains(QString::fromUtf8("Area a = %1 m·rad")
                                    .arg(calc[3][1][calc[3][0].indexOf("areaA[m*rad]")])),
                 qPrintable(names.join('|')));
        o.dialog.ChartTabs()->setCurrentIndex(1);
        o.dialog.CriteriaTabs()->setCurrentIndex(2);
        QTest::qWait(20); // the chart lays itself out
        SaveScreenshot(o.dialog, "CStabilityDlg-Vento.png");
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QFile png(BRELUND_SCREENSHOT_DIR "/CStabilityDlg-Vento-figura.png");
        QVERIFY(png.open(QIODevice::WriteOnly));
        png.write(chart.PngBytes());

        // A pressure that is no number is refused, and nothing computed.
        o.dialog.WindPressureEdit()->setText("forte");
        o.dialog.findChild<QPushButton*>("run")->click();
        QCOMPARE(dialogs.messages.size(), 1);
        // Switched off, the next run shows no weather figures of the last.
        o.dialog.WeatherCheck()->setChecked(false);
        o.dialog.findChild<QPushButton*>("run")->click();
        QVERIFY(!o.dialog.Weather().has_value());
        QCOMPARE(o.dialog.WeatherGrid()->GetRows(), 1);
        QCOMPARE(o.dialog.WeatherChart()->CurveCount(), 0);
        QCOMPARE(o.dialog.CriteriaGrid()->GetRows(), 7);
    }
    void tablesChartAndPictureAreTheCommandLinesCondition() {
        CScriptedDialogs dialogs;
        Opened o;
        QCOMPARE(o.dialog.windowTitle(), QString::fromUtf8("Stabilità"));
        QCOMPARE(o.dialog.ConditionList()->count(), 2);
        QSignalSpy pictures(&o.dialog, &CStabilityDlg::pictureChanged);
        int failed = 0;
        for (const QString name : {"Partenza - criteri soddisfatti", "Arrivo - GM insufficiente"}) {
            o.Choose(name);
            o.dialog.findChild<QPushButton*>("run")->click();
            QVERIFY(dialogs.messages.isEmpty());
            QVERIFY(o.dialog.Result().has_value());
            const auto calc = Calc(o.ship, name);
            QCOMPARE(calc.size(), 4); // the ship has openings

            // The curve's table is the command's, copied.
            QString curve;
            for (const QStringList& row : calc[0])
                curve += row.join('\t') + "\r\n";
            curve.chop(2);
            QCOMPARE(CopyByPopup(dialogs, *o.dialog.CurveGrid()), curve);

            // The equilibrium's figures are the summary's.
            const QList<QStringList> equilibrium = Rows(*o.dialog.EquilibriumGrid());
            const QStringList summary = {
                "Disp[t]",          "TA[m]", "T0[m]",       "TF[m]",  "trim0[m]",
                "equilibrium[deg]", "KG[m]", "GM0solid[m]", "FSC[m]", "GM0[m]"};
            QCOMPARE(equilibrium.size(), summary.size() + 1);
            for (int k = 0; k < summary.size(); ++k) {
                const qsizetype column = calc[1][0].indexOf(summary[k]);
                QVERIFY2(column >= 0, qPrintable(summary[k]));
                QCOMPARE(equilibrium[k + 1][1], calc[1][1][column]);
            }

            // The criteria: the same figures, passed in green, failed in red.
            const QList<QStringList> criteria = Rows(*o.dialog.CriteriaGrid());
            QCOMPARE(criteria.size(), calc[2].size());
            for (int k = 1; k < criteria.size(); ++k) {
                QCOMPARE(criteria[k].mid(1, 3), calc[2][k].mid(1, 3));
                const bool passes = calc[2][k][5] == "pass";
                QCOMPARE(criteria[k][5], QString(passes ? "superato" : "non superato"));
                const QColor colour = o.dialog.CriteriaGrid()->item(k, 5)->foreground().color();
                QCOMPARE(colour, passes ? QColor(0, 128, 0) : QColor(200, 0, 0));
                failed += !passes;
            }

            // The openings as the command gives them, and the flooding
            // angle with its source: the departure's from its air pipe, the
            // arrival's typed.
            const QList<QStringList> openings = Rows(*o.dialog.OpeningsGrid());
            QCOMPARE(openings.size(), calc[3].size());
            for (int k = 1; k < openings.size(); ++k) {
                QCOMPARE(openings[k][0], calc[3][k][0]);
                QCOMPARE(openings[k][1], QString::fromUtf8(calc[3][k][1] == "yes" ? "sì" : "no"));
                QCOMPARE(openings[k].mid(2), calc[3][k].mid(2));
            }
            // The openings' table copies as the others do (it once had no
            // menu: its grid was wired before it was made).
            o.dialog.findChild<QTabWidget*>("criteriaTabs")->setCurrentIndex(1);
            QString openingsText;
            for (const QStringList& row : openings)
                openingsText += row.join('\t') + "\r\n";
            openingsText.chop(2);
            QCOMPARE(CopyByPopup(dialogs, *o.dialog.OpeningsGrid()), openingsText);
            o.dialog.findChild<QTabWidget*>("criteriaTabs")->setCurrentIndex(0);
            const QString angle = calc[1][1][calc[1][0].indexOf("flooding[deg]")];
            QCOMPARE(o.dialog.FloodingNote()->text(),
                     name.startsWith("Partenza")
                         ? QString::fromUtf8("Angolo di allagamento: %1°, dell'apertura 'sfogo "
                                             "aria cassa 1'")
                               .arg(angle)
                         : QString::fromUtf8("Angolo di allagamento: 40°, dato della condizione"));

            // The chart's GZ is the table's, and its GM0 slope reaches GM0
            // at one radian.
            const CChartPane& chart = *o.dialog.Chart();
            QCOMPARE(chart.CurveName(0), QString("GZ"));
            QStringList drawn, table;
            for (const auto& [heel, gz] : chart.CurvePoints(0))
                drawn << QString::fromStdString(FormatC("%.6g\t%.6g", heel, gz));
            for (const QStringList& row : calc[0].mid(1))
                table << row[0] + "\t" + row[1];
            QCOMPARE(drawn, table);
            const CStabilitySummary& s = o.dialog.Result()->summary;
            QCOMPARE(chart.FigureKind(0), CChartPane::Figure::guide);
            QCOMPARE(chart.FigurePoints(0).back().first, 180 / std::numbers::pi);
            QCOMPARE(chart.FigurePoints(0).back().second, s.gm0);
            QCOMPARE(chart.FigureKind(1), CChartPane::Figure::area);
            QCOMPARE(chart.FigurePoints(1).back().first, 30.0);
            QCOMPARE(chart.FigurePoints(2).front().first, 30.0);
            QCOMPARE(chart.FigurePoints(2).back().first, s.limit_angle);
            QCOMPARE(s.limit_angle, angle.toDouble() < 40 ? s.flooding.value() : 40.0);
            QCOMPARE(chart.FigureKind(3), CChartPane::Figure::mark);
            QCOMPARE(chart.FigurePoints(3).front(),
                     std::pair(s.features.max_angle, s.features.max_gz));

            // The 3D view's picture: upright at the summary's attitude, the
            // waterplane displacing the condition's volume and B and G on
            // one vertical, as near as the searches come: the trim search's
            // draught is of the trim before its last step, which leaves the
            // volume a few parts in 1e7 and the levers some 1e-5 m off.
            QVERIFY(o.dialog.Picture().has_value());
            CConditionPicture p = *o.dialog.Picture();
            QCOMPARE(p.heel, s.equilibrium);
            QCOMPARE(p.trim, s.trim);
            CHydroProperties immersed;
            o.model.ImmersedProperties(immersed, p.waterplane, Frame(p), CHydroMethod::Exact());
            QVERIFY2(std::fabs(immersed.Volume() / s.volume - 1) < 1e-6,
                     qPrintable(QString::number(immersed.Volume() / s.volume - 1)));
            QVERIFY2(std::fabs(Lever(p, 1)) < 1e-4, qPrintable(QString::number(Lever(p, 1))));
            QVERIFY2(std::fabs(Lever(p, 2)) < 1e-4, qPrintable(QString::number(Lever(p, 2))));
            QVERIFY(Same(p.g, s.g));
            QCOMPARE(p.openings.size(), std::size_t{3});
            QCOMPARE(p.openings[2].weathertight, true);
            QCOMPARE(p.openings[0].at.Z(), 8.5);
            QTest::qWait(20); // the chart lays itself out
            SaveScreenshot(o.dialog, QString("CStabilityDlg-%1.png").arg(name.section(' ', 0, 0)));

            // A click on the chart at the point of 30 deg turns the ship
            // there: its lever is the table's GZ.
            const auto points = chart.CurvePoints(0);
            std::size_t at30 = 0;
            while (points[at30].first != 30)
                ++at30;
            const QPointF drawnAt = chart.chart()->mapToPosition(QPointF(30, points[at30].second),
                                                                 chart.chart()->series()[0]);
            QTest::mouseClick(o.dialog.Chart()->viewport(), Qt::LeftButton, {},
                              chart.mapFromScene(chart.chart()->mapToScene(drawnAt)) +
                                  QPoint(1, 1));
            p = *o.dialog.Picture();
            QCOMPARE(p.heel, 30.0);
            QCOMPARE(p.trim, o.dialog.Result()->curve[at30].trim);
            QVERIFY(Same(p.g, o.dialog.Result()->curve[at30].g));
            QVERIFY2(std::fabs(Lever(p, 2) - o.dialog.Result()->curve[at30].gz) < 1e-9,
                     qPrintable(QString::number(Lever(p, 2))));
            QVERIFY2(std::fabs(Lever(p, 1)) < 1e-4, qPrintable(QString::number(Lever(p, 1))));
        }
        QVERIFY(failed > 0);
        QVERIFY(pictures.count() >= 4);
        o.dialog.CriteriaTabs()->setCurrentIndex(1);
        QTest::qWait(20);
        SaveScreenshot(o.dialog, "CStabilityDlg-Aperture.png");

        // A condition changed after its run leaves nothing of that run, and
        // so does a window closed.
        CLoadingConditions changed = o.conditions;
        CLoadingCondition arrival = changed.All()[1];
        arrival.lightship += 1;
        QVERIFY(changed.Replace(1, arrival));
        o.conditions = changed;
        o.dialog.ConditionsChanged();
        QVERIFY(!o.dialog.Result());
        QVERIFY(!o.dialog.Picture());
        QCOMPARE(o.dialog.CurveGrid()->GetRows(), 1);
        QCOMPARE(o.dialog.ConditionList()->currentItem()->text(),
                 QString("Arrivo - GM insufficiente"));
        o.dialog.Run();
        QVERIFY(o.dialog.Picture());
        // So does an opening moved: the flooding angle may be another.
        o.conditions.Openings()[0].z += 0.5;
        o.dialog.ConditionsChanged();
        QVERIFY(!o.dialog.Result());
        QCOMPARE(o.dialog.OpeningsGrid()->GetRows(), 1);
        QCOMPARE(o.dialog.FloodingNote()->text(), QString());
        o.dialog.Run();
        QVERIFY(o.dialog.Picture());
        o.dialog.close();
        QVERIFY(!o.dialog.Picture());
    }

    void refusesInItalianAndAStoppedRunShowsNothing() {
        CScriptedDialogs dialogs;
        Opened o;
        CLoadingCondition sinking = o.conditions.All()[0];
        sinking.name = "Affonda";
        sinking.lightship = 1e6;
        QVERIFY(o.conditions.Add(sinking));
        o.dialog.ConditionsChanged();
        o.Choose("Affonda");
        o.dialog.Run();
        QCOMPARE(dialogs.Texts().size(), 1);
        QCOMPARE(dialogs.Texts()[0],
                 QString::fromUtf8("La condizione pesa 1.00047e+06 t, più di quanto disloca "
                                   "l'intero scafo (4941.14 m^3 a 1.025 t/m^3, 5064.67 t): la "
                                   "nave affonda"));
        QVERIFY(!o.dialog.Result());
        QCOMPARE(o.dialog.CurveGrid()->GetRows(), 1);

        // A scupper under water upright, 3 m up at midship on the
        // centreline, where the departure floats at T0 5.71362 m with no
        // flooding angle of its own: the ship floods before it heels.
        o.conditions.Openings().push_back({"ombrinale", 50, 0, 3, false});
        o.dialog.ConditionsChanged();
        o.Choose("Partenza - criteri soddisfatti");
        o.dialog.Run();
        QCOMPARE(dialogs.Texts().size(), 2);
        QCOMPARE(dialogs.Texts()[1],
                 QString::fromUtf8("L'apertura 'ombrinale' è 2.71362 m sotto il galleggiamento "
                                   "con la nave diritta: la nave si allaga prima di sbandare "
                                   "(un'apertura chiusa in navigazione è stagna; la condizione "
                                   "può dare l'angolo di allagamento)"));
        QVERIFY(!o.dialog.Result());
        o.conditions.Openings().pop_back();
        o.dialog.ConditionsChanged();

        // The whole run takes some 50 ms, so a stop may come when the work
        // is already done and the result whole: then it shows. Either way
        // nothing half-done shows; a few tries see a stop in time.
        o.Choose("Arrivo - GM insufficiente");
        o.dialog.Run();
        const QList<QStringList> whole = Rows(*o.dialog.CurveGrid());
        int stopped = 0;
        for (int attempt = 0; attempt < 20 && stopped == 0; ++attempt) {
            o.Choose("Partenza - criteri soddisfatti");
            o.dialog.Run();
            const QList<QStringList> before = Rows(*o.dialog.CurveGrid());
            const QString note = o.dialog.findChild<QLabel*>("shown")->text();
            const double heel = o.dialog.Picture()->heel, trim = o.dialog.Picture()->trim;
            o.Choose("Arrivo - GM insufficiente");
            bool clicked = false;
            QTimer knock;
            connect(&knock, &QTimer::timeout, this, [&] {
                if (o.dialog.IsRunning() && !clicked) {
                    clicked = true;
                    o.dialog.findChild<QPushButton*>("stop")->click();
                }
            });
            knock.start(0);
            o.dialog.Run();
            knock.stop();
            QVERIFY(clicked);
            QVERIFY(o.dialog.isVisible());
            if (o.dialog.Progress()->value() == 1) {
                QCOMPARE(Rows(*o.dialog.CurveGrid()), whole);
                continue;
            }
            ++stopped;
            QCOMPARE(Rows(*o.dialog.CurveGrid()), before);
            QCOMPARE(o.dialog.findChild<QLabel*>("shown")->text(), note);
            QCOMPARE(o.dialog.Picture()->heel, heel);
            QCOMPARE(o.dialog.Picture()->trim, trim);
        }
        QCOMPARE(stopped, 1);
        QCOMPARE(dialogs.messages.size(), 2);
    }

    void opensAtItsLayoutsSizeWithinAScreenOf1024By768() {
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(&o.dialog));
        QVERIFY2(WhatIsTooSmall(o.dialog).isEmpty(), qPrintable(WhatIsTooSmall(o.dialog)));
        QVERIFY(o.dialog.frameGeometry().width() <= 1024);
        QVERIFY(o.dialog.frameGeometry().height() <= 768);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StabilityDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StabilityDlgTest.moc"
