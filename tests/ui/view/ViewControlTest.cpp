// The view control window acting on a view shown on the X server; the
// element tree and the view control brought up by their commands; and the
// sample Wigley ship built from its drawings through the element tree and
// the properties dialog, saved and read back.
#include "ViewControlTest.h"

#include "ScriptedDialogs.h"
#include "ViewTestSupport.h"
#include "WhenEditOpens.h"

#include "ui/app/CBrelundApp.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CommandTable.h"
#include "ui/dialogs/CElementEditDlg.h"
#include "ui/dialogs/CViewControlDlg.h"
#include "ui/dialogs/FieldExchange.h"
#include "ui/view/ModelFraming.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

const QString kSamples = QString(BRELUND_SOURCE_DIR) + "/samples/";

// The view control of a test's view, shown.
struct ShownControl {
    CViewUnderTest t;
    CViewControlDlg& dialog;
    ShownControl() : dialog(*t.View().ViewControl()) {
        dialog.show();
        QApplication::processEvents();
    }
    QLineEdit* Box(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    void Press(const char* name) { dialog.findChild<QPushButton*>(name)->click(); }
};

void RightDrag(QWidget& w, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, w.mapToGlobal(from), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent move(QEvent::MouseMove, to, w.mapToGlobal(to), Qt::NoButton, Qt::RightButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w.mapToGlobal(to), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == text)
            return *it;
    return nullptr;
}

QString CalcList(const QString& ship) {
    QProcess calc;
    calc.start(BRELUND_CALC, {"list", ship});
    if (!calc.waitForFinished(60000) || calc.exitCode() != 0)
        return "brelund-calc list failed: " + QString::fromUtf8(calc.readAllStandardError());
    return QString::fromUtf8(calc.readAllStandardOutput());
}

} // namespace

void ViewControlTest::thePlusAndMinusButtonsStepFiveDegreesAndWrap() {
    ShownControl c;
    QVERIFY(c.t.IsExposed());
    CBrelundView& view = c.t.View();
    // Shown: the boxes hold the view's angles and depth bounds.
    QCOMPARE(c.Box("angleX")->text(), QString("0"));
    QCOMPARE(c.Box("zNear")->text(), QString("-100"));
    QCOMPARE(c.Box("zFar")->text(), QString("100"));

    c.Box("angleX")->setText("355");
    c.Press("apply");
    QCOMPARE(view.AngleX(), 355.0);
    c.Press("plusX");
    QCOMPARE(view.AngleX(), 0.0);
    QCOMPARE(c.Box("angleX")->text(), QString("0"));

    c.Box("angleZ")->setText("-355");
    c.Press("apply");
    c.Press("minusZ");
    QCOMPARE(view.AngleZ(), 0.0);
    c.Press("minusZ");
    QCOMPARE(view.AngleZ(), -5.0);
    QCOMPARE(c.Box("angleZ")->text(), QString("-5"));

    // A value typed and not applied is lost by a step: the fields are
    // written to the boxes before they are read again.
    c.Box("angleY")->setText("12");
    c.Press("plusX");
    QCOMPARE(view.AngleX(), 5.0);
    QCOMPARE(view.AngleY(), 0.0);
    QCOMPARE(c.Box("angleY")->text(), QString("0"));

    // The picture follows: (4, 0, 0) turned 90 degrees about z shows at
    // (0, 4).
    c.Box("angleX")->setText("0");
    c.Box("angleZ")->setText("90");
    c.Press("apply");
    const QImage image = c.t.Grab();
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(0, 4), qRgb(255, 0, 0)));
    QVERIFY(!ColourNear(image, CViewUnderTest::Pixel(4, 0), qRgb(255, 0, 0), 2));
}

void ViewControlTest::applyPutsBackTheAnglesTheWindowShowsAfterAMouseTurn() {
    ShownControl c;
    QVERIFY(c.t.IsExposed());
    CBrelundView& view = c.t.View();
    c.Box("angleX")->setText("20");
    c.Press("apply");
    RightDrag(view, {100, 100}, {130, 100});
    QCOMPARE(view.AngleZ(), 30.0);
    // The mouse does not reach the boxes ...
    QCOMPARE(c.Box("angleZ")->text(), QString("0"));
    // ... and Apply puts back what they show.
    c.Press("apply");
    QCOMPARE(view.AngleX(), 20.0);
    QCOMPARE(view.AngleZ(), 0.0);
    // Hidden and shown again, the boxes take the view's angles.
    RightDrag(view, {100, 100}, {110, 100});
    c.dialog.hide();
    c.dialog.show();
    QCOMPARE(c.Box("angleZ")->text(), QString("10"));
}

