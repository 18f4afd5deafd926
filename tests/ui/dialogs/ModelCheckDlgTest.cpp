// "Verifica modello" on a ship of boxes made here, headless: the grid's
// cells, the rows marked, the summary, and the faults handed to the view as
// the window is shown, a row selected, the ship changed and the window
// hidden.
#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CModelCheckDlg.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <cmath>

namespace {

// The box 4 x 2 x 1 m from the origin (8 m^3) as 12 triangles, counter-
// clockwise seen from outside; without its deck (z = 1), with its first
// triangle turned, or with every face turned inwards.
enum BoxFault { sound, noDeck, oneFaceTurned, inward };
std::unique_ptr<CPolyfaceMesh> Box(BoxFault fault) {
    std::vector<CVector3> v;
    for (int k = 0; k < 8; ++k)
        v.emplace_back(k & 1 ? 4 : 0, k & 2 ? 2 : 0, k & 4 ? 1 : 0);
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    std::vector<CFaceIndices> faces;
    for (int q = 0; q < 6; ++q) {
        if (fault == noDeck && q == 1)
            continue;
        faces.push_back({{quads[q][0], quads[q][1], quads[q][2]}});
        faces.push_back({{quads[q][0], quads[q][2], quads[q][3]}});
    }
    for (std::size_t f = 0; f < faces.size(); ++f)
        if (fault == inward || (fault == oneFaceTurned && f == 0))
            std::swap(faces[f].v[1], faces[f].v[2]);
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Assign(std::move(v), std::move(faces));
    return mesh;
}

CShipElement* Add(CShipModel& ship, int kind, const char* name, BoxFault fault) {
    CShipElement* e = ship.AddElement(kind);
    e->SetName(name);
    e->Append(Box(fault));
    return e;
}

QStringList Row(const CMSFlexGrid& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.GetCols(); ++c)
        cells << grid.GetTextMatrix(row, c);
    return cells;
}

bool Red(const CMSFlexGrid& grid, int row) {
    return grid.item(row, CModelCheckDlg::colName)->foreground().color() == QColor(Qt::red);
}

double Length(const std::vector<CSurfaceFaults::CSegment>& segments) {
    double sum = 0;
    for (const auto& [a, b] : segments)
        sum += std::hypot(a.X() - b.X(), a.Y() - b.Y(), a.Z() - b.Z());
    return sum;
}

} // namespace

class ModelCheckDlgTest : public QObject {
    Q_OBJECT

private slots:
    void listsEveryElementMarksTheFaultyAndHandsTheirEdgesToTheView() {
        CShipModel ship;
        Add(ship, kindHull, "chiuso", sound);
        CShipElement* turned = Add(ship, kindHull, "rovesciato", inward);
        Add(ship, kindCompartment, "senza ponte", noDeck);
        Add(ship, kindTank, "faccia girata", oneFaceTurned)->SetEnabled(false);

        CModelCheckDlg dialog;
        dialog.SetModel(&ship);
        QVERIFY(dialog.ShownFaults().empty()); // hidden: nothing checked, nothing drawn
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Verifica modello"));
        const CMSFlexGrid& grid = *dialog.Grid();
        QCOMPARE(grid.GetRows(), 5);
        QCOMPARE(Row(grid, 0),
                 QStringList({"Tipo", "Nome", "Attivo", "Facce", "Chiusa", "Coerente",
                              "Verso l'esterno", "Spigoli di bordo", "Bordo [m]",
                              "Spigoli a 3+ facce", "Giunzioni a T", "Volume [m^3]"}));
        // V = 4 * 2 * 1 = 8 m^3, with the sign of the normals.
        QCOMPARE(Row(grid, 1), QStringList({"scafo", "chiuso", "Sì", "12", "Sì", "Sì", "Sì", "0",
                                            "0", "0", "0", "8"}));
        QCOMPARE(Row(grid, 2), QStringList({"scafo", "rovesciato", "Sì", "12", "Sì", "Sì", "No",
                                            "0", "0", "0", "0", "-8"}));
        // The deck's outline: 4 edges, 2 (4 + 2) = 12 m; open, no sign.
        const QStringList open = Row(grid, 3);
        QCOMPARE(open.mid(0, 10), QStringList({"compartimento", "senza ponte", "Sì", "10", "No",
                                               "Sì", "-", "4", "12", "0"}));
        const QStringList flipped = Row(grid, 4);
        QCOMPARE(flipped.mid(0, 6),
                 QStringList({"cassa", "faccia girata", "No", "12", "Sì", "No"}));
        QCOMPARE(QList<bool>({Red(grid, 1), Red(grid, 2), Red(grid, 3), Red(grid, 4)}),
                 QList<bool>({false, true, true, true}));
        QVERIFY(grid.item(2, 0)->toolTip().contains("versori verso l'interno"));
        QCOMPARE(dialog.Summary(), QString("3 elementi con problemi"));

        // Drawn: the enabled elements' faults, the open deck's outline alone.
        std::vector<const CSurfaceFaults*> shown = dialog.ShownFaults();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0]->open_edges.size(), std::size_t(4));
        QCOMPARE(Length(shown[0]->open_edges), 12.0);
        // A row selected: its element's faults only, disabled or not; the
        // turned triangle's three sides.
        dialog.Grid()->selectRow(4);
        shown = dialog.ShownFaults();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0]->flipped_outlines.size(), std::size_t(3));
        QVERIFY(shown[0]->open_edges.empty());

        // The ship changed: checked again once the events are handled.
        turned->InvertNormals();
        ship.AddElement(kindTank)->SetName("vuota");
        dialog.ModelChanged();
        QCOMPARE(grid.GetRows(), 5);
        QApplication::processEvents();
        QCOMPARE(grid.GetRows(), 6);
        QCOMPARE(dialog.ShownFaults().at(0)->flipped_outlines.size(), std::size_t(3)); // kept
        QCOMPARE(grid.GetTextMatrix(2, CModelCheckDlg::colVolume), QString("8"));
        QVERIFY(!Red(grid, 2));
        QCOMPARE(Row(grid, 5).mid(3, 4), QStringList({"0", "No", "-", "-"}));
        QVERIFY(Red(grid, 5));
        QCOMPARE(dialog.Summary(), QString("3 elementi con problemi"));

        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(dialog.grab().save(BRELUND_SCREENSHOT_DIR "/CModelCheckDlg.png"));

        dialog.hide();
        QVERIFY(dialog.ShownFaults().empty());
        // A sound ship.
        CShipModel good;
        Add(good, kindHull, "chiuso", sound);
        dialog.SetModel(&good);
        dialog.show();
        QCOMPARE(dialog.Summary(), QString("Nessun problema"));
        QVERIFY(dialog.ShownFaults().empty());
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ModelCheckDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ModelCheckDlgTest.moc"
