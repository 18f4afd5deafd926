// The desktop application's shell, driven on an X server (Xvfb: the 3D view
// needs OpenGL): start-up, opening and saving ships, the questions before
// work is lost, menus, toolbar, status bar and printing. Message boxes and
// file dialogs are answered by the test.
#include "DialogSize.h"
#include "KeepGraphicsDriver.h"
#include "ScriptedDialogs.h"
#include "WhenEditOpens.h"
#include "X11TestSetup.h"
#include "ui/app/CAboutDlg.h"
#include "ui/app/CBrelundApp.h"
#include "ui/app/CBrelundDoc.h"
#include "ui/app/CBrelundView.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CommandTable.h"
#include "ui/dialogs/CConditionsDlg.h"
#include "ui/dialogs/CDamageDlg.h"
#include "ui/dialogs/CElementTreeDlg.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CModelCheckDlg.h"
#include "ui/dialogs/CStabilityDlg.h"
#include "ui/dialogs/CUprightHullsDlg.h"
#include "ui/dialogs/CViewControlDlg.h"

#include "report/CTextGrid.h"

#include "model/ShipFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QUrl>
#include <QWindow>

#ifdef BRELUND_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kWigley = QString(BRELUND_SOURCE_DIR) + "/samples/wigley.nav";
const QString kBarge = QString(BRELUND_SOURCE_DIR) + "/samples/barge.nav";

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The title the window system shows, "[*]" resolved.
QString ShownTitle(CMainFrame& frame) {
    frame.winId();
    return frame.windowHandle()->title();
}

// Menu texts in order, "|" for a separator.
QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        if (a->isVisible())
            texts << (a->isSeparator() ? QString("|") : a->text());
    return texts;
}

// How many pixels of image are exactly colour.
int Pixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