void ViewControlTest::autoZoomWritesTheNewDepthBoundsIntoTheBoxes() {
    ShownControl c;
    QVERIFY(c.t.IsExposed());
    CBrelundView& view = c.t.View();
    CShipElement* hull = c.t.Model().AddElement(kindHull);
    hull->SetName("scafo");
    hull->Append(SquareQuad(-20, -3, 20, 3, 2));
    view.SetAngles(-59.9737463215942, 0, 30);
    c.Box("angleX")->setText("15");

    c.Press("autoZoom");
    // The boxes show the view as framed: the typed angle is gone, the
    // angles to a hundredth of a degree, whole in their boxes.
    QCOMPARE(c.Box("angleX")->text(), QString("-59.97"));
    QCOMPARE(c.Box("angleZ")->text(), QString("30"));
    CViewVolume framed;
    {
        CViewCamera camera;
        camera.SetViewport(view.width(), view.height());
        camera.SetAngles(-59.9737463215942, 0, 30);
        QVERIFY(FrameModel(camera, c.t.Model()));
        framed = camera.Volume();
    }
    QVERIFY(framed.m_far != 100.0);
    QCOMPARE(view.Volume().m_near, framed.m_near);
    QCOMPARE(view.Volume().m_far, framed.m_far);
    QCOMPARE(c.Box("zNear")->text(), FormatFieldNumber(framed.m_near));
    QCOMPARE(c.Box("zFar")->text(), FormatFieldNumber(framed.m_far));
    for (const char* name : {"angleX", "angleY", "angleZ", "zNear", "zFar"}) {
        QLineEdit* box = c.Box(name);
        QVERIFY2(box->width() >= box->fontMetrics().horizontalAdvance(box->text()) + 8, name);
    }

    // Apply keeps the framed depth, and the angle left as shown keeps its
    // every digit.
    c.Press("apply");
    QCOMPARE(view.Volume().m_near, framed.m_near);
    QCOMPARE(view.Volume().m_far, framed.m_far);
    QCOMPARE(view.AngleX(), -59.9737463215942);
}

void ViewControlTest::zoomsEndWithTheBoxesDepthAndPansMoveByATenth() {
    ShownControl c;
    QVERIFY(c.t.IsExposed());
    CBrelundView& view = c.t.View();
    // The square window, the square volume: FitAspect changes nothing.
    c.Press("zoomIn");
    QCOMPARE(view.Volume().m_left, -4.0);
    QCOMPARE(view.Volume().m_right, 4.0);
    QCOMPARE(view.Volume().m_top, 4.0);
    c.Press("zoomOut");
    QCOMPARE(view.Volume().m_right, 4.8);
    // Zoom Out widens the depth, and its Apply narrows it back.
    QCOMPARE(view.Volume().m_near, -100.0);
    QCOMPARE(view.Volume().m_far, 100.0);

    const CViewVolume before = view.Volume();
    const long long frames = view.FramesDrawn();
    c.Press("panUp");
    QCOMPARE(view.Volume().m_bottom, before.m_bottom + 0.1 * before.Height());
    QCOMPARE(view.Volume().m_top, before.m_top + 0.1 * before.Height());
    c.Press("panLeft");
    QCOMPARE(view.Volume().m_left, before.m_left - 0.1 * before.Width());
    c.Press("panRight");
    c.Press("panDown");
    QCOMPARE(view.Volume().m_left, before.m_left);
    QCOMPARE(view.Volume().m_bottom, before.m_bottom);
    // A pan redraws the ship.
    c.t.Grab();
    QVERIFY(view.FramesDrawn() > frames);
}

