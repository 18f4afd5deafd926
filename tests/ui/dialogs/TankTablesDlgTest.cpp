// "Tabelle casse" driven headless on the Wigley ship whose conditions file
// gives a tank a sounding pipe: the grid, its copy and its CSV against
// brelund-calc tanks on the same inputs, the chart against the table, a
// refusal, and a screenshot.
#include "ScriptedDialogs.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "model/ShipFile.h"
#include "report/CTextGrid.h"
#include "ui/dialogs/CChartPane.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CTankTablesDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The golden case's ship: the sample Wigley ship, "cassa 2" sounded along a
// slanted pipe.
const QString kShip = BRELUND_SOURCE_DIR "/tests/golden/tanks-wigley/ship.nav";

QByteArray Calc(const QStringList& args) {
    QProcess process;
    process.start(BRELUND_CALC, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return "brelund-calc failed: " + process.readAllStandardError();
    return process.readAllStandardOutput();
}

} // namespace

class TankTablesDlgTest : public QObject {
    Q_OBJECT

private slots:
    void tableChartAndCsvAreTheCommandsOnTheSameInputs() {
        CScriptedDialogs dialogs;
        CShipModel ship;
        LoadShipFile(ship, kShip.toStdString());
        CLoadingConditions conditions;
        QVERIFY(LoadConditionsFile(kShip.toStdString(), conditions));
        CTankTablesDlg dialog;
        dialog.SetModel(&ship);
        dialog.SetSoundingPipes(conditions.SoundingPipes());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Tabelle casse"));
        QCOMPARE(dialog.TankChoice()->count(), 2);
        dialog.TankChoice()->setCurrentIndex(1);
        QVERIFY(dialog.findChild<QLabel*>("pipe")->text().contains("tubo di sonda"));

        // Trims -1 and 0.5, heel 2, density 0.9, the default soundings.
        for (auto [name, value] : {std::pair{"trimFrom", "-1"},
                                   {"trimTo", "0.5"},
                                   {"trimStep", "1.5"},
                                   {"heel", "2"},
                                   {"density", "0.9"}})
            dialog.findChild<QLineEdit*>(name)->setText(value);
        dialog.findChild<QPushButton*>("run")->click();
        QVERIFY(dialogs.messages.isEmpty());
        const QStringList options = {"tanks",  kShip, "cassa 2",   "--trims", "-1,0.5",
                                     "--heel", "2",   "--density", "0.9"};
        QGuiApplication::clipboard()->clear();
        dialogs.menuChoices << "&Copia tabella";
        QTest::mouseClick(dialog.Grid()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        const QString copied = QGuiApplication::clipboard()->text().replace("\r\n", "\n") + "\n";
        QCOMPARE(copied, QString::fromUtf8(Calc(options)));
        const int rows = dialog.Grid()->GetRows() - 1;
        QCOMPARE(rows, 2 * 21);

        // Volume and VCG against the sounding, a pair of curves per trim,
        // each point a row.
        const CChartPane& chart = *dialog.Chart();
        QCOMPARE(chart.CurveCount(), 4);
        QCOMPARE(chart.CurveName(0), QString::fromUtf8("V, assetto -1°"));
        QCOMPARE(chart.CurveName(3), QString::fromUtf8("VCG, assetto 0.5°"));
        QCOMPARE(chart.CurveAxisTitle(1), QString("VCG [m]"));
        for (int curve = 0; curve < 4; ++curve) {
            const auto points = chart.CurvePoints(curve);
            const std::size_t first = curve < 2 ? 0 : 21;
            QCOMPARE(points.size(), std::size_t(21));
            for (std::size_t k = 0; k < points.size(); ++k) {
                const auto& row = dialog.Table().rows[first + k];
                QCOMPARE(points[k].first, row[3].Number());
                QCOMPARE(points[k].second, row[curve % 2 ? 10 : 5].Number());
            }
        }
        QTest::qWait(20); // the chart lays itself out
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(dialog.grab().save(BRELUND_SCREENSHOT_DIR "/CTankTablesDlg.png"));

        // "Esporta CSV..." writes the command's CSV.
        QTemporaryDir dir;
        dialogs.files << dir.filePath("cassa2");
        dialog.findChild<QPushButton*>("exportCsv")->click();
        QFile csv(dir.filePath("cassa2.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), Calc(options + QStringList{"--format", "csv"}));

        // A refused density names the field; the table shown stays.
        dialog.findChild<QLineEdit*>("density")->setText("0");
        dialog.Run();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text,
                 QString::fromUtf8("La densità del liquido deve essere maggiore di 0"));
        QCOMPARE(dialog.Grid()->GetRows() - 1, rows);
        // Another tank clears it.
        dialog.TankChoice()->setCurrentIndex(0);
        QCOMPARE(dialog.Grid()->GetRows(), 1);
        QCOMPARE(chart.CurveCount(), 0);
        QVERIFY(dialog.findChild<QLabel*>("pipe")->text().contains("verticale"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TankTablesDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TankTablesDlgTest.moc"
