// "Condizioni di carico" tied to the document, headless: a person's path on
// a copy of the sample Wigley ship (a condition added and typed, saved and
// read back, an edit undone, bad values refused), and a damaged conditions
// file told in Italian.
#include "DialogSize.h"
#include "ScriptedDialogs.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "ui/app/CBrelundDoc.h"
#include "ui/app/ConditionsWindow.h"
#include "ui/dialogs/CConditionsDlg.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/CStabilityDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSamples = QString(BRELUND_SOURCE_DIR) + "/samples/";

// The window's widget named name.
template <class T> T* Find(CConditionsDlg& window, const char* name) {
    T* w = window.findChild<T*>(name);
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

// Types text into a field as a person does, over what it held, and ends
// the edit with Return.
void Type(CConditionsDlg& window, const char* field, const QString& text) {
    auto* edit = Find<QLineEdit>(window, field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Enter(CConditionsDlg& window, const char* field) {
    QTest::keyClick(Find<QLineEdit>(window, field), Qt::Key_Return);
}

const CTank& Tank(const CShipModel& ship, const char* name) {
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        if (ship.Tanks().GetAt(i)->GetName() == name)
            return *ship.Tanks().GetAt(i);
    qFatal("no tank %s", name);
}

QString Fixed(const char* format, double value) {
    return QString::fromStdString(FormatC(format, value));
}

} // namespace

class ConditionsDlgTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CScriptedDialogs> m_dialogs;

    // The sample ship and its conditions copied into a scratch folder.
    QString CopyWigley() {
        const QString ship = m_dir->filePath("w.nav");
        QFile::copy(kSamples + "wigley.nav", ship);
        QFile::copy(kSamples + "wigley.conditions.json", m_dir->filePath("w.conditions.json"));
        QFile::setPermissions(ship, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(m_dir->filePath("w.conditions.json"),
                              QFile::ReadOwner | QFile::WriteOwner);
        return ship;
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = std::make_unique<CScriptedDialogs>();
    }

    void cleanup() {
        m_dialogs.reset();
        m_dir.reset();
    }

    void aConditionTypedInIsSavedReadBackUndoneAndRefusedWhenImpossible() {
        const QString ship = CopyWigley();
        CBrelundDoc doc;
        QVERIFY(doc.OnOpenDocument(ship));
        CConditionsDlg window;
        ConnectConditionsWindow(window, doc);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QString("Condizioni di carico"));
        auto* list = Find<QListWidget>(window, "conditionList");
        QCOMPARE(list->count(), 2);

        // A new condition, selected, its name ready to be typed over.
        Find<QPushButton>(window, "newCondition")->click();
        QCOMPARE(list->count(), 3);
        QCOMPARE(window.Selected(), 2);
        QCOMPARE(doc.GetConditions().All().back().name, std::string("Condizione 1"));
        QCOMPARE(doc.UndoStack().undoText(), QString("Nuova condizione"));
        QVERIFY(doc.IsModified());
        Type(window, "name", "Prova");
        Enter(window, "name");
        QCOMPARE(list->item(2)->text(), QString("Prova"));

        // The lightship: the totals follow the typing before it is taken.
        const int before = doc.UndoStack().count();
        Type(window, "lightship", "1500");
        QCOMPARE(doc.GetConditions().All().back().lightship, 0.0);
        const CShipModel& model = doc.GetModel();
        double stored = 0; // what the tanks not listed carry, as stored
        for (int i = 1; i <= model.Tanks().GetCount(); ++i) {
            const CTank& t = *model.Tanks().GetAt(i);
            if (t.IsEnabled())
                stored += t.GetLoadWeight();
        }
        QCOMPARE(window.TotalsTexts().at(0), Fixed("%.3f", 1500 + stored));
        Enter(window, "lightship");
        Type(window, "lcg", "48.5");
        Enter(window, "lcg");
        Type(window, "vcg", "4.25");
        Enter(window, "vcg");
        QCOMPARE(doc.UndoStack().count(), before + 3);
        QCOMPARE(doc.UndoStack().undoText(), QString("Modifica condizione"));

        // A deadweight item, its cells typed one by one.
        Find<QPushButton>(window, "addItem")->click();
        auto* items = Find<QTableWidget>(window, "items");
        QCOMPARE(items->rowCount(), 1);
        const QString cells[] = {"carico", "120", "60", "0.5", "6"};
        for (int c = 0; c < CConditionsDlg::itemColumns; ++c)
            items->item(0, c)->setText(cells[c]);
        // A deckhouse the hull does not model and the bilge keels, for the
        // weather criterion.
        Find<QPushButton>(window, "addWindage")->click();
        auto* windage = Find<QTableWidget>(window, "windage");
        QCOMPARE(windage->rowCount(), 1);
        const QString windageCells[] = {"tuga", "42.5", "9"};
        for (int c = 0; c < CConditionsDlg::windageColumns; ++c)
            windage->item(0, c)->setText(windageCells[c]);
        Type(window, "bilgeKeelArea", "6.4");
        Enter(window, "bilgeKeelArea");

        // Two tanks half full, their liquids' density as stored: cassa 1,
        // stored half full, ticked to keep that load in the condition;
        // cassa 2 (stored at 0.3) typed.
        auto* tanks = Find<QTableWidget>(window, "tanks");
        QCOMPARE(tanks->item(0, CConditionsDlg::tankAmount)->text(), QString("0.5"));
        tanks->item(0, CConditionsDlg::tankName)->setCheckState(Qt::Checked);
        QApplication::processEvents();
        QCOMPARE(tanks->item(1, CConditionsDlg::tankAmount)->text(), QString("0.3"));
        tanks->item(1, CConditionsDlg::tankAmount)->setText("0.5");
        QApplication::processEvents();
        for (int r : {0, 1})
            QCOMPARE(tanks->item(r, CConditionsDlg::tankName)->checkState(), Qt::Checked);
        const CTank& one = Tank(model, "cassa 1");
        const CTank& two = Tank(model, "cassa 2");
        CLoadingCondition expected;
        expected.name = "Prova";
        expected.lightship = 1500;
        expected.lcg = 48.5;
        expected.vcg = 4.25;
        expected.items = {{"carico", 120, 60, 0.5, 6}};
        expected.windage = {{"tuga", 42.5, 9}};
        expected.bilge_keel_area = 6.4;
        expected.tanks = {{"cassa 1", CConditionTankLoad::Given::filling, 0.5, one.GetDensity()},
                          {"cassa 2", CConditionTankLoad::Given::filling, 0.5, two.GetDensity()}};
        QVERIFY(doc.GetConditions().All().back() == expected);
        // Displacement by hand: the tanks given half their volume, the
        // others as stored.
        const double displacement = 1500 + 120 + stored - one.GetLoadWeight() -
                                    two.GetLoadWeight() + 0.5 * one.Volume() * one.GetDensity() +
                                    0.5 * two.Volume() * two.GetDensity();
        const CConditionTotals totals = ConditionTotals(model, expected);
        QVERIFY(totals.centre_found);
        QCOMPARE(window.TotalsTexts(),
                 QStringList({Fixed("%.3f", displacement), Fixed("%.4f", totals.g.X()),
                              Fixed("%.4f", totals.g.Y()), Fixed("%.4f", totals.g.Z())}));

        // Saved with the ship, and read back as typed.
        QVERIFY(doc.DoFileSave());
        QVERIFY(!doc.IsModified());
        QVERIFY(doc.OnOpenDocument(ship));
        QCOMPARE(doc.GetConditions().All().size(), std::size_t{3});
        QVERIFY(*doc.GetConditions().Find("Prova") == expected);
        QCOMPARE(list->count(), 3);
        window.Select(2);
        QCOMPARE(Find<QLineEdit>(window, "vcg")->text(), QString("4.25"));

        // And the condition reopened gives its GZ curve, criteria and the
        // picture of its equilibrium for the 3D view.
        {
            CStabilityDlg stability;
            stability.SetModel(&doc.GetModel());
            stability.SetConditions(&doc.GetConditions());
            stability.show();
            stability.ConditionList()->setCurrentItem(
                stability.ConditionList()->findItems("Prova", Qt::MatchExactly).front());
            stability.Run();
            QVERIFY(stability.Result().has_value());
            QVERIFY(stability.Result()->curve.size() > 10);
            QCOMPARE(stability.CriteriaGrid()->GetRows(),
                     static_cast<int>(stability.Result()->criteria.size()) + 1);
            QVERIFY(stability.Picture().has_value());
            QCOMPARE(stability.Picture()->heel, stability.Result()->summary.equilibrium);
        }

        // An edit undone: the document and the window go back.
        Type(window, "vcg", "5");
        Enter(window, "vcg");
        QCOMPARE(doc.GetConditions().Find("Prova")->vcg, 5.0);
        QVERIFY(doc.IsModified());
        doc.UndoStack().undo();
        QCOMPARE(doc.GetConditions().Find("Prova")->vcg, 4.25);
        QCOMPARE(Find<QLineEdit>(window, "vcg")->text(), QString("4.25"));
        QVERIFY(!doc.IsModified());

        // What is not a number, or is impossible, is refused naming the
        // field, and nothing changes.
        const CLoadingConditions kept = doc.GetConditions();
        const int steps = doc.UndoStack().count();
        Type(window, "lightship", "12,5");
        Enter(window, "lightship");
        Type(window, "waterDensity", "-1");
        Enter(window, "waterDensity");
        tanks->item(0, CConditionsDlg::tankAmount)->setText("1.5");
        QApplication::processEvents();
        windage->item(0, CConditionsDlg::windageArea)->setText("-3");
        QApplication::processEvents();
        QCOMPARE(m_dialogs->Texts(),
                 QStringList({"Valore non accettato per il peso della nave vuota [t]: \"12,5\" "
                              "non è un numero.",
                              "Valore non accettato per la densità dell'acqua [t/m^3]: "
                              "water_density_t_m3 -1 non è maggiore di 0.",
                              "Valore non accettato per il riempimento della cassa \"cassa 1\": "
                              "cassa 'cassa 1': filling_ratio 1.5 è fuori da 0 a 1.",
                              "Valore non accettato per l'area [m²] della superficie al vento "
                              "\"tuga\": superficie al vento 'tuga': area_m2 -3 è negativo."}));
        QVERIFY(doc.GetConditions() == kept);
        QCOMPARE(doc.UndoStack().count(), steps);
        QCOMPARE(Find<QLineEdit>(window, "lightship")->text(), QString("1500"));
        QCOMPARE(tanks->item(0, CConditionsDlg::tankAmount)->text(), QString("0.5"));
        QCOMPARE(windage->item(0, CConditionsDlg::windageArea)->text(), QString("42.5"));

        // A ratio turned into the volume it fills: half of 72 m^3.
        auto* given = qobject_cast<QComboBox*>(tanks->cellWidget(1, CConditionsDlg::tankGiven));
        given->setCurrentIndex(1);
        QApplication::processEvents();
        const CConditionTankLoad* volume = doc.GetConditions().Find("Prova")->TankLoad("cassa 2");
        QVERIFY(volume->given == CConditionTankLoad::Given::volume);
        QCOMPARE(volume->amount, 36.0);
        QCOMPARE(tanks->item(1, CConditionsDlg::tankAmount)->text(), QString("36"));

        QVERIFY2(WhatIsTooSmall(window).isEmpty(), qPrintable(WhatIsTooSmall(window)));
        QDir().mkpath(BRELUND_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(BRELUND_SCREENSHOT_DIR "/CConditionsDlg.png"));

        // Deleted after the question naming it.
        m_dialogs->messages.clear();
        m_dialogs->answers.enqueue(IDYES);
        Find<QPushButton>(window, "deleteCondition")->click();
        QCOMPARE(m_dialogs->Texts(), QStringList({"Eliminare la condizione di carico \"Prova\"?"}));
        QVERIFY(!doc.GetConditions().Find("Prova"));
        QCOMPARE(list->count(), 2);
    }

    void aDamagedConditionsFileIsToldInItalianAndCannotBeEdited() {
        const QString ship = CopyWigley();
        const QString path = m_dir->filePath("w.conditions.json");
        CBrelundDoc doc;
        CConditionsDlg window;
        ConnectConditionsWindow(window, doc);
        const struct {
            QByteArray text;
            QString detail;
        } cases[] = {
            {"{\"format\": 1,\n \"conditions\": [}",
             "Non è testo JSON: alla riga 2, colonna 17, secondo il lettore JSON: syntax error "
             "while parsing value"},
            {R"({"format": 1, "conditions": [{"name": "A", "lightship": {"weight_t": 300, )"
             R"("lcg_m": 15, "vcg_m": 2}, "tanks": [{"tank": "t", "filling_ratio": 1.5, )"
             R"("density_t_m3": 1}]}]})",
             "Condizione 1 ('A'): cassa 't': filling_ratio 1.5 è fuori da 0 a 1"},
        };
        for (const auto& c : cases) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.text);
            file.close();
            m_dialogs->messages.clear();
            QVERIFY(doc.OnOpenDocument(ship));
            QCOMPARE(m_dialogs->messages.size(), 1);
            const QString text = m_dialogs->messages[0].text;
            QVERIFY2(text.contains(path + " non è un file valido.\n" + c.detail), qPrintable(text));
            // The window says why nothing can be edited.
            QVERIFY(!Find<QLabel>(window, "locked")->isHidden());
            QVERIFY2(Find<QLabel>(window, "locked")->text().contains(c.detail),
                     qPrintable(Find<QLabel>(window, "locked")->text()));
            QVERIFY(!Find<QPushButton>(window, "newCondition")->isEnabled());
        }
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConditionsDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ConditionsDlgTest.moc"