void ViewControlTest::anXAngleOutOfRangeIsAppliedAndStopsTheReading() {
    CScriptedDialogs dialogs;
    ShownControl c;
    QVERIFY(c.t.IsExposed());
    CBrelundView& view = c.t.View();
    c.Box("angleX")->setText("400");
    c.Box("angleY")->setText("7");
    c.Box("zFar")->setText("50");
    c.Press("apply");
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QString("Immettere un numero compreso tra -360 e 360."));
    // 400 is applied (it looks like 40); the boxes after it are not read.
    QCOMPARE(view.AngleX(), 400.0);
    QCOMPARE(view.AngleY(), 0.0);
    QCOMPARE(view.Volume().m_far, 100.0);

    // A box that holds no number stops the reading at it, after the boxes
    // before it were taken.
    c.Box("angleX")->setText("30");
    c.Box("angleZ")->setText("abc");
    c.Press("apply");
    QCOMPARE(dialogs.messages.size(), 2);
    QCOMPARE(dialogs.messages[1].text, QString("Immettere un numero."));
    QCOMPARE(view.AngleX(), 30.0);
    QCOMPARE(view.AngleY(), 7.0);
    QCOMPARE(view.AngleZ(), 0.0);
    QCOMPARE(view.Volume().m_far, 100.0);
    QVERIFY(std::isfinite(view.Volume().m_near));
}

void ViewControlTest::theCommandsShowTheToolWindowsAndOpenHidesTheTree() {
    CScriptedDialogs dialogs;
    CBrelundApp app;
    QVERIFY(app.InitInstance({kSamples + "wigley.nav"}));
    CMainFrame& frame = app.GetMainFrame();
    CBrelundView& view = app.GetView();
    CElementTreeDlg& tree = *view.ElementTree();
    QVERIFY(!tree.isVisible());
    QVERIFY(!view.ViewControl()->isVisible());

    frame.Action(Cmd::ElementTree)->trigger();
    QVERIFY(tree.isVisible());
    QCOMPARE(tree.GetModel(), &app.GetDocument().GetModel());
    QVERIFY(FindItem(tree.Tree(), "cassa 2") != nullptr);
    frame.Action(Cmd::ViewControl)->trigger();
    QVERIFY(view.ViewControl()->isVisible());

    // A change made in the tree marks the ship changed and redraws it.
    QTreeWidgetItem* room = FindItem(tree.Tree(), "sala macchine");
    QVERIFY(room);
    room->setSelected(true);
    dialogs.answers << IDYES;
    const long long frames = view.FramesDrawn();
    tree.OnInvertNormals();
    QVERIFY(app.GetDocument().IsModified());
    QVERIFY(frame.isWindowModified());
    view.grabFramebuffer();
    QVERIFY(view.FramesDrawn() > frames);

    // The tree's notes reach the status bar.
    emit tree.statusMessage("nota");
    QCOMPARE(frame.statusBar()->currentMessage(), QString("nota"));
    emit tree.statusMessage(QString());
    QCOMPARE(frame.statusBar()->currentMessage(), QString("Pronto"));

    // The preview follows the tree.
    QCOMPARE(view.PreviewMode(), 0);
    tree.findChild<QRadioButton*>("previewShaded")->click();
    QCOMPARE(view.PreviewMode(), 1);
    QCOMPARE(view.SelectedElement(), app.GetDocument().GetModel().FindElement("sala macchine"));

    // Open (after the save question, answered No) hides the tree; the view
    // control stays.
    dialogs.answers << IDNO;
    dialogs.files << kSamples + "barge.nav";
    frame.Action(Cmd::FileOpen)->trigger();
    QCOMPARE(app.GetDocument().GetModel().GetElementCount(), 4);
    QVERIFY(!tree.isVisible());
    QVERIFY(view.ViewControl()->isVisible());
    QVERIFY(view.SelectedElement() == nullptr);
    frame.Action(Cmd::ElementTree)->trigger();
    QVERIFY(FindItem(tree.Tree(), "cassa 1") != nullptr);
    QVERIFY(FindItem(tree.Tree(), "sala macchine") == nullptr);
    frame.Action(Cmd::FileNew)->trigger();
    QVERIFY(!tree.isVisible());
}