int ElementCount(CBrelundApp& app) {
    return app.GetDocument().GetModel().GetElementCount();
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CScriptedDialogs> m_dialogs;
    std::unique_ptr<CBrelundApp> m_app;

    QString Copy(const QString& from, const QString& name) {
        const QString to = m_dir->filePath(name);
        QFile::remove(to);
        QFile::copy(from, to);
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }

    CBrelundApp& Start(const QStringList& arguments = {}) {
        m_app = std::make_unique<CBrelundApp>();
        m_app->InitInstance(arguments);
        return *m_app;
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings(kSettingsKey, kAppTitle).clear();
        m_dialogs = std::make_unique<CScriptedDialogs>();
    }

    void cleanup() {
        if (m_app)
            m_app->GetDocument().SetModifiedFlag(false);
        m_app.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void startsOnTheShipNamedOnTheCommandLine() {
        CBrelundApp& app = Start({kWigley});
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("wigley.nav - Brelund"));
        QCOMPARE(ElementCount(app), 4);
        QCOMPARE(app.GetDocument().GetPathName(), kWigley);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void startsOnAnEmptyUntitledShipWithoutAFile() {
        CBrelundApp& app = Start();
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("Senza titolo - Brelund"));
        QCOMPARE(ElementCount(app), 0);
        QVERIFY(app.GetDocument().GetPathName().isEmpty());
    }

    void startsOnAnEmptyShipWhenTheNamedFileCannotBeRead() {
        CBrelundApp& app = Start({m_dir->filePath("missing.nav")});
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].text.startsWith("Impossibile aprire il documento.\n"));
        QVERIFY(m_dialogs->messages[0].text.contains("missing.nav"));
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("Senza titolo - Brelund"));
        QVERIFY(app.GetMainFrame().isVisible());
    }

    void recentFilesKeepTheFourNewestFirstAcrossRuns() {
        CBrelundApp& app = Start();
        QStringList opened;
        for (int i = 1; i <= 5; ++i) {
            opened << Copy(kWigley, QString("ship%1.nav").arg(i));
            QVERIFY(app.OpenDocumentFile(opened.last()));
        }
        const QStringList expected = {opened[4], opened[3], opened[2], opened[1]};
        QCOMPARE(app.RecentFiles(), expected);

        const QStringList menu = MenuTexts(app.GetMainFrame().FileMenu());
        const int first = menu.indexOf(QString("&1 ") + opened[4]);
        QVERIFY2(first > 0, qPrintable(menu.join(" / ")));
        QCOMPARE(menu.mid(first, 4), QStringList({"&1 " + opened[4], "&2 " + opened[3],
                                                  "&3 " + opened[2], "&4 " + opened[1]}));
        QVERIFY(!menu.contains("Ultimo file usato"));
        for (int i = 1; i <= 4; ++i) {
            auto* action = app.GetMainFrame().findChild<QAction*>(QString("recentFile%1").arg(i));
            QVERIFY(action);
            QCOMPARE(action->statusTip(), QString("Apre questo documento"));
        }

        // Kept in the settings for the next run, and reopening moves a file up.
        QSettings settings("Dorvanti's Application", "Brelund");
        QCOMPARE(settings.value("Recent File List/File1").toString(), opened[4]);
        QCOMPARE(settings.value("Recent File List/File4").toString(), opened[1]);
        m_app.reset();
        CBrelundApp& again = Start();
        QCOMPARE(again.RecentFiles(), expected);
        again.OnRecentFile(2);
        QCOMPARE(again.GetDocument().GetPathName(), opened[2]);
        QCOMPARE(again.RecentFiles(), QStringList({opened[2], opened[4], opened[3], opened[1]}));
    }

    void aRecentFileThatCannotBeOpenedLeavesTheList() {
        CBrelundApp& app = Start();
        const QString ship = Copy(kBarge, "gone.nav");
        QVERIFY(app.OpenDocumentFile(ship));
        QFile::remove(ship);
        app.OnRecentFile(0);
        QVERIFY(app.RecentFiles().isEmpty());
        QVERIFY(MenuTexts(app.GetMainFrame().FileMenu()).contains("Ultimo file usato"));
    }

    void aDamagedFileKeepsTheShipShown() {
        CBrelundApp& app = Start({kWigley});
        const QByteArray whole = ReadAll(kWigley);
        const QString damaged = m_dir->filePath("damaged.nav");
        WriteAll(damaged, whole.left(whole.size() / 2));

        QVERIFY(!app.OpenDocumentFile(damaged));
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages[0].text;
        QVERIFY2(text.startsWith("Impossibile aprire il documento.\n"), qPrintable(text));
        QVERIFY2(text.contains(damaged + " non è un file valido.\nFile nave danneggiato al byte "),
                 qPrintable(text));
        QCOMPARE(ElementCount(app), 4);
        QCOMPARE(app.GetDocument().GetPathName(), kWigley);
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("wigley.nav - Brelund"));
        QVERIFY(!app.RecentFiles().contains(damaged));
    }

    void theConditionsComeAndGoWithTheShip() {
        const QString ship = Copy(kWigley, "w.nav");
        const QString conditions = m_dir->filePath("w.conditions.json");
        QVERIFY(QFile::copy(QString(BRELUND_SOURCE_DIR) + "/samples/wigley.conditions.json",
                            conditions));
        CBrelundApp& app = Start({ship});
        CBrelundDoc& doc = app.GetDocument();
        QCOMPARE(doc.GetConditions().All().size(), std::size_t{2});
        CLoadingConditions fewer = doc.GetConditions();
        QVERIFY(fewer.Remove(fewer.All()[0].name));
        QVERIFY(doc.SetConditions(fewer, "Elimina condizione"));
        QVERIFY(doc.IsModified());
        doc.UndoStack().undo();
        QVERIFY(!doc.IsModified());
        doc.UndoStack().redo();
        QVERIFY(doc.DoFileSave());
        QVERIFY(app.OpenDocumentFile(ship));
        QVERIFY(doc.GetConditions() == fewer);

        // A conditions file that cannot be read costs the conditions, not
        // the ship, and stays as it was through a save.
        WriteAll(conditions, "{\"format\": 1, \"conditions\": [");
        QVERIFY(app.OpenDocumentFile(ship));
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages[0].text.startsWith(
                     "Impossibile leggere le condizioni di carico della nave"),
                 qPrintable(m_dialogs->messages[0].text));
        QVERIFY(doc.GetConditions().Empty() && !doc.ConditionsWritable());
        QVERIFY(!doc.SetConditions(fewer, "Aggiungi condizione"));
        doc.SetModifiedFlag();
        QVERIFY(doc.DoFileSave());
        QCOMPARE(ReadAll(conditions), QByteArray("{\"format\": 1, \"conditions\": ["));
    }

    void theStabilityWindowShowsItsConditionInTheView() {
        const QString ship = Copy(kWigley, "w.nav");
        QVERIFY(QFile::copy(QString(BRELUND_SOURCE_DIR) + "/samples/wigley.conditions.json",
                            m_dir->filePath("w.conditions.json")));
        CBrelundApp& app = Start({ship});
        CBrelundDoc& doc = app.GetDocument();
        CMainFrame& frame = app.GetMainFrame();
        CBrelundView& view = app.GetView();
        frame.resize(1024, 720);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.Action(Cmd::Stability)->statusTip(),
                 QString::fromUtf8("Visualizza la finestra per il calcolo della stabilità di una "
                                   "condizione di carico: equilibrio, curva GZ e criteri "));
        frame.Action(Cmd::Stability)->trigger();
        CStabilityDlg& stability = *view.Stability();
        QVERIFY(QTest::qWaitForWindowExposed(&stability));
        QCOMPARE(stability.ConditionList()->count(), 2);
        QVERIFY(!view.ShownCondition());

        stability.ConditionList()->setCurrentRow(1);
        stability.Run();
        QVERIFY(view.ShownCondition());
        const CConditionPicture& shown = *view.ShownCondition();
        const CStabilitySummary& s = stability.Result()->summary;
        QCOMPARE(shown.heel, s.equilibrium);
        QCOMPARE(shown.trim, s.trim);
        QCOMPARE(shown.g.Z(), s.g.Z());
        QCOMPARE(shown.b.Z(), stability.Picture()->b.Z());
        // The frame while the view draws it, then a screenshot.
        QTest::qWait(100);
        const QImage shot = frame.grab().toImage();
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(shot.save(QString("%1/main-window-stability.png").arg(BRELUND_SCREENSHOT_DIR)));
        // The window shows the waterplane light blue over the white
        // background beside the hull (white under 80, 160, 255 at 0.35),
        // not in some colour of the framebuffer's alpha.
        int blue = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                blue += qAbs(qRed(c) - 194) <= 3 && qAbs(qGreen(c) - 222) <= 3 && qBlue(c) == 255;
            }
        QVERIFY2(blue > 1000, qPrintable(QString::number(blue)));
        // The sample's openings are marked: its air pipe and door, not
        // weathertight, as orange crosses, its hatch as a teal square, all
        // above water upright.
        QCOMPARE(shown.openings.size(), std::size_t{3});
        QVERIFY2(Pixels(shot, qRgb(255, 140, 0)) >= 2 * 15,
                 qPrintable(QString::number(Pixels(shot, qRgb(255, 140, 0)))));
        QVERIFY2(Pixels(shot, qRgb(0, 150, 150)) >= 30,
                 qPrintable(QString::number(Pixels(shot, qRgb(0, 150, 150)))));
        QCOMPARE(Pixels(shot, qRgb(200, 0, 200)), 0);

        // A heel of the curve turns the ship there.
        QVERIFY(stability.ShowHeel(30));
        QCOMPARE(view.ShownCondition()->heel, 30.0);
        view.SetAngles(-60, 0, -30);
        view.AutoZoom();
        QTest::qWait(100);
        QVERIFY(frame.grab().save(
            QString("%1/main-window-stability-heel-30.png").arg(BRELUND_SCREENSHOT_DIR)));
        // At 45 deg the air pipe, which goes under at 39 deg, is under
        // water: magenta.
        QVERIFY(stability.ShowHeel(45));
        QTest::qWait(100);
        const QImage heeled = frame.grab().toImage();
        QVERIFY(heeled.save(
            QString("%1/main-window-stability-heel-45.png").arg(BRELUND_SCREENSHOT_DIR)));
        QVERIFY2(Pixels(heeled, qRgb(200, 0, 200)) >= 15,
                 qPrintable(QString::number(Pixels(heeled, qRgb(200, 0, 200)))));

        // The list follows the document's conditions: a condition gone
        // leaves the other's result; the one computed, changed, takes it
        // away, and the view shows the ship in its own axes.
        CLoadingConditions conditions = doc.GetConditions();
        QVERIFY(conditions.Remove(conditions.All()[0].name));
        QVERIFY(doc.SetConditions(conditions, "Elimina condizione"));
        QCOMPARE(stability.ConditionList()->count(), 1);
        QVERIFY(view.ShownCondition());
        CLoadingCondition heavier = conditions.All()[0];
        heavier.lightship += 10;
        QVERIFY(conditions.Replace(0, heavier));
        QVERIFY(doc.SetConditions(conditions, "Modifica condizione"));
        QVERIFY(!stability.Result());
        QVERIFY(!view.ShownCondition());

        // Closed, the window takes its picture with it.
        stability.Run();
        QVERIFY(view.ShownCondition());
        stability.close();
        QVERIFY(!view.ShownCondition());
    }

    void theDamageWindowShowsEachCaseAsTheCommandLineAndItsFloodingInTheView() {
        const QString ship = Copy(kBarge, "b.nav");
        QVERIFY(QFile::copy(QString(BRELUND_SOURCE_DIR) + "/samples/barge.conditions.json",
                            m_dir->filePath("b.conditions.json")));
        CBrelundApp& app = Start({ship});
        CMainFrame& frame = app.GetMainFrame();
        CBrelundView& view = app.GetView();
        frame.resize(1024, 720);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.Action(Cmd::DamageStability)->trigger();
        CDamageDlg& damage = *view.DamageStability();
        QVERIFY(QTest::qWaitForWindowExposed(&damage));
        QCOMPARE(damage.CaseList()->topLevelItemCount(), 3);
        damage.Run();
        QCOMPARE(damage.Results().size(), std::size_t{3});

        // Each case's result and heel as brelund-calc damage prints them.
        QProcess calc;
        calc.start(BRELUND_CALC, {"damage", ship, "--condition", "Partenza - criteri soddisfatti",
                                  "--case", "all"});
        QVERIFY(calc.waitForFinished(60000) && calc.exitCode() == 0);
        QStringList summaries;
        for (const QString& line : QString::fromUtf8(calc.readAllStandardOutput()).split('\n'))
            if (line.section('\t', 1, 1) == "floats")
                summaries << line;
        QCOMPARE(summaries.size(), 3);
        for (int k = 0; k < 3; ++k) {
            const QTreeWidgetItem* row = damage.CaseList()->topLevelItem(k);
            QCOMPARE(row->text(0), summaries[k].section('\t', 0, 0));
            QCOMPARE(row->text(1), QString("galleggia"));
            QCOMPARE(row->text(2), summaries[k].section('\t', 10, 10));
        }

        // The starboard room open: the view shows its equilibrium, the
        // room shaded.
        damage.CaseList()->setCurrentItem(damage.CaseList()->topLevelItem(1));
        QVERIFY(view.ShownCondition());
        const CDamageResult& room = damage.Results()[1];
        QCOMPARE(view.ShownCondition()->heel, room.equilibrium.point.heel);
        QCOMPARE(view.ShownCondition()->waterplane, room.equilibrium.waterplane);
        QCOMPARE(view.ShownCondition()->flooded, std::vector<int>{2});
        view.SetAngles(-60, 0, -30);
        view.AutoZoom();
        QTest::qWait(100);
        const QImage shot = frame.grab().toImage();
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(shot.save(QString("%1/main-window-damage.png").arg(BRELUND_SCREENSHOT_DIR)));
        QVERIFY(damage.grab().save(QString("%1/damage-window.png").arg(BRELUND_SCREENSHOT_DIR)));
        // The same picture without the room shaded differs where it lies.
        CConditionPicture bare = *view.ShownCondition();
        bare.flooded.clear();
        view.ShowCondition(bare);
        QTest::qWait(100);
        const QImage without = frame.grab().toImage();
        int changed = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                changed += shot.pixel(x, y) != without.pixel(x, y);
        QVERIFY2(changed > 500, qPrintable(QString::number(changed)));

        // Closed, the window takes its picture with it.
        damage.CaseList()->setCurrentItem(damage.CaseList()->topLevelItem(0));
        QVERIFY(view.ShownCondition());
        damage.close();
        QVERIFY(!view.ShownCondition());
    }

    void whatAShipFileToleratesIsToldInItalian() {
        CBrelundApp& app = Start({kWigley});
        const QString tail = m_dir->filePath("tail.nav");
        WriteAll(tail, ReadAll(kWigley) + QByteArray("xyz"));

        QVERIFY(app.OpenDocumentFile(tail));
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].text.section('\n', 2),
                 QString("3 byte dopo l'ultima cassa, dal byte %1, non sono stati letti")
                     .arg(ReadAll(kWigley).size()));
    }

    void aChangedShipIsNotThrownAwayWithoutAsking() {
        CBrelundApp& app = Start({Copy(kWigley, "w.nav")});
        CBrelundDoc& doc = app.GetDocument();
        doc.SetModifiedFlag();
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("w.nav* - Brelund"));

        // Cancel keeps everything.
        m_dialogs->answers << IDCANCEL;
        app.OnFileNew();
        QCOMPARE(m_dialogs->messages.last().text,
                 QString("Salvare le modifiche apportate a w.nav?"));
        QCOMPARE(m_dialogs->messages.last().type & 0x0Fu, unsigned{MB_YESNOCANCEL});
        QCOMPARE(ElementCount(app), 4);
        QVERIFY(doc.IsModified());

        // No throws the change away.
        m_dialogs->answers << IDNO;
        app.OnFileNew();
        QCOMPARE(ElementCount(app), 0);
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("Senza titolo - Brelund"));
    }

    void saveOfAnUntitledShipAsksForANameAndAddsTheExtension() {
        CBrelundApp& app = Start();
        CBrelundDoc& doc = app.GetDocument();
        doc.GetModel().AddElement(kindHull)->SetName("scafo");
        doc.SetModifiedFlag();
        m_dialogs->files << m_dir->filePath("nuova");
        QVERIFY(doc.DoFileSave());
        QCOMPARE(m_dialogs->lastProposedName, QString("Senza titolo.nav"));
        const QString path = m_dir->filePath("nuova.nav");
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(ShownTitle(app.GetMainFrame()), QString("nuova.nav - Brelund"));
        CShipModel back;
        LoadShipFile(back, path.toStdString());
        QCOMPARE(back.GetElementCount(), 1);

        // Cancelling the name keeps the ship changed and writes nothing.
        m_app.reset();
        CBrelundApp& other = Start();
        other.GetDocument().SetModifiedFlag();
        QVERIFY(!other.GetDocument().DoFileSave());
        QVERIFY(other.GetDocument().IsModified());
    }

    void yesToTheQuestionSavesBeforeTheShipIsReplaced() {
        const QString ship = Copy(kWigley, "w.nav");
        CBrelundApp& app = Start({ship});
        QVERIFY(app.GetDocument().GetModel().DeleteElement("sala macchine"));
        const int count = ElementCount(app);
        QCOMPARE(count, 3);
        app.GetDocument().SetModifiedFlag();
        m_dialogs->answers << IDYES;
        QVERIFY(app.OpenDocumentFile(kBarge));
        CShipModel back;
        LoadShipFile(back, ship.toStdString());
        QCOMPARE(back.GetElementCount(), count);
        QCOMPARE(app.GetDocument().GetPathName(), kBarge);
    }

    void aShipDroppedOnTheWindowIsOpened() {
        CBrelundApp& app = Start({kWigley});
        CMainFrame& frame = app.GetMainFrame();
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(m_dir->filePath("notes.txt")), QUrl::fromLocalFile(kBarge)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &drop);
        QCOMPARE(app.GetDocument().GetPathName(), kBarge);

        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(m_dir->filePath("notes.txt"))});
        QDragEnterEvent other(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
        other.setAccepted(false);
        QApplication::sendEvent(&frame, &other);
        QVERIFY(!other.isAccepted());
    }

    void aDroppedShipAsksBeforeReplacingAChangedOne() {
        CBrelundApp& app = Start({kWigley});
        app.GetDocument().SetModifiedFlag();
        m_dialogs->answers << IDCANCEL;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(kBarge)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&app.GetMainFrame(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&app.GetMainFrame(), &drop);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(app.GetDocument().GetPathName(), kWigley);
    }

    void saveAsksBeforeOverwritingAShipAnotherProgramChanged() {
        const QString ship = Copy(kWigley, "shared.nav");
        CBrelundApp& app = Start({ship});
        CBrelundDoc& doc = app.GetDocument();
        doc.SetModifiedFlag();
        const QByteArray theirs = ReadAll(kBarge);
        WriteAll(ship, theirs);

        m_dialogs->answers << IDNO;
        QVERIFY(!doc.DoFileSave());
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].text.contains("modificato da un altro programma"));
        QCOMPARE(ReadAll(ship), theirs);
        QVERIFY(doc.IsModified());

        // While the question is shown, another writer (brelund-calc edit
        // takes the lock this way) finds the ship held: no edit of theirs
        // can land between the look at the file and the save over it.
        bool theyWrote = false;
        m_dialogs->whileAsking = [&] {
            const int other = ::open(ship.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
            if (other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) == 0) {
                WriteAll(ship, ReadAll(kWigley) + "their edit");
                theyWrote = true;
            }
            ::close(other);
        };
        m_dialogs->answers << IDYES;
        QVERIFY(doc.DoFileSave());
        m_dialogs->whileAsking = nullptr;
        QVERIFY(!theyWrote);
        QCOMPARE(ReadAll(ship), ReadAll(kWigley));
        QVERIFY(!doc.IsModified());
        // Our own save is not taken for another program's change.
        doc.SetModifiedFlag();
        QVERIFY(doc.DoFileSave());
        QCOMPARE(m_dialogs->messages.size(), 2);
    }

    void aFailedSaveKeepsThePreviousFileAndSaysWhy() {
        // Refused for root too: the file has no write bit at all.
        const QString ship = Copy(kWigley, "locked.nav");
        QVERIFY(::chmod(ship.toLocal8Bit().constData(), 0444) == 0);
        CBrelundApp& app = Start({ship});
        app.GetDocument().GetModel().Clear();
        app.GetDocument().SetModifiedFlag();
        QVERIFY(!app.GetDocument().DoFileSave());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages[0].text;
        QCOMPARE(text, "Impossibile salvare il documento.\nAccesso a " + ship +
                           " negato.\nIl file è di sola lettura; nulla è stato scritto");
        QCOMPARE(ReadAll(ship), ReadAll(kWigley));
        QVERIFY(app.GetDocument().IsModified());
    }

    void aSaveWaitsForNoOtherWriterAndSaysWhenOneHoldsTheShip() {
        const QString ship = Copy(kWigley, "busy.nav");
        CBrelundApp& app = Start({ship});
        app.GetDocument().GetModel().Clear();
        app.GetDocument().SetModifiedFlag();
        qputenv("BRELUND_LOCK_WAIT", "0.2");
        {
            // Held as brelund-calc edit holds it, from another open of the file.
            const int other = ::open(ship.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);
            QVERIFY(!app.GetDocument().DoFileSave());
            ::close(other);
        }
        qunsetenv("BRELUND_LOCK_WAIT");
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].text,
                 "Impossibile salvare il documento.\nViolazione di condivisione durante "
                 "l'accesso a " +
                     ship +
                     ".\nLa nave è in corso di modifica da parte di un altro processo; riprovare "
                     "quando avrà finito");
        QCOMPARE(ReadAll(ship), ReadAll(kWigley));
        QVERIFY(app.GetDocument().DoFileSave());
        CShipModel back;
        LoadShipFile(back, ship.toStdString());
        QCOMPARE(back.GetElementCount(), 0);
    }

    void menusHoldEveryItemInOrder() {
        CBrelundApp& app = Start();
        QStringList titles;
        for (const QAction* a : app.GetMainFrame().menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Modifica", "&Visualizza", "&?"}));

        const QList<QAction*> menus = app.GetMainFrame().menuBar()->actions();
        QCOMPARE(MenuTexts(menus[0]->menu()),
                 QStringList({"&Nuovo\tCtrl+N", "&Apri...\tCtrl+A", "&Salva\tCtrl+S",
                              "Sa&lva con nome...", "|", "Stampa relazione…",
                              "Stam&pa...\tCtrl+P",
                              "Antepri&ma di stampa", "Imposta s&tampante...", "|", "In&via...",
                              "|", "Ultimo file usato", "|", "&Esci"}));
        QCOMPARE(MenuTexts(menus[1]->menu()),
                 QStringList({"&Annulla\tCtrl+Z", "&Ripeti\tCtrl+Y", "|", "Tag&lia\tCtrl+X",
                              "&Copia\tCtrl+C", "&Incolla\tCtrl+V"}));
        for (const QAction* a : menus[1]->menu()->actions())
            QVERIFY2(a->isSeparator() || !a->isEnabled(), qPrintable(a->text()));
        QCOMPARE(
            MenuTexts(menus[2]->menu()),
            QStringList({"Barra degli st&rumenti", "Barra di st&ato", "Controllo visualizzazione",
                         "Assi", "|", "Controllo elementi", "Verifica modello", "Dlg Carene dritte",
                         "Dlg Carne inclinate", "Dlg Bonjean", "Dlg Assetto corpo Immerso",
                         "Curve idrostatiche", "Tabelle casse", "Condizioni di carico",
                         "Stabilità", "Stabilità in avaria"}));
        QCOMPARE(MenuTexts(menus[3]->menu()), QStringList({"Infor&mazioni su Brelund..."}));

        const QAction* exit = app.GetMainFrame().Action(Cmd::AppExit);
        QCOMPARE(exit->statusTip(),
                 QString("Esce dall'applicazione e chiede di salvare i documenti"));
        QVERIFY(app.GetMainFrame().Action(Cmd::ViewToolbar)->isChecked());
        QVERIFY(app.GetMainFrame().Action(Cmd::ViewControl)->statusTip().isEmpty());

        QAction* check = app.GetMainFrame().Action(Cmd::ModelCheck);
        QCOMPARE(check->statusTip(), QString("Visualizza la finestra di dialogo che verifica le "
                                             "superfici degli elementi della nave "));
        check->trigger();
        QVERIFY(app.GetView().ModelCheck()->isVisible());
        app.GetView().ModelCheck()->hide();
        app.GetMainFrame().Action(Cmd::Conditions)->trigger();
        QVERIFY(app.GetView().Conditions()->isVisible());
        app.GetView().Conditions()->hide();
    }

    void toolbarButtonsInOrderWithPromptsAndIcons() {
        CBrelundApp& app = Start();
        QStringList tips;
        for (const QAction* a : app.GetMainFrame().ToolBar()->actions()) {
            if (a->isSeparator()) {
                tips << "|";
                continue;
            }
            tips << a->toolTip();
            const QPixmap icon = a->icon().pixmap(32, 32);
            QVERIFY2(!icon.isNull(), qPrintable(a->toolTip()));
        }
        QCOMPARE(tips,
                 QStringList(
                     {"Nuovo", "Apri", "Salva", "|", "Informazioni su", "|", " Auto Zoom",
                      "Zoom in", " Zoom out", "|", " Visualizza/Nasconde gli assi cartesiani", "|",
                      " Controllo elementi", "|", " Dlg Carene dritte", " Carene inclinate (KZ-GZ)",
                      "|", " Tavole del Bonjean", "Dlg Assetto corpo Immerso",
                      " Curve idrostatiche", "|", "Condizioni di carico", " Stabilità"}));
        QCOMPARE(app.GetMainFrame().ToolBar()->iconSize(), QSize(32, 32));
        QCOMPARE(app.GetMainFrame().Action(Cmd::ViewAxes)->statusTip(),
                 QString("Visualizza/Nasconde la terna cartesiana di riferiemento "));
        QCOMPARE(app.GetMainFrame().Action(Cmd::SubmergedTrim)->statusTip(),
                 QString("Calcolo degli assetti per i corpi immersi"));
    }

    void statusBarShowsPromptsAndTheLockPanes() {
        CBrelundApp& app = Start();
        CMainFrame& frame = app.GetMainFrame();
        QCOMPARE(frame.statusBar()->currentMessage(), QString("Pronto"));
        QStatusTipEvent pointed(frame.Action(Cmd::FileOpen)->statusTip());
        QApplication::sendEvent(&frame, &pointed);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("Apre un documento esistente"));
        QStatusTipEvent left{QString()};
        QApplication::sendEvent(&frame, &left);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("Pronto"));
        QCOMPARE(frame.IndicatorPane(0)->text(), QString("MA"));
        QCOMPARE(frame.IndicatorPane(1)->text(), QString("NUM"));
        QCOMPARE(frame.IndicatorPane(2)->text(), QString("BS"));
    }

    void lockPanesFollowTheKeyboardUnderX11() {
#ifdef BRELUND_HAVE_X11
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("the lock state is read from an X server (run under xvfb with xcb)");
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11 && x11->display());
        Display* display = x11->display();
        CBrelundApp& app = Start();
        CMainFrame& frame = app.GetMainFrame();
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask, LockMask);
        XSync(display, False);
        frame.UpdateIndicators();
        QVERIFY(frame.IndicatorPane(0)->isEnabled());
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask, 0);
        XSync(display, False);
        frame.UpdateIndicators();
        QVERIFY(!frame.IndicatorPane(0)->isEnabled());
