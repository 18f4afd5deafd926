// The element tree ("Elementi nave: albero delle categorie") and the element
// properties dialog ("Edting elemento"), driven headless on the sample ships
// with every question, file dialog and popup menu answered in a person's
// place.
#include "ScriptedDialogs.h"
#include "WhenEditOpens.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "ui/dialogs/CBitmapButton.h"
#include "ui/dialogs/CElementEditDlg.h"
#include "ui/dialogs/CElementTreeDlg.h"
#include "ui/dialogs/ElementPresentation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

QString Sample(const char* name) {
    return QString(BRELUND_SOURCE_DIR "/samples/") + name;
}

// The view as the tree dialog sees it: a window it asks to redraw.
class CCountingView : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// The sample ship, a view, and the tree dialog shown on them.
struct Opened {
    explicit Opened(const char* sample = "wigley.nav") {
        LoadShipFile(ship, Sample(sample).toStdString());
        view.resize(200, 150);
        view.show();
        dialog.SetModel(&ship, &view);
        dialog.show();
        Settle();
    }
    // Lets pending paints happen, then counts from zero.
    void Settle() {
        QApplication::processEvents();
        view.paints = 0;
    }
    // Redraws asked of the view since the last Settle.
    int Redraws() {
        QApplication::processEvents();
        return view.paints;
    }
    QTreeWidget* Tree() { return dialog.Tree(); }
    QTreeWidgetItem* Root(int i) { return Tree()->topLevelItem(i); }
    // The item of the element shown as text under root i.
    QTreeWidgetItem* Item(int root, const QString& text) {
        for (int k = 0; k < Root(root)->childCount(); ++k)
            if (Root(root)->child(k)->text(0) == text)
                return Root(root)->child(k);
        return nullptr;
    }
    QStringList Children(int root) {
        QStringList texts;
        for (int k = 0; k < Root(root)->childCount(); ++k)
            texts << Root(root)->child(k)->text(0);
        return texts;
    }
    void Select(QTreeWidgetItem* item) { Tree()->setCurrentItem(item); }
    // Where a person clicks an item: the tree shows it first.
    QPoint Centre(QTreeWidgetItem* item) {
        Tree()->expandAll();
        Tree()->scrollToItem(item);
        return Tree()->visualItemRect(item).center();
    }
    template <class T> T* Child(const char* name) { return dialog.findChild<T*>(name); }

    CShipModel ship;
    CCountingView view;
    CElementTreeDlg dialog;
};

template <class T> T* Find(QWidget& w, const char* name) {
    return w.findChild<T*>(name);
}