void ViewControlTest::theSampleShipBuiltInTheWindowsMatchesTheBundledFile() {
    CScriptedDialogs dialogs;
    CBrelundApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame& frame = app.GetMainFrame();
    CElementTreeDlg& tree = *app.GetView().ElementTree();
    frame.Action(Cmd::ElementTree)->trigger();

    // Adds a drawing with a button, selects its item (named after the file,
    // without its folder and extension)
    // and sets its properties in the properties dialog.
    const auto add = [&](const char* button, const char* drawing,
                         std::function<void(CElementEditDlg&)> edit) {
        dialogs.files << kSamples + drawing;
        tree.findChild<QPushButton*>(button)->click();
        QTreeWidgetItem* item = FindItem(tree.Tree(), QFileInfo(drawing).completeBaseName());
        QVERIFY2(item, drawing);
        item->setSelected(true);
        WhenEditOpens([edit](CElementEditDlg& dialog) {
            edit(dialog);
            dialog.findChild<QPushButton*>("ok")->click();
        });
        emit tree.Tree()->itemDoubleClicked(item, 0);
    };
    const auto field = [](CElementEditDlg& d, const char* name, const char* text) {
        d.findChild<QLineEdit*>(name)->setText(text);
    };
    const auto name = [](CElementEditDlg& d, const char* text) {
        d.findChild<QPlainTextEdit*>("name")->setPlainText(text);
    };
    add("addHull", "wigley.dxf", [&](CElementEditDlg& d) { name(d, "scafo"); });
    add("addCompartment", "wigley-engine-room.dxf", [&](CElementEditDlg& d) {
        name(d, "sala macchine");
        field(d, "permeability", "0.85");
    });
    // The engine room's faces turned inwards, from the tree's popup menu.
    QTreeWidgetItem* room = FindItem(tree.Tree(), "sala macchine");
    QVERIFY(room);
    room->setSelected(true);
    dialogs.answers << IDYES;
    tree.OnInvertNormals();
    add("addTank", "wigley-tank-aft.dxf", [&](CElementEditDlg& d) {
        name(d, "cassa 1");
        field(d, "specificWeight", "850");
        d.findChild<QRadioButton*>("fillingEntry")->click();
        field(d, "fillingRatio", "0.5");
    });
    add("addTank", "wigley-tank-fore.dxf", [&](CElementEditDlg& d) {
        name(d, "cassa 2");
        field(d, "specificWeight", "1000");
        d.findChild<QRadioButton*>("volumeEntry")->click();
        field(d, "loadVolume", "21.6");
    });
    QVERIFY(app.GetDocument().IsModified());

    QTemporaryDir dir;
    const QString built = dir.filePath("built.nav");
    dialogs.files << built;
    frame.Action(Cmd::FileSaveAs)->trigger();
    QVERIFY(!app.GetDocument().IsModified());
    const QString bundled = CalcList(kSamples + "wigley.nav");
    QCOMPARE(CalcList(built), bundled);

    // Read back in the window and saved again under another name: the same.
    frame.Action(Cmd::FileNew)->trigger();
    QCOMPARE(app.GetDocument().GetModel().GetElementCount(), 0);
    dialogs.files << built;
    frame.Action(Cmd::FileOpen)->trigger();
    QCOMPARE(app.GetDocument().GetModel().GetElementCount(), 4);
    const QString again = dir.filePath("again.nav");
    dialogs.files << again;
    frame.Action(Cmd::FileSaveAs)->trigger();
    QCOMPARE(CalcList(again), bundled);
    QCOMPARE(dialogs.messages.size(), 1); // the inversion's question only
}

void ViewControlTest::screenshotsOfTheToolWindows() {
    CBrelundApp app;
    QVERIFY(app.InitInstance({kSamples + "wigley.nav"}));
    CMainFrame& frame = app.GetMainFrame();
    frame.resize(1024, 720);
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.Action(Cmd::AutoZoom)->trigger();
    frame.Action(Cmd::ElementTree)->trigger();
    frame.Action(Cmd::ViewControl)->trigger();
    CElementTreeDlg& tree = *app.GetView().ElementTree();
    tree.Tree()->expandAll();
    QTreeWidgetItem* hull = FindItem(tree.Tree(), "scafo");
    QVERIFY(hull);
    hull->setSelected(true);
    tree.findChild<QRadioButton*>("previewShaded")->click();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QVERIFY(QTest::qWaitForWindowExposed(app.GetView().ViewControl()));
    QApplication::processEvents();
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    const QString dir = QString(BRELUND_SCREENSHOT_DIR) + "/";
    QVERIFY(tree.grab().save(dir + "CElementTreeDlg-app.png"));
    QVERIFY(app.GetView().ViewControl()->grab().save(dir + "CViewControlDlg.png"));
    QVERIFY(frame.grab().save(dir + "view-shaded-preview.png"));
    // The shaded hull is lit grey, not the wireframe's flat grey alone.
    const QImage image = app.GetView().grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QVERIFY(CountColour(image, qRgb(128, 128, 128)) < image.width() * image.height() / 4);
}