#else
        QSKIP("built without X11");
#endif
    }

    void aKeyTypedDuringACalculationIsDroppedNotTypedAfterIt() {
#ifdef BRELUND_HAVE_X11
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("the key comes from an X server (run under xvfb with xcb)");
        Display* display = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
        CShipModel ship;
        LoadShipFile(ship, kWigley.toStdString());
        CUprightHullsDlg dialog;
        dialog.SetModel(&ship);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.findChild<QLineEdit*>("dz")->setText("0.001"); // 10001 waterplanes
        QLineEdit* zmin = dialog.findChild<QLineEdit*>("zmin");
        zmin->setFocus();
        const QString typed = zmin->text();
        // A "7" from the X server, as a person types it while the table
        // runs; then "Interrompi", where there is one.
        QTimer::singleShot(0, &dialog, [&] {
            XKeyEvent key{};
            key.display = display;
            key.window = dialog.winId();
            key.root = DefaultRootWindow(display);
            key.time = CurrentTime;
            key.same_screen = True;
            key.keycode = XKeysymToKeycode(display, XK_7);
            key.type = KeyPress;
            XSendEvent(display, key.window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
            key.type = KeyRelease;
            XSendEvent(display, key.window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
            XSync(display, False);
            QThread::msleep(300);
            if (auto* stop = dialog.findChild<QPushButton*>("stop"))
                QTest::mouseClick(stop, Qt::LeftButton);
        });
        dialog.Run();
        QTest::qWait(300);
        QCOMPARE(zmin->text(), typed);
        QCOMPARE(dialog.focusWidget(), zmin);
#else
        QSKIP("built without X11");
#endif
    }

    void ctrlOOpensAndCtrlADoesNothing() {
        CBrelundApp& app = Start();
        CMainFrame& frame = app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_dialogs->openDialogs, 0);
        m_dialogs->files << kBarge;
        QTest::keyClick(&frame, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_dialogs->openDialogs, 1);
        QCOMPARE(app.GetDocument().GetPathName(), kBarge);
    }

    void viewAndCalculationCommandsReachTheirHandlers() {
        CBrelundApp& app = Start({kWigley});
        CMainFrame& frame = app.GetMainFrame();
        frame.Action(Cmd::ViewAxes)->trigger();
        QVERIFY(!app.GetView().ShowAxes);
        // Zoom in takes 0.3 of the width off each side.
        CBrelundView& view = app.GetView();
        const double width = view.Volume().Width();
        frame.Action(Cmd::ZoomIn)->trigger();
        QCOMPARE(view.Volume().Width(), width - 2 * 0.3 * width);
        frame.Action(Cmd::ZoomOut)->trigger();
        QCOMPARE(view.Volume().Width(), 1.6 * (width - 2 * 0.3 * width));
        // Auto zoom centres the hull (the compartment and tanks lie inside it).
        CVector3 lo, hi;
        QVERIFY(app.GetDocument().GetModel().HullExtents(lo, hi));
        frame.Action(Cmd::AutoZoom)->trigger();
        QCOMPARE(view.Translation().X(), -(lo.X() + hi.X()) / 2);
        QCOMPARE(view.Volume().m_left, -(hi.X() - lo.X()) / 2 * 1.6);

        // The calculation commands open their modal dialogs.
        const std::pair<Cmd, const char*> dialogs[] = {
            {Cmd::UprightHulls, "CUprightHullsDlg"},
            {Cmd::InclinedHulls, "CInclinedHullsDlg"},
            {Cmd::Bonjean, "CBonjeanDlg"},
            {Cmd::SubmergedTrim, "CSubmergedTrimDlg"},
            {Cmd::HydrostaticCurves, "CHydrostaticCurvesDlg"},
            {Cmd::TankTables, "CTankTablesDlg"},
        };
        for (const auto& [id, className] : dialogs) {
            QString opened;
            QTimer::singleShot(0, [&opened] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    opened = modal->metaObject()->className();
                    modal->close();
                }
            });
            frame.Action(id)->trigger();
            QCOMPARE(opened, QString(className));
        }

        // The tool windows come up, titled.
        const std::pair<Cmd, QWidget*> tools[] = {
            {Cmd::ElementTree, view.ElementTree()},
            {Cmd::ViewControl, view.ViewControl()},
            {Cmd::Stability, view.Stability()},
            {Cmd::DamageStability, view.DamageStability()},
        };
        for (const auto& [id, window] : tools) {
            QVERIFY(!window->isVisible());
            frame.Action(id)->trigger();
            QVERIFY(window->isVisible());
            QVERIFY(window->isWindow());
            window->hide();
        }
        frame.Action(Cmd::ViewStatusBar)->trigger();
        QVERIFY(!frame.statusBar()->isVisible());
        QVERIFY(!frame.Action(Cmd::ViewStatusBar)->isChecked());
    }

    void theUprightDialogComputesOnTheDocumentsShipAsTheCommandLineDoes() {
        CBrelundApp& app = Start({kBarge});
        QString copied;
        QTimer::singleShot(0, [&copied] {
            auto* dialog = qobject_cast<CUprightHullsDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->Run();
            copied = QString::fromStdString(GridToText(dialog->Grid()->ToTextGrid()));
            dialog->close();
        });
        app.GetMainFrame().Action(Cmd::UprightHulls)->trigger();
        QProcess calc;
        calc.start(BRELUND_CALC, {"upright", kBarge});
        QVERIFY(calc.waitForFinished(60000));
        QCOMPARE(calc.exitCode(), 0);
        QString expected = QString::fromUtf8(calc.readAllStandardOutput());
        expected.chop(1); // the final line end
        QCOMPARE(copied, expected.replace("\n", "\r\n"));
    }

    void exitAsksForAChangedShipAndCancelKeepsTheWindow() {
        CBrelundApp& app = Start({kWigley});
        app.GetDocument().SetModifiedFlag();
        m_dialogs->answers << IDCANCEL;
        app.GetMainFrame().Action(Cmd::AppExit)->trigger();
        QVERIFY(app.GetMainFrame().isVisible());
        m_dialogs->answers << IDNO;
        app.GetMainFrame().Action(Cmd::AppExit)->trigger();
        QVERIFY(!app.GetMainFrame().isVisible());
    }

    void aboutBoxShowsTheMouseHelpInOrder() {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QString("Informazioni su Brelund"));
        QStringList texts;
        for (const QLabel* label : about.findChildren<QLabel*>())
            if (label->objectName() != "icon")
                texts << label->text();
        QCOMPARE(texts.size(), 6);
        // The version CMake gives this build.
        QCOMPARE(texts[0], QString("Brelund versione " BRELUND_VERSION));
        QCOMPARE(texts[1], QString());
        QVERIFY(texts[2].startsWith("Con il tasto sinistro"));
        QVERIFY(texts[3].startsWith(QString::fromUtf8("Con il tasto centrale è possibile")));
        QVERIFY(texts[4].startsWith("Con il tasto destro"));
        QVERIFY(texts[5].startsWith("Con la rotellina del mouse"));
        const QLabel* icon = about.findChild<QLabel*>("icon");
        QVERIFY(icon && !icon->pixmap().isNull());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(
            about.grab().save(QString("%1/about-%2.png")
                                  .arg(BRELUND_SCREENSHOT_DIR, QGuiApplication::platformName())));
    }

    void theCoreKeepsItsNumbersUnderAnItalianLocale() {
        if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
            QSKIP("the it_IT.UTF-8 locale is not installed");
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", 1.5);
        QCOMPARE(QString(text), QString("1,50")); // the locale took hold
        Start();
        std::snprintf(text, sizeof text, "%.2f", 1.5);
        QCOMPARE(QString(text), QString("1.50"));
        QCOMPARE(std::strtod("2.5", nullptr), 2.5);
        std::setlocale(LC_ALL, "C");
    }

    void printingPutsTheViewOnThePage() {
        CBrelundApp& app = Start({kWigley});
        app.GetMainFrame().resize(800, 600);
        QVERIFY(QTest::qWaitForWindowExposed(&app.GetMainFrame()));
        app.GetMainFrame().Action(Cmd::AutoZoom)->trigger();
        QImage page(850, 1100, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            app.GetView().PrintPage(painter, page.rect().adjusted(40, 40, -40, -40));
        }
        // The rendered image: the hull's grey wireframe (0x808080) and the
        // red and green axes, in the colours the view draws them.
        int grey = 0, red = 0, green = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb c = page.pixel(x, y);
                grey += c == qRgb(128, 128, 128);
                red += c == qRgb(255, 0, 0);
                green += c == qRgb(0, 255, 0);
            }
        QVERIFY2(grey > 2000 && red > 100 && green > 100,
                 qPrintable(QString("%1 %2 %3").arg(grey).arg(red).arg(green)));

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = m_dir->filePath("view.pdf");
        printer.setOutputFileName(pdf);
        {
            QPainter painter(&printer);
            app.GetView().PrintPage(painter, painter.viewport());
        }
        QVERIFY(ReadAll(pdf).startsWith("%PDF"));
        QVERIFY(ReadAll(pdf).size() > 10000);
    }

    void everyDialogOpensAtItsLayoutsSize() {
        CBrelundApp& app = Start();
        CMainFrame& frame = app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        // The real message boxes: the one the Bonjean dialog shows as it
        // opens on an empty ship runs an event loop of its own.
        m_dialogs.reset();
        const auto open = [&](Cmd id) {
            QString tooSmall = "not opened";
            std::function<void()> look = [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    box->accept();
                    QTimer::singleShot(10, look);
                } else if (modal) {
                    QTest::qWait(100); // what the window system answers
                    tooSmall = WhatIsTooSmall(*modal);
                    modal->close();
                } else {
                    QTimer::singleShot(10, look);
                }
            };
            QTimer::singleShot(0, look);
            frame.Action(id)->trigger();
            return tooSmall;
        };
        for (int i = 0; i < 6; ++i)
            QCOMPARE(open(Cmd::Bonjean), QString());
        QVERIFY(app.OpenDocumentFile(kBarge));
        for (Cmd id : {Cmd::UprightHulls, Cmd::InclinedHulls, Cmd::Bonjean, Cmd::SubmergedTrim,
                       Cmd::HydrostaticCurves, Cmd::TankTables})
            QCOMPARE(open(id), QString());
        const std::pair<Cmd, QWidget*> tools[] = {
            {Cmd::ElementTree, app.GetView().ElementTree()},
            {Cmd::ViewControl, app.GetView().ViewControl()},
            {Cmd::Stability, app.GetView().Stability()},
            {Cmd::DamageStability, app.GetView().DamageStability()},
        };
        for (const auto& [id, window] : tools) {
            frame.Action(id)->trigger();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QCOMPARE(WhatIsTooSmall(*window), QString());
            window->hide();
        }
    }

    void theFirstShipIsFramedAndTheNextKeepsTheCamera() {
        CBrelundApp& app = Start();
        CBrelundView& view = app.GetView();
        QVERIFY(view.HasInitialVolume());
        QVERIFY(app.OpenDocumentFile(kWigley));
        CVector3 lo, hi;
        QVERIFY(app.GetDocument().GetModel().HullExtents(lo, hi));
        QCOMPARE(view.Translation().X(), -(lo.X() + hi.X()) / 2);
        QVERIFY(!view.HasInitialVolume());
        const CViewVolume framed = view.Volume();
        QVERIFY(app.OpenDocumentFile(kBarge));
        QCOMPARE(view.Volume().m_left, framed.m_left);
        QCOMPARE(view.Volume().m_far, framed.m_far);
        QCOMPARE(view.Translation().X(), -(lo.X() + hi.X()) / 2);

        // Opened on the command line, the ship is framed too.
        CBrelundApp& again = Start({kBarge});
        QVERIFY(again.GetDocument().GetModel().HullExtents(lo, hi));
        QCOMPARE(again.GetView().Translation().X(), -(lo.X() + hi.X()) / 2);
    }

    void undoAndRedoWalkEveryChangeToTheShipBackAndForth() {
        const QString path = Copy(kWigley, "undo.nav");
        CBrelundApp& app = Start({path});
        CBrelundDoc& doc = app.GetDocument();
        CShipModel& ship = doc.GetModel();
        CMainFrame& frame = app.GetMainFrame();
        CElementTreeDlg& tree = *app.GetView().ElementTree();
        QUndoStack& stack = doc.UndoStack();
        QAction* undo = frame.Action(Cmd::EditUndo);
        QAction* redo = frame.Action(Cmd::EditRedo);
        QCOMPARE(redo->statusTip(), QString("Ripeti l'ultima azione annullata"));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        const auto select = [&](const char* name) {
            for (QTreeWidgetItem* item :
                 tree.Tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive))
                tree.Tree()->setCurrentItem(item);
        };
        const auto tankNames = [&] {
            QStringList names;
            for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
                names << QString::fromStdString(ship.Tanks().GetAt(i)->GetName());
            return names;
        };
        const auto treeTanks = [&] {
            QStringList names;
            for (int k = 0; k < tree.Tree()->topLevelItem(2)->childCount(); ++k)
                names << tree.Tree()->topLevelItem(2)->child(k)->text(0);
            return names;
        };
        CTank* cassa1 = ship.Tanks().GetAt(1);
        CCompartment* room = ship.Compartments().GetAt(1);
        const double roomVolume = room->Volume(); // flooded: faces inwards
        QVERIFY(roomVolume < 0);

        // Add the aft tank's drawing, edit it, turn the engine room, delete "cassa 1".
        m_dialogs->files << QString(BRELUND_SOURCE_DIR) + "/samples/wigley-tank-aft.dxf";
        tree.OnAddTank();
        QCOMPARE(tankNames(), QStringList({"cassa 1", "cassa 2", "wigley-tank-aft"}));
        auto* added = static_cast<CTank*>(ship.Tanks().GetAt(3));
        QVERIFY(doc.IsModified());
        QCOMPARE(stack.undoText(), QString("Aggiungi elemento"));
        QVERIFY(undo->isEnabled() && !redo->isEnabled());
        WhenEditOpens([](CElementEditDlg& edit) {
            edit.findChild<QPlainTextEdit*>("name")->setPlainText("cassa poppa");
            edit.findChild<QLineEdit*>("specificWeight")->setText("900");
            edit.findChild<QLineEdit*>("fillingRatio")->setText("0.25");
            edit.findChild<QPushButton*>("ok")->click();
        });
        tree.OnProperties(); // on the tank just added, which the tree selects
        QCOMPARE(added->GetName(), std::string("cassa poppa"));
        QCOMPARE(added->GetSpecificWeight(), 900.0);
        QCOMPARE(added->GetLoadVolume(), 0.25 * added->Volume());
        QCOMPARE(stack.undoText(), QString("Proprietà elemento"));
        m_dialogs->answers << IDYES;
        select("sala macchine");
        tree.OnInvertNormals();
        QCOMPARE(room->Volume(), -roomVolume);
        QCOMPARE(stack.undoText(), QString("Inverti Versori"));
        const double load1 = cassa1->GetLoadVolume();
        m_dialogs->answers << IDOK;
        select("cassa 1");
        tree.OnDelete();
        QCOMPARE(tankNames(), QStringList({"cassa 2", "cassa poppa"}));
        QCOMPARE(treeTanks(), tankNames());
        QCOMPARE(stack.undoText(), QString("Elimina elemento"));
        QCOMPARE(stack.count(), 4);

        // Undone one by one, Ctrl+Z first: the ship, the tree and the mark follow.
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tankNames(), QStringList({"cassa 1", "cassa 2", "cassa poppa"}));
        QCOMPARE(ship.Tanks().GetAt(1), cassa1); // the same element, its load kept
        QCOMPARE(cassa1->GetLoadVolume(), load1);
        QCOMPARE(cassa1->GetSpecificWeight(), 850.0);
        QCOMPARE(treeTanks(), tankNames());
        QCOMPARE(tree.SelectedElement(), cassa1);
        QVERIFY(redo->isEnabled());
        undo->trigger();
        QCOMPARE(room->Volume(), roomVolume);
        undo->trigger();
        QCOMPARE(added->GetName(), std::string("wigley-tank-aft"));
        QCOMPARE(added->GetSpecificWeight(), 1.0); // a new tank's
        QCOMPARE(added->GetLoadVolume(), 0.0);
        QCOMPARE(added->GetFillingRatio(), 0.0);
        QCOMPARE(treeTanks(), tankNames());
        QVERIFY(doc.IsModified());
        undo->trigger();
        QCOMPARE(tankNames(), QStringList({"cassa 1", "cassa 2"}));
        QCOMPARE(ship.GetElementCount(), 4);
        QCOMPARE(treeTanks(), tankNames());
        QVERIFY(!doc.IsModified()); // back to the ship as opened
        QCOMPARE(ShownTitle(frame), QString("undo.nav - Brelund"));
        QVERIFY(!undo->isEnabled() && redo->isEnabled());

        // Redone, Ctrl+Y first, to the ship as it was edited.
        QTest::keyClick(&frame, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(ship.Tanks().GetAt(3), added); // the element read once, put back
        QVERIFY(doc.IsModified());
        redo->trigger();
        QCOMPARE(added->GetName(), std::string("cassa poppa"));
        QCOMPARE(added->GetLoadVolume(), 0.25 * added->Volume());
        redo->trigger();
        QCOMPARE(room->Volume(), -roomVolume);
        redo->trigger();
        QCOMPARE(tankNames(), QStringList({"cassa 2", "cassa poppa"}));
        QVERIFY(!redo->isEnabled());

        // Saved: clean there, and redoing back to it clears the mark again.
        QVERIFY(doc.DoFileSave());
        QVERIFY(!doc.IsModified());
        undo->trigger();
        QVERIFY(doc.IsModified());
        redo->trigger();
        QVERIFY(!doc.IsModified());

        // A screenshot with "Modifica" open, both its items enabled.
        undo->trigger();
        QMenu* edit = frame.menuBar()->actions()[1]->menu();
        frame.menuBar()->setActiveAction(frame.menuBar()->actions()[1]);
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        QVERIFY(edit->actions()[0]->isEnabled() && edit->actions()[1]->isEnabled());
        QTest::qWait(50);
        const QRect area = frame.frameGeometry().united(edit->geometry());
        const QImage shot = frame.screen()
                                ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                .toImage();
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(shot.save(QString("%1/main-window-edit-menu-%2.png")
                              .arg(BRELUND_SCREENSHOT_DIR, QGuiApplication::platformName())));
        edit->hide();

        // Open and New start with nothing to undo.
        m_dialogs->answers << IDNO;
        QVERIFY(app.OpenDocumentFile(kBarge));
        QCOMPARE(stack.count(), 0);
        QVERIFY(!undo->isEnabled() && !redo->isEnabled() && !doc.IsModified());
        m_dialogs->answers << IDYES;
        select("scafo");
        tree.OnInvertNormals();
        QCOMPARE(stack.count(), 1);
        m_dialogs->answers << IDNO;
        app.OnFileNew();
        QCOMPARE(stack.count(), 0);
        QVERIFY(!undo->isEnabled() && !doc.IsModified());
    }

    void screenshotOfTheMainWindow() {
        CBrelundApp& app = Start({kWigley});
        CMainFrame& frame = app.GetMainFrame();
        frame.resize(1024, 720);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QImage shot = frame.grab().toImage();
        QCOMPARE(shot.size(), QSize(1024, 720));
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        const QString path = QString("%1/main-window-%2.png")
                                 .arg(BRELUND_SCREENSHOT_DIR, QGuiApplication::platformName());
        QVERIFY(shot.save(path));
        // The toolbar's first button is drawn (not the window's plain background).
        const QRect button = frame.ToolBar()
                                 ->actionGeometry(frame.Action(Cmd::FileNew))
                                 .translated(frame.ToolBar()->pos());
        QSet<QRgb> colours;
        for (int y = button.top(); y < button.bottom(); ++y)
            for (int x = button.left(); x < button.right(); ++x)
                colours.insert(shot.pixel(x, y));
        QVERIFY2(colours.size() > 8, qPrintable(QString::number(colours.size())));
    }
};

int main(int argc, char** argv) {
    const CX11TestSetup setup;
    QApplication app(argc, argv);
    ShellTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    KeepGraphicsDriverLoaded();
    return failed;
}

#include "ShellTest.moc"
