// "Stampa relazione…": the item of the File menu, and the booklet it
// previews and saves, whose text is the one brelund-calc report writes.
#include "ScriptedDialogs.h"

#include "ui/app/CBrelundDoc.h"
#include "ui/app/CommandTable.h"
#include "ui/dialogs/CBookletPreview.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class BookletPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void theItemStandsInFileBeforeThePrintItems() {
        const MenuInfo& file = Menus()[0];
        QCOMPARE(QString(file.title), QString("&File"));
        int report = -1, print = -1;
        for (std::size_t k = 0; k < file.items.size(); ++k) {
            const MenuItem& item = file.items[k];
            if (item.label &&
                QString::fromUtf8(item.label) == QString::fromUtf8("Stampa relazione…"))
                report = static_cast<int>(k);
            if (item.id == Cmd::FilePrint)
                print = static_cast<int>(k);
        }
        QVERIFY(report >= 0);
        QCOMPARE(file.items[static_cast<std::size_t>(report)].id, Cmd::PrintReport);
        QCOMPARE(print, report + 1);
        QVERIFY(
            QString::fromUtf8(CommandFor(Cmd::PrintReport).prompt).endsWith("Stampa relazione"));
    }

    void thePreviewSavesTheBookletTheCommandWrites() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        CBrelundDoc doc;
        QVERIFY(doc.OnOpenDocument(QString(BRELUND_SOURCE_DIR) + "/samples/barge.nav"));
        CScriptedDialogs dialogs;
        const QString saved = dir.filePath("relazione.pdf");
        dialogs.files.enqueue(saved);

        int pages = -1, expected = 0;
        bool seen = false, chosen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                // Both conditions, and of the three damage cases the first.
                auto* choice = qobject_cast<CBookletChoiceDlg*>(w);
                if (choice && choice->isVisible() && !chosen) {
                    chosen = true;
                    QCOMPARE(choice->Conditions()->count(), 2);
                    QCOMPARE(choice->DamageCases()->count(), 3);
                    choice->DamageCases()->item(1)->setCheckState(Qt::Unchecked);
                    choice->DamageCases()->item(2)->setCheckState(Qt::Unchecked);
                    choice->accept();
                    continue;
                }
                auto* preview = qobject_cast<CBookletPreview*>(w);
                if (!preview || !preview->isVisible() || seen)
                    continue;
                seen = true;
                if (auto* pane = preview->findChild<QPrintPreviewWidget*>()) {
                    pane->updatePreview();
                    pages = pane->pageCount();
                }
                expected = preview->Layout().PageCount();
                const QString shots = BRELUND_SCREENSHOT_DIR;
                QDir().mkpath(shots);
                preview->resize(900, 1000);
                QApplication::processEvents();
                preview->grab().save(shots + "/booklet-preview.png");
                preview->SaveAction()->trigger();
                preview->reject();
            }
        });
        poll.start(50);
        doc.OnPrintReport();
        poll.stop();
        QVERIFY(chosen);
        QVERIFY(seen);
        QVERIFY(expected > 10);
        QCOMPARE(pages, expected);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(dialogs.saveDialogs, 1);
        QVERIFY(QFileInfo::exists(saved));

        // The same text as the command's, page for page.
        const QString command = dir.filePath("command.pdf");
        QProcess calc;
        calc.start(BRELUND_CALC, {"report", QString(BRELUND_SOURCE_DIR) + "/samples/barge.nav",
                                  "--damage", "Gavone di prua allagato", "-o", command});
        QVERIFY(calc.waitForFinished(120000));
        QCOMPARE(calc.exitCode(), 0);
        const QString text = PdfText(saved);
        QVERIFY(text.contains(
            QString::fromUtf8("Condizione di carico: Arrivo - criteri non soddisfatti")));
        QVERIFY(text.contains(QString::fromUtf8("Avaria: Gavone di prua allagato")));
        QVERIFY(!text.contains(QString::fromUtf8("Avaria: Locale di dritta allagato")));
        QCOMPARE(text, PdfText(command));
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BookletPreviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BookletPreviewTest.moc"