// Images compared premultiplied, as pixmaps hold them.
QImage PixmapImage(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
QImage IconImage(const QIcon& icon) {
    return PixmapImage(icon.pixmap(32, 32));
}
QImage ResourceImage(const char* name) {
    return QImage(QString(":/icons/") + name).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A file of the given bytes in dir.
QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// The unit cube [0, 1]^3 as an OBJ file, each face a quadrilateral seen
// counter-clockwise from outside, or the other way round.
QByteArray UnitCubeObj(bool outward) {
    QByteArray obj = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n";
    const char* faces[] = {"1 4 3 2", "5 6 7 8", "1 2 6 5", "2 3 7 6", "3 4 8 7", "4 1 5 8"};
    for (const char* f : faces) {
        QStringList corners = QString(f).split(' ');
        if (!outward)
            std::reverse(corners.begin(), corners.end());
        obj += "f " + corners.join(' ').toLatin1() + "\n";
    }
    return obj;
}

void SaveScreenshot(QWidget& widget, const char* name) {
    QApplication::processEvents(); // pending layouts, as a person sees them
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(widget.grab().save(QString(BRELUND_SCREENSHOT_DIR "/") + name));
}

const char* const kDeleteQuestion = "Confermi l'eliminazione dell'elemento selezionato";
const char* const kNothingDeleted =
    "Non è stato cancellato alcun elemento \n Verificare la selezione";

} // namespace

class ElementDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void treeListsTheCategoriesAndTheirElementsWithTheirIcons() {
        Opened o;
        QCOMPARE(o.dialog.windowTitle(), QString("Elementi nave: albero delle categorie"));
        QVERIFY(o.dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(o.Tree()->topLevelItemCount(), 3);
        QCOMPARE(o.Root(0)->text(0), QString("Elementi Scafo"));
        QCOMPARE(o.Root(1)->text(0), QString("Compartimenti"));
        QCOMPARE(o.Root(2)->text(0), QString("Casse"));
        QCOMPARE(o.Children(0), QStringList{"scafo"});
        QCOMPARE(o.Children(1), QStringList{"sala macchine"});
        QCOMPARE(o.Children(2), QStringList({"cassa 1", "cassa 2"}));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!o.Root(i)->isExpanded());
        QVERIFY(o.Tree()->selectedItems().isEmpty());

        // Icons: each category and its enabled elements share the kind's
        // icon; a disabled element has the kind's disabled one.
        const char* enabled[] = {"element-hull.png", "element-compartment.png", "element-tank.png"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(IconImage(o.Root(i)->icon(0)), ResourceImage(enabled[i]));
            QCOMPARE(IconImage(o.Root(i)->child(0)->icon(0)), ResourceImage(enabled[i]));
        }
        o.ship.Tanks().GetAt(2)->SetEnabled(false);
        o.ship.Compartments().GetAt(1)->SetEnabled(false);
        o.dialog.RefreshTree();
        QCOMPARE(IconImage(o.Item(2, "cassa 1")->icon(0)), ResourceImage("element-tank.png"));
        QCOMPARE(IconImage(o.Item(2, "cassa 2")->icon(0)),
                 ResourceImage("element-tank-disabled.png"));
        QCOMPARE(IconImage(o.Item(1, "sala macchine")->icon(0)),
                 ResourceImage("element-compartment-disabled.png"));
        QVERIFY(ResourceImage("element-tank.png") != ResourceImage("element-tank-disabled.png"));
        // Selected, an item keeps its icon as it is.
        QCOMPARE(PixmapImage(o.Item(2, "cassa 2")->icon(0).pixmap(32, 32, QIcon::Selected)),
                 ResourceImage("element-tank-disabled.png"));
        QCOMPARE(PixmapImage(o.Root(0)->icon(0).pixmap(32, 32, QIcon::Selected)),
                 ResourceImage("element-hull.png"));
        QCOMPARE(ResourceImage("element-hull-disabled.png").size(), QSize(32, 32));

        // The controls below the tree start on no preview and normals of 1 m.
        QCOMPARE(o.dialog.findChild<QGroupBox*>()->title(), QString("Preview Selection"));
        QCOMPARE(o.Child<QRadioButton>("previewNone")->text(), QString("None"));
        QCOMPARE(o.Child<QRadioButton>("previewShaded")->text(), QString("Shaded"));
        QCOMPARE(o.Child<QRadioButton>("previewNormals")->text(), QString("Versori"));
        QVERIFY(o.Child<QRadioButton>("previewNone")->isChecked());
        QCOMPARE(o.Child<QLineEdit>("normalLength")->text(), QString("1"));
        QCOMPARE(o.dialog.PreviewMode(), 0);
        QCOMPARE(o.dialog.NormalLength(), 1.0);
        QCOMPARE(o.Child<QPushButton>("addHull")->text(), QString("Add Elemento Scafo est."));
        QCOMPARE(o.Child<QPushButton>("addCompartment")->text(), QString("Add Compartimento"));
        QCOMPARE(o.Child<QPushButton>("addTank")->text(), QString("Add Cassa"));

        // The tree follows the ship when the window is hidden or shown, not
        // before.
        o.ship.AddElement(kindTank)->SetName("cassa 3");
        QCOMPARE(o.Children(2).size(), 2);
        o.dialog.hide();
        QCOMPARE(o.Children(2), QStringList({"cassa 1", "cassa 2", "cassa 3"}));
        o.ship.DeleteElement("cassa 1");
        o.dialog.show();
        QCOMPARE(o.Children(2), QStringList({"cassa 2", "cassa 3"}));

        // Without a ship the tree is empty.
        o.dialog.SetModel(nullptr, &o.view);
        QCOMPARE(o.Tree()->topLevelItemCount(), 0);
    }

    void previewFollowsTheSelectionAndTheRadioButtons() {
        CScriptedDialogs dialogs;
        Opened o;
        QCOMPARE(o.dialog.SelectedElement(), nullptr);
        o.Select(o.Item(2, "cassa 2"));
        QCOMPARE(o.Redraws(), 1);
        int kind = 0;
        QCOMPARE(o.dialog.SelectedElement(&kind), o.ship.Tanks().GetAt(2));
        QCOMPARE(kind, int(kindTank));

        // A length typed counts from the next selection or radio click.
        o.Settle();
        o.Child<QLineEdit>("normalLength")->setText("0.25");
        QCOMPARE(o.dialog.NormalLength(), 1.0);
        o.Child<QRadioButton>("previewShaded")->click();
        QCOMPARE(o.Redraws(), 1);
        QCOMPARE(o.dialog.PreviewMode(), 1);
        QCOMPARE(o.dialog.NormalLength(), 0.25);
        o.Child<QRadioButton>("previewNormals")->click();
        QCOMPARE(o.dialog.PreviewMode(), 2);

        // A length that is not a number is refused and the previous one
        // stays; the new selection is shown all the same.
        o.Settle();
        o.Child<QLineEdit>("normalLength")->setText("abc");
        o.Select(o.Item(0, "scafo"));
        QCOMPARE(dialogs.Texts(), QStringList{"Immettere un numero."});
        QCOMPARE(o.dialog.NormalLength(), 0.25);
        QCOMPARE(o.Redraws(), 1);
        QCOMPARE(o.dialog.SelectedElement(), o.ship.HullElements().GetAt(1));

        // A category is no element, even when an element bears its name.
        o.ship.Tanks().GetAt(1)->SetName("Casse");
        o.Settle();
        o.dialog.RefreshTree();
        QCOMPARE(o.Redraws(), 0); // a rebuild chooses nothing
        o.Select(o.Root(2));
        QCOMPARE(o.dialog.SelectedElement(), nullptr);
    }

    void addingTheSameDrawingThreeTimesKeepsTheNamesUnique() {
        CScriptedDialogs dialogs;
        Opened o;
        QTemporaryDir dir;
        QVERIFY(QFile::copy(Sample("wigley-tank-aft.dxf"), dir.filePath("tank.dxf")));
        const QString path = QDir::cleanPath(dir.filePath("tank.dxf"));
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        QSignalSpy notes(&o.dialog, &CElementTreeDlg::statusMessage);
        QList<bool> minimised;
        dialogs.whileAsking = [&] { minimised << o.dialog.isMinimized(); };

        for (int i = 0; i < 3; ++i) {
            dialogs.files << path;
            o.Child<QPushButton>("addCompartment")->click();
        }
        QCOMPARE(minimised, QList<bool>({true, true, true}));
        QVERIFY(!o.dialog.isMinimized());
        QCOMPARE(dialogs.lastFileCaption, QString("Apri"));
        const QStringList filters = dialogs.lastFileFilters.split(";;");
        QCOMPARE(filters.size(), 4);
        QCOMPARE(filters.first(), QString("File DXF(*.dxf)"));
        QVERIFY(filters.contains("File STL (*.stl)") && filters.contains("File OBJ (*.obj)"));
        QCOMPARE(filters.last(), QString("Tutti i file (*)"));
        QVERIFY(dialogs.messages.isEmpty());

        // Named after the drawing, without its folder and extension, and
        // kept apart by underscores.
        QCOMPARE(o.ship.Compartments().GetCount(), 4);
        const std::string name = "tank";
        QCOMPARE(o.ship.Compartments().GetAt(2)->GetName(), name);
        QCOMPARE(o.ship.Compartments().GetAt(3)->GetName(), name + "_");
        QCOMPARE(o.ship.Compartments().GetAt(4)->GetName(), name + "__");
        QCOMPARE(o.Children(1), QStringList({"sala macchine", "tank", "tank_", "tank__"}));
        // The last one added is selected, in its open category.
        QVERIFY(o.Root(1)->isExpanded());
        QCOMPARE(o.dialog.SelectedElement(), o.ship.Compartments().GetAt(4));
        // The drawing's tank is read whole each time: six meshes of 72 m^3.
        for (int i = 2; i <= 4; ++i) {
            QCOMPARE(o.ship.Compartments().GetAt(i)->GetCount(), 6);
            QVERIFY(std::fabs(o.ship.Compartments().GetAt(i)->Volume() - 72) < 1e-9);
        }
        QCOMPARE(changed.size(), 3);
        // A closed, outward surface leaves nothing to say.
        QCOMPARE(notes.size(), 3);
        QCOMPARE(notes.last().first().toString(), QString());
        // Adding does not redraw: the view shows it at its next repaint.
        QCOMPARE(o.Redraws(), 0);

        // Each name leads to its own element: deleting the third removes it.
        dialogs.answers << IDOK;
        o.Select(o.Item(1, "tank__"));
        o.Settle();
        o.dialog.OnDelete();
        QCOMPARE(o.ship.Compartments().GetCount(), 3);
        QCOMPARE(o.ship.Compartments().GetAt(3)->GetName(), name + "_");

        // A hull element reads the same drawing too, its name unique among
        // all the ship's elements.
        dialogs.files << path;
        o.Child<QPushButton>("addHull")->click();
        QCOMPARE(o.ship.HullElements().GetCount(), 2);
        QCOMPARE(o.ship.HullElements().GetAt(2)->GetName(), name + "__");
        QCOMPARE(o.ship.HullElements().GetAt(2)->GetCount(), 6);
    }

    void addingRefusesWhatCannotBeReadAndChangesNothing() {
        CScriptedDialogs dialogs;
        Opened o;
        QTemporaryDir dir;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        bool minimisedWhileAsked = false;
        dialogs.whileAsking = [&] { minimisedWhileAsked = o.dialog.isMinimized(); };

        // Cancelled: nothing happens, the window comes back.
        o.Child<QPushButton>("addTank")->click();
        QCOMPARE(dialogs.openDialogs, 1);
        QVERIFY(minimisedWhileAsked);
        QVERIFY(!o.dialog.isMinimized());

        // A file that is not there, and a folder.
        const QString missing = dir.filePath("missing.dxf");
        const QString folder = QDir::cleanPath(dir.path());
        dialogs.files << missing << folder;
        o.Child<QPushButton>("addTank")->click();
        minimisedWhileAsked = false;
        o.Child<QPushButton>("addTank")->click();
        QCOMPARE(dialogs.Texts(), QStringList({QString("Impossibile trovare %1.").arg(missing),
                                               QString("%1 non è un file.\nImpossibile aprirlo: "
                                                       "è una cartella, non un file regolare")
                                                   .arg(folder)}));
        QVERIFY(minimisedWhileAsked);

        // A mesh file damaged: a face naming a vertex the file never gives.
        const QString damaged =
            WriteFile(dir, "damaged.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
        dialogs.files << damaged;
        o.Child<QPushButton>("addTank")->click();
        QCOMPARE(dialogs.messages.size(), 3);
        QVERIFY2(dialogs.messages[2].text.startsWith(damaged + " non è un file valido.\nRiga 4: "),
                 qPrintable(dialogs.messages[2].text));

        QCOMPARE(o.ship.Tanks().GetCount(), 2);
        QCOMPARE(o.Children(2), QStringList({"cassa 1", "cassa 2"}));
        QCOMPARE(changed.size(), 0);
    }

    void addingTellsOfAnEmptyFileAndOfInwardNormals() {
        CScriptedDialogs dialogs;
        Opened o;
        QTemporaryDir dir;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        QSignalSpy notes(&o.dialog, &CElementTreeDlg::statusMessage);

        // A drawing without any mesh still adds its (empty) element.
        dialogs.files << WriteFile(dir, "empty.dxf",
                                   "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
        o.Child<QPushButton>("addHull")->click();
        QCOMPARE(o.ship.HullElements().GetCount(), 2);
        QCOMPARE(o.ship.HullElements().GetAt(2)->GetCount(), 0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(notes.last().first().toString(),
                 QString("Nessuna mesh trovata in empty.dxf: l'elemento è stato aggiunto vuoto."));

        // The unit cube from an OBJ file: outward it is sound; wound the
        // other way its volume counts -1 m^3 and the note names the command
        // that turns it.
        dialogs.files << WriteFile(dir, "cube.obj", UnitCubeObj(true));
        o.Child<QPushButton>("addTank")->click();
        QVERIFY(std::fabs(o.ship.Tanks().GetAt(3)->Volume() - 1) < 1e-12);
        QCOMPARE(notes.last().first().toString(), QString());
        dialogs.files << WriteFile(dir, "inward.obj", UnitCubeObj(false));
        o.Child<QPushButton>("addTank")->click();
        QVERIFY(std::fabs(o.ship.Tanks().GetAt(4)->Volume() + 1) < 1e-12);
        QCOMPARE(notes.last().first().toString(),
                 QString("Elemento da inward.obj: versori verso l'interno: volume negativo (-1 "
                         "m^3); usare \"Inverti Versori\"."));

        // An STL surface missing a face of its tetrahedron is open.
        dialogs.files << WriteFile(dir, "open.stl",
                                   "solid t\n"
                                   "facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 0 1 0\n"
                                   "vertex 1 0 0\nendloop\nendfacet\n"
                                   "facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                                   "vertex 0 0 1\nendloop\nendfacet\n"
                                   "endsolid t\n");
        o.Child<QPushButton>("addCompartment")->click();
        QCOMPARE(o.ship.Compartments().GetCount(), 2);
        QVERIFY2(notes.last().first().toString().contains("superficie aperta (4 spigoli di bordo"),
                 qPrintable(notes.last().first().toString()));
        QCOMPARE(changed.size(), 4);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void propertiesRenameKeepsNamesUnique() {
        CScriptedDialogs dialogs;
        Opened o;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        CTank* tank = o.ship.Tanks().GetAt(2);

        // Double click on "cassa 2", renamed "cassa 1": stored as "cassa 1_".
        bool open = false, minimised = false;
        QString shownName;
        WhenEditOpens(
            [&](CElementEditDlg& edit) {
                minimised = o.dialog.isMinimized();
                shownName = Find<QPlainTextEdit>(edit, "name")->toPlainText();
                Find<QPlainTextEdit>(edit, "name")->setPlainText("cassa 1");
                Find<QPushButton>(edit, "ok")->click();
            },
            &open);
        const QPoint at = o.Centre(o.Item(2, "cassa 2"));
        QTest::mouseClick(o.Tree()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(o.Tree()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(open);
        QVERIFY(minimised);
        QVERIFY(!o.dialog.isMinimized());
        QCOMPARE(shownName, QString("cassa 2"));
        QCOMPARE(tank->GetName(), std::string("cassa 1_"));
        QCOMPARE(o.Children(2), QStringList({"cassa 1", "cassa 1_"}));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(o.Redraws(), 1); // the selection by the click, not the edit

        // The engine room renamed "cassa 1" while "cassa 1" and "cassa 1_"
        // both exist: one underscore more, so that it stays reachable.
        CCompartment* room = o.ship.Compartments().GetAt(1);
        o.Select(o.Item(1, "sala macchine"));
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QPlainTextEdit>(edit, "name")->setPlainText("cassa 1");
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(room->GetName(), std::string("cassa 1__"));
        QCOMPARE(changed.size(), 2);
        o.Select(o.Item(1, "cassa 1__"));
        QCOMPARE(o.dialog.SelectedElement(), room);

        // Its own name: nothing changes, and the ship is not changed.
        o.Select(o.Item(2, "cassa 1_"));
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QPlainTextEdit>(edit, "name")->setPlainText("cassa 1_");
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(tank->GetName(), std::string("cassa 1_"));
        QCOMPARE(changed.size(), 2);
        QVERIFY(dialogs.messages.isEmpty());

        // A category opens nothing.
        open = true;
        o.Select(o.Root(2));
        WhenEditOpens([](CElementEditDlg&) {}, &open);
        o.dialog.OnProperties();
        QApplication::processEvents();
        QVERIFY(!open);
    }

    void deleteAsksAndSaysWhatItDid() {
        CScriptedDialogs dialogs;
        Opened o;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        QList<bool> minimised;
        dialogs.whileAsking = [&] { minimised << o.dialog.isMinimized(); };

        // Cancel: nothing more is said or done.
        o.Select(o.Item(2, "cassa 1"));
        o.Settle();
        dialogs.answers << IDCANCEL;
        o.dialog.OnDelete();
        // The question names the element.
        const QString question = QString(kDeleteQuestion) + " \"cassa 1\"";
        QCOMPARE(dialogs.Texts(), QStringList{question});
        QCOMPARE(dialogs.messages[0].type & 0x0Fu, unsigned(MB_OKCANCEL));
        QCOMPARE(o.ship.Tanks().GetCount(), 2);
        QCOMPARE(o.Children(2), QStringList({"cassa 1", "cassa 2"}));
        QVERIFY(o.Tree()->currentItem()->isSelected());
        QCOMPARE(changed.size(), 0);
        QVERIFY(!o.dialog.isMinimized());

        // OK: deleted, said so, the tree rebuilt; the view is not redrawn.
        dialogs.answers << IDOK;
        o.dialog.OnDelete();
        QCOMPARE(dialogs.Texts().mid(1), QStringList({question, "Elemento cancellato"}));
        QCOMPARE(o.ship.Tanks().GetCount(), 1);
        QCOMPARE(o.ship.Tanks().GetAt(1)->GetName(), std::string("cassa 2"));
        QCOMPARE(o.Children(2), QStringList{"cassa 2"});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(o.Redraws(), 0);

        // Nothing selected, then a category (though an element bears its
        // name): nothing deleted.
        o.ship.Tanks().GetAt(1)->SetName("Casse");
        o.dialog.RefreshTree();
        o.Tree()->clearSelection();
        dialogs.answers << IDOK;
        o.dialog.OnDelete();
        o.Select(o.Root(2));
        dialogs.answers << IDOK;
        o.dialog.OnDelete();
        QCOMPARE(dialogs.Texts().mid(3),
                 QStringList({kDeleteQuestion, kNothingDeleted, kDeleteQuestion, kNothingDeleted}));
        QCOMPARE(o.ship.Tanks().GetCount(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(minimised, QList<bool>(dialogs.messages.size(), true));
    }

    void rightClickKeepsTheSelectionAndTheMenuActsOnIt() {
        CScriptedDialogs dialogs;
        Opened o;
        QTreeWidgetItem* first = o.Item(2, "cassa 1");
        const QPoint second = o.Centre(o.Item(2, "cassa 2"));
        o.Select(first);

        // Dismissed: the menu at its place over the tree, its items in order,
        // and the selection where it was.
        QTest::mouseClick(o.Tree()->viewport(), Qt::RightButton, {}, second);
        QCOMPARE(dialogs.lastMenuPos, o.Tree()->mapToGlobal(QPoint(0, 0)) + QPoint(50, 50));
        QCOMPARE(dialogs.lastMenuItems,
                 QStringList({"Proprieta", "", "Add elemento scafo", "Add compartimento",
                              "Add cassa", "Delete", "Inverti Versori"}));
        QCOMPARE(o.Tree()->selectedItems(), QList<QTreeWidgetItem*>{first});

        // "Delete" on the other item deletes the one selected before.
        dialogs.menuChoices << "Delete";
        dialogs.answers << IDOK;
        QTest::mouseClick(o.Tree()->viewport(), Qt::RightButton, {}, second);
        QCOMPARE(dialogs.Texts(),
                 QStringList({QString(kDeleteQuestion) + " \"cassa 1\"", "Elemento cancellato"}));
        QCOMPARE(o.ship.Tanks().GetCount(), 1);
        QCOMPARE(o.ship.Tanks().GetAt(1)->GetName(), std::string("cassa 2"));

        // The menu's other commands reach theirs: "Add cassa" asks for a file.
        dialogs.menuChoices << "Add cassa";
        QTest::mouseClick(o.Tree()->viewport(), Qt::RightButton, {}, o.Centre(o.Root(0)));
        QCOMPARE(dialogs.openDialogs, 1);
    }

    void invertNormalsAsksAndRedrawsOnYes() {
        CScriptedDialogs dialogs;
        Opened o;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        CCompartment* room = o.ship.Compartments().GetAt(1);
        const double volume = room->Volume();
        bool minimised = true;
        dialogs.whileAsking = [&] { minimised = o.dialog.isMinimized(); };
        o.Select(o.Item(1, "sala macchine"));
        o.Settle();

        dialogs.answers << IDNO << IDCANCEL << IDYES;
        for (int i = 0; i < 2; ++i) {
            dialogs.menuChoices << "Inverti Versori";
            QTest::mouseClick(o.Tree()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        }
        QCOMPARE(room->Volume(), volume);
        QCOMPARE(o.Redraws(), 0);
        QCOMPARE(changed.size(), 0);
        o.dialog.OnInvertNormals();
        QCOMPARE(dialogs.Texts(), QStringList(3, "Invertire i versori a sala macchine"));
        QCOMPARE(dialogs.messages[0].type & 0x0Fu, unsigned(MB_YESNOCANCEL));
        QVERIFY(!minimised);
        QCOMPARE(room->Volume(), -volume);
        QCOMPARE(o.Redraws(), 1);
        QCOMPARE(changed.size(), 1);

        // A category: no question.
        o.Select(o.Root(1));
        o.dialog.OnInvertNormals();
        QCOMPARE(dialogs.messages.size(), 3);
    }

    void editDialogOpensByKind() {
        LoadAppResources();
        const struct {
            int kind;
            const char* icon;
            bool permeability, weight, filling, load; // editable
        } kinds[] = {
            {0, "element-hull.png", false, false, false, false},
            {kindHull, "element-hull.png", false, false, false, false},
            {kindCompartment, "element-compartment.png", true, false, false, false},
            {kindTank, "element-tank.png", false, true, true, false},
            {7, nullptr, true, true, true, true},
        };
        for (const auto& k : kinds) {
            CElementEditDlg edit;
            CElementValues v;
            v.kind = k.kind;
            v.colour = 0x123456;
            v.enabled = 1;
            v.name = "cassa";
            edit.SetValues(v);
            edit.show();
            QCOMPARE(edit.windowTitle(), QString("Edting elemento"));
            const QPixmap icon = Find<QLabel>(edit, "kindIcon")->pixmap();
            if (k.icon)
                QCOMPARE(PixmapImage(icon), ResourceImage(k.icon));
            else
                QVERIFY(icon.isNull());
            QCOMPARE(!Find<QLineEdit>(edit, "permeability")->isReadOnly(), k.permeability);
            QCOMPARE(!Find<QLineEdit>(edit, "specificWeight")->isReadOnly(), k.weight);
            QCOMPARE(!Find<QLineEdit>(edit, "fillingRatio")->isReadOnly(), k.filling);
            QCOMPARE(!Find<QLineEdit>(edit, "loadVolume")->isReadOnly(), k.load);
            // The sliders split 0x123456: red 0x56, green 0x34, blue 0x12.
            QCOMPARE(Find<QSlider>(edit, "red")->value(), 0x56);
            QCOMPARE(Find<QSlider>(edit, "green")->value(), 0x34);
            QCOMPARE(Find<QSlider>(edit, "blue")->value(), 0x12);
            QCOMPARE(Find<QLineEdit>(edit, "colour")->text(), QString::number(0x123456));
            QVERIFY(Find<QCheckBox>(edit, "enabled")->isChecked());
            QVERIFY(Find<QRadioButton>(edit, "fillingEntry")->isChecked());
        }

        CElementEditDlg edit;
        edit.show();
        QStringList texts;
        for (const QLabel* l : edit.findChildren<QLabel*>())
            texts << l->text();
        for (const QAbstractButton* b : edit.findChildren<QAbstractButton*>())
            texts << b->text();
        texts << edit.findChild<QGroupBox*>()->title();
        for (const char* text :
             {"Abilitato", "Colore (32bit)", "Nominativo", "Permeabilità", "Peso specifico carico",
              "[kg/m^3]", "Riempimento", "Volume carico liquido", "[m^3]", "Rosso", "Verde", "Blu",
              "Colori predefiniti", "Anteprima colore", "OK", "Cancel"})
            QVERIFY2(texts.contains(text), text);

        // The colour button: its two bitmaps, its size, its tip.
        auto* button = Find<CBitmapButton>(edit, "colourButton");
        QCOMPARE(PixmapImage(button->UpBitmap()), ResourceImage("colour.png"));
        QCOMPARE(PixmapImage(button->PressedBitmap()), ResourceImage("colour-pressed.png"));
        QCOMPARE(button->size(), QSize(32, 32));
        QCOMPARE(button->toolTip(),
                 QString("Mostra il colore selezionato e conferma la combinazione RGB"));

        // The predefined colours, in order, none chosen.
        auto* list = Find<QComboBox>(edit, "predefined");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        QCOMPARE(names, QStringList({"Nero", "Blu", "Verde", "Azzurro", "Rosso", "Magenta",
                                     "Giallo", "Grigio scuro", "Grigio chiaro", "Blu chiaro",
                                     "Verde chiaro", "Ciano chiaro", "Rosso chiaro",
                                     "Magenta chiaro", "Giallo chiaro", "Bianco"}));
        QCOMPARE(list->currentIndex(), -1);
    }

    void editDialogMakesColoursFromSlidersAndList() {
        CScriptedDialogs dialogs;
        CElementEditDlg edit;
        CElementValues v;
        v.kind = kindHull;
        v.colour = 0x808080;
        edit.SetValues(v);
        edit.show();
        auto* colour = Find<QLineEdit>(edit, "colour");
        auto* list = Find<QComboBox>(edit, "predefined");
        const auto previewCentre = [&] {
            return Find<QWidget>(edit, "preview")->grab().toImage().pixelColor(25, 25);
        };
        QCOMPARE(previewCentre(), QColor(128, 128, 128));

        // "Verde chiaro" (0, 255, 0): 0 + 256 * 255 = 65280, a green square.
        list->setCurrentIndex(10);
        list->activated(10);
        QCOMPARE(Find<QSlider>(edit, "red")->value(), 0);
        QCOMPARE(Find<QSlider>(edit, "green")->value(), 255);
        QCOMPARE(Find<QSlider>(edit, "blue")->value(), 0);
        QCOMPARE(colour->text(), QString("65280"));
        QCOMPARE(previewCentre(), QColor(0, 255, 0));
        QCOMPARE(list->currentIndex(), 10);

        // A slider moved alone changes neither the colour nor the square.
        Find<QSlider>(edit, "green")->setValue(0);
        Find<QSlider>(edit, "blue")->setValue(255);
        QCOMPARE(colour->text(), QString("65280"));
        QCOMPARE(previewCentre(), QColor(0, 255, 0));
        QCOMPARE(edit.PreviewColour(), Colour(65280));

        // The button takes them over: blue alone at 255 is 65536 * 255.
        QTest::mouseClick(Find<CBitmapButton>(edit, "colourButton"), Qt::LeftButton);
        QCOMPARE(colour->text(), QString("16711680"));
        QCOMPARE(previewCentre(), QColor(0, 0, 255));
        QVERIFY(dialogs.messages.isEmpty());

        // A colour that is not an integer is refused on OK; the dialog stays.
        colour->setText("12.5");
        Find<QPushButton>(edit, "ok")->click();
        QCOMPARE(dialogs.Texts(), QStringList{"Immettere un valore integer."});
        QVERIFY(edit.isVisible());
        QVERIFY(edit.result() != QDialog::Accepted);

        // 255 typed: taken on OK although the sliders still say blue.
        colour->setText("255");
        Find<QPushButton>(edit, "ok")->click();
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        QCOMPARE(edit.Values().colour, Colour(255));
    }

    void editDialogChecksRangesAndKeepsWhatWasRead() {
        CScriptedDialogs dialogs;
        CElementEditDlg edit;
        CElementValues v;
        v.kind = kindCompartment;
        v.permeability = 0.85;
        v.colour = 0;
        edit.SetValues(v);
        edit.show();
        auto* permeability = Find<QLineEdit>(edit, "permeability");
        auto* colour = Find<QLineEdit>(edit, "colour");
        QCOMPARE(permeability->text(), QString("0.85"));

        // 1.5 is refused with its range; the dialog stays open.
        permeability->setText("1.5");
        Find<QPushButton>(edit, "ok")->click();
        QCOMPARE(dialogs.Texts(), QStringList{"Immettere un numero compreso tra 0 e 1."});
        QVERIFY(edit.isVisible());
        QVERIFY(edit.result() != QDialog::Accepted);

        // The colour button reads the fields too: a box refused for its range
        // keeps what was typed, one refused as no number gets its value back;
        // the colour comes from the sliders all the same.
        Find<QSlider>(edit, "red")->setValue(10);
        QTest::mouseClick(Find<CBitmapButton>(edit, "colourButton"), Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(permeability->text(), QString("1.5"));
        QCOMPARE(colour->text(), QString("10"));
        permeability->setText("abc");
        QTest::mouseClick(Find<CBitmapButton>(edit, "colourButton"), Qt::LeftButton);
        QCOMPARE(dialogs.Texts().last(), QString("Immettere un numero."));
        QCOMPARE(permeability->text(), QString("1.5"));

        // Refused filling ratio, on a read-only box as well.
        permeability->setText("0.5");
        Find<QLineEdit>(edit, "fillingRatio")->setText("2");
        QVERIFY(Find<QLineEdit>(edit, "fillingRatio")->isReadOnly());
        Find<QPushButton>(edit, "ok")->click();
        QCOMPARE(dialogs.Texts().last(), QString("Immettere un numero compreso tra 0 e 1."));
        QVERIFY(edit.result() != QDialog::Accepted);

        // The radio buttons change the boxes of a tank only.
        Find<QRadioButton>(edit, "volumeEntry")->click();
        QVERIFY(Find<QLineEdit>(edit, "loadVolume")->isReadOnly());
        CElementEditDlg tankEdit;
        v.kind = kindTank;
        tankEdit.SetValues(v);
        tankEdit.show();
        Find<QRadioButton>(tankEdit, "volumeEntry")->click();
        QVERIFY(!Find<QLineEdit>(tankEdit, "loadVolume")->isReadOnly());
        QVERIFY(Find<QLineEdit>(tankEdit, "fillingRatio")->isReadOnly());
        Find<QRadioButton>(tankEdit, "fillingEntry")->click();
        QVERIFY(Find<QLineEdit>(tankEdit, "loadVolume")->isReadOnly());
        QVERIFY(!Find<QLineEdit>(tankEdit, "fillingRatio")->isReadOnly());
    }

    void propertiesStoreOnOkOnly() {
        CScriptedDialogs dialogs;
        Opened o;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        CTank* tank = o.ship.Tanks().GetAt(1);
        const double volume = tank->Volume();
        QVERIFY(volume > 0);
        o.Select(o.Item(2, "cassa 1"));

        // Cancel after a colour change: nothing reaches the tank.
        const Colour colour = tank->GetColour();
        WhenEditOpens([&](CElementEditDlg& edit) {
            auto* list = Find<QComboBox>(edit, "predefined");
            list->setCurrentIndex(4);
            list->activated(4);
            Find<QCheckBox>(edit, "enabled")->setChecked(false);
            Find<QPushButton>(edit, "cancel")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(tank->GetColour(), colour);
        QVERIFY(tank->IsEnabled());
        QCOMPARE(changed.size(), 0);

        // A load typed as a volume twice the tank's: the tank is full.
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QRadioButton>(edit, "volumeEntry")->click();
            Find<QLineEdit>(edit, "loadVolume")->setText(QString::number(2 * volume));
            Find<QLineEdit>(edit, "specificWeight")->setText("1025");
            Find<QPushButton>(edit, "ok")->click();
        });
        QSignalSpy notes(&o.dialog, &CElementTreeDlg::statusMessage);
        o.dialog.OnProperties();
        QCOMPARE(tank->GetLoadVolume(), volume);
        QCOMPARE(tank->GetFillingRatio(), 1.0);
        QCOMPARE(tank->GetSpecificWeight(), 1025.0);
        QCOMPARE(changed.size(), 1);
        // Said in a box and in the status bar, naming the tank and both loads.
        const QString clamped =
            QString("Il volume carico liquido di %1 m^3 non sta nella cassa \"cassa 1\": è stato "
                    "preso %2 m^3 (il carico va da 0 al volume della cassa, %2 m^3).")
                .arg(QString::number(2 * volume, 'g', 6), QString::number(volume, 'g', 6));
        QCOMPARE(dialogs.Texts(), QStringList{clamped});
        QCOMPARE(dialogs.messages[0].type & 0xF0u, unsigned(MB_ICONWARNING));
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0][0].toString(), clamped);
        dialogs.messages.clear();

        // A filling ratio of a quarter, and pure red typed as 255, disabled.
        o.Select(o.Item(2, "cassa 1"));
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QLineEdit>(edit, "fillingRatio")->setText("0.25");
            Find<QLineEdit>(edit, "colour")->setText("255");
            Find<QCheckBox>(edit, "enabled")->setChecked(false);
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(tank->GetFillingRatio(), 0.25);
        QCOMPARE(tank->GetLoadVolume(), 0.25 * volume);
        QCOMPARE(tank->GetColour(), Colour(255));
        QVERIFY(!tank->IsEnabled());
        QCOMPARE(IconImage(o.Item(2, "cassa 1")->icon(0)),
                 ResourceImage("element-tank-disabled.png"));
        QCOMPARE(changed.size(), 2);

        // A compartment's permeability of 1.5 is refused and never stored.
        CCompartment* room = o.ship.Compartments().GetAt(1);
        o.Select(o.Item(1, "sala macchine"));
        bool stayed = false;
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QLineEdit>(edit, "permeability")->setText("1.5");
            Find<QPushButton>(edit, "ok")->click();
            stayed = edit.isVisible();
        });
        o.dialog.OnProperties();
        QVERIFY(stayed);
        QCOMPARE(dialogs.Texts(), QStringList{"Immettere un numero compreso tra 0 e 1."});
        QCOMPARE(room->GetPermeability(), 0.85);
        QCOMPARE(changed.size(), 2);
    }

    void editsKeepTheTreeOpenAndTheElementSelectedAndListItsMeshProblems() {
        CScriptedDialogs dialogs;
        Opened o;
        QTemporaryDir dir;
        o.Root(0)->setExpanded(true);
        o.Select(o.Item(0, "scafo"));

        // A cube with its bottom turned: two triangles against their
        // neighbours.
        QByteArray cube = UnitCubeObj(true);
        cube.replace("f 1 4 3 2", "f 2 3 4 1");
        dialogs.files << WriteFile(dir, "turned.obj", cube);
        o.Child<QPushButton>("addTank")->click();
        QCOMPARE(o.Children(2).last(), QString("turned"));
        QVERIFY(o.Root(0)->isExpanded());
        QVERIFY(o.Root(2)->isExpanded());
        QCOMPARE(o.dialog.SelectedElement(), o.ship.Tanks().GetAt(3));

        // Its properties list the problem; a sound tank's list none.
        QString listed;
        bool shown = true;
        WhenEditOpens([&](CElementEditDlg& edit) {
            listed = Find<QLabel>(edit, "meshProblems")->text();
            Find<QPlainTextEdit>(edit, "name")->setPlainText("girata");
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(listed, QString("Problemi della superficie:\n- 2 facce orientate al contrario "
                                 "delle vicine."));
        // Renamed, it stays selected and the categories stay as they were.
        QCOMPARE(o.dialog.SelectedElement(), o.ship.Tanks().GetAt(3));
        QCOMPARE(o.Tree()->currentItem()->text(0), QString("girata"));
        QVERIFY(o.Root(0)->isExpanded() && !o.Root(1)->isExpanded());
        o.Select(o.Item(2, "cassa 1"));
        WhenEditOpens([&](CElementEditDlg& edit) {
            shown = Find<QLabel>(edit, "meshProblems")->isVisible();
        });
        o.dialog.OnProperties();
        QVERIFY(!shown);

        // A delete keeps the categories open.
        dialogs.answers << IDOK;
        o.dialog.OnDelete();
        QVERIFY(o.Root(0)->isExpanded() && o.Root(2)->isExpanded());

        // A fin on an edge of a tetrahedron: one edge of three faces, in
        // the singular.
        QSignalSpy notes(&o.dialog, &CElementTreeDlg::statusMessage);
        dialogs.files << WriteFile(dir, "fin.obj",
                                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nv 1 1 -1\n"
                                   "f 1 3 2\nf 1 2 4\nf 2 3 4\nf 3 1 4\nf 1 2 5\n");
        o.Child<QPushButton>("addTank")->click();
        QVERIFY2(notes.last().first().toString().contains("; 1 spigolo comune a tre o più facce"),
                 qPrintable(notes.last().first().toString()));
    }

    void namesThatAreNotAsciiAreFound() {
        CScriptedDialogs dialogs;
        Opened o;
        QSignalSpy changed(&o.dialog, &CElementTreeDlg::modelChanged);
        // Latin-1 bytes (not UTF-8: 0xE0 then a blank) and UTF-8 bytes.
        const std::string latin1 = "cassa \xE0 prua";
        const std::string utf8 = "sala macchine \xE2\x80\x93 poppa";
        o.ship.Tanks().GetAt(2)->SetName(latin1);
        o.ship.Compartments().GetAt(1)->SetName(utf8);
        o.dialog.RefreshTree();
        const QString latin1Text = QString("cassa ") + QChar(0xE0) + " prua";
        const QString utf8Text = QString("sala macchine ") + QChar(0x2013) + " poppa";
        QCOMPARE(o.Children(2), QStringList({"cassa 1", latin1Text}));
        QCOMPARE(o.Children(1), QStringList{utf8Text});

        // Properties reach the tank; OK with nothing typed keeps its bytes.
        o.Select(o.Item(2, latin1Text));
        QCOMPARE(o.dialog.SelectedElement(), o.ship.Tanks().GetAt(2));
        QString shown;
        WhenEditOpens([&](CElementEditDlg& edit) {
            shown = Find<QPlainTextEdit>(edit, "name")->toPlainText();
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(shown, latin1Text);
        QCOMPARE(o.ship.Tanks().GetAt(2)->GetName(), latin1);
        QCOMPARE(changed.size(), 0);

        // A typed name is stored as UTF-8.
        o.Select(o.Item(2, latin1Text));
        WhenEditOpens([&](CElementEditDlg& edit) {
            Find<QPlainTextEdit>(edit, "name")->setPlainText(QString("cassa ") + QChar(0xE8));
            Find<QPushButton>(edit, "ok")->click();
        });
        o.dialog.OnProperties();
        QCOMPARE(o.ship.Tanks().GetAt(2)->GetName(), std::string("cassa \xC3\xA8"));
        QCOMPARE(changed.size(), 1);

        // Delete reaches the compartment by its UTF-8 name.
        o.Select(o.Item(1, utf8Text));
        QCOMPARE(o.dialog.SelectedElement(), o.ship.Compartments().GetAt(1));
        dialogs.answers << IDOK;
        o.dialog.OnDelete();
        QCOMPARE(o.ship.Compartments().GetCount(), 0);
        QCOMPARE(dialogs.Texts().last(), QString("Elemento cancellato"));
    }

    void screenshots() {
        Opened o;
        o.Tree()->expandAll();
        o.Select(o.Item(2, "cassa 1"));
        o.Child<QRadioButton>("previewShaded")->click();
        SaveScreenshot(o.dialog, "CElementTreeDlg.png");

        // A tank added from a drawing (named after it) and a tank disabled.
        CScriptedDialogs dialogs;
        dialogs.files << Sample("wigley-tank-fore.dxf");
        o.Child<QPushButton>("addTank")->click();
        o.ship.Tanks().GetAt(2)->SetEnabled(false);
        o.dialog.RefreshTree();
        o.Tree()->expandAll();
        o.Select(o.Root(2)->child(2));
        SaveScreenshot(o.dialog, "CElementTreeDlg-added.png");

        CElementEditDlg edit;
        edit.SetValues(LoadElementValues(*o.ship.Tanks().GetAt(1), kindTank));
        edit.show();
        SaveScreenshot(edit, "CElementEditDlg-tank.png");
        CElementEditDlg room;
        room.SetValues(LoadElementValues(*o.ship.Compartments().GetAt(1), kindCompartment));
        room.SetMeshProblems(ElementProblemTexts(*o.ship.Compartments().GetAt(1), kindCompartment));
        room.show();
        SaveScreenshot(room, "CElementEditDlg-compartment.png");
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ElementDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ElementDialogsTest.moc"
