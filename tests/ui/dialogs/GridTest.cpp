// The result grid, its popup menu, the clipboard text and the numbers in
// dialog fields.
#include "ScriptedDialogs.h"
#include "report/CTextGrid.h"
#include "ui/dialogs/CMSFlexGrid.h"
#include "ui/dialogs/FieldExchange.h"
#include "ui/dialogs/GridMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <clocale>

class GridTest : public QObject {
    Q_OBJECT

private slots:
    void resizingKeepsTheCellsThatRemain() {
        CMSFlexGrid grid(5, 14, 1, 0);
        grid.SetTextArray(3, "Rx[m]"); // header row: index = column
        QCOMPARE(grid.GetTextMatrix(0, 3), QString("Rx[m]"));
        grid.SetTextMatrix(4, 13, "x");
        grid.SetRows(12);
        QCOMPARE(grid.GetRows(), 12);
        QCOMPARE(grid.GetTextMatrix(0, 3), QString("Rx[m]"));
        QCOMPARE(grid.GetTextMatrix(4, 13), QString("x"));
        QCOMPARE(grid.GetTextMatrix(11, 13), QString());
        grid.SetRows(2);
        grid.SetCols(4);
        QCOMPARE(grid.GetTextMatrix(0, 3), QString("Rx[m]"));
        QCOMPARE(grid.GetTextMatrix(5, 0), QString()); // outside reads empty
        grid.SetTextMatrix(7, 7, "lost");              // outside writes nothing
        QCOMPARE(grid.GetRows(), 2);
        // By index over the current width: 5 is row 1, column 1 of 4 columns.
        grid.SetTextArray(5, "b");
        QCOMPARE(grid.GetTextMatrix(1, 1), QString("b"));
        QCOMPARE(grid.GetTextArray(5), QString("b"));
    }

    void fixedRowsAndColumnsAreHeadersNotSelectable() {
        CMSFlexGrid grid(10, 6, 2, 2);
        QVERIFY(!(grid.item(1, 5)->flags() & Qt::ItemIsSelectable));
        QVERIFY(!(grid.item(6, 1)->flags() & Qt::ItemIsSelectable));
        QVERIFY(grid.item(2, 2)->flags() & Qt::ItemIsSelectable);
        grid.SetFixedRows(1);
        QVERIFY(grid.item(1, 5)->flags() & Qt::ItemIsSelectable);
    }

    void aComputedTableIsShownCellForCell() {
        CTextGrid table(3, 2);
        table.SetText(0, 0, "Z[m]");
        table.SetText(2, 1, "-");
        CMSFlexGrid grid(5, 14, 1, 0);
        grid.ShowTextGrid(table);
        QCOMPARE(grid.GetRows(), 3);
        QCOMPARE(grid.GetCols(), 2);
        QCOMPARE(GridToText(grid.ToTextGrid()), GridToText(table));
        QCOMPARE(QString::fromStdString(GridToText(grid.ToTextGrid())),
                 QString("Z[m]\t\r\n\t\r\n\t-"));
    }

    void copyPutsTheWholeGridOnTheClipboardAsTabsAndCrLf() {
        CMSFlexGrid grid(2, 3, 0, 0);
        for (int i = 0; i < 6; ++i)
            grid.SetTextArray(i, QString::number(i + 1));
        QGuiApplication::clipboard()->setText("before");
        CopyGridToClipboard(grid);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1\t2\t3\r\n4\t5\t6"));

        CMSFlexGrid one(1, 2, 0, 0);
        one.SetTextMatrix(0, 0, "a");
        CopyGridToClipboard(one);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("a\t"));
    }

    void theRightButtonOpensTheGridMenuBesideThePointer() {
        CScriptedDialogs dialogs;
        CMSFlexGrid grid(3, 3, 1, 0);
        grid.move(0, 0);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy spy(&grid, &CMSFlexGrid::MouseDown);
        QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 12));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].value<short>(), short{CMSFlexGrid::rightButton});
        QCOMPARE(spy[0][1].value<short>(), short{1});
        const QPoint at(spy[0][2].toInt(), spy[0][3].toInt());
        QCOMPARE(grid.viewport()->mapTo(&grid, QPoint(30, 12)), at);

        dialogs.menuChoices << "&Incolla";
        QCOMPARE(TrackGridMenu(grid, at.x(), at.y()), GridMenuChoice::paste);
        QCOMPARE(dialogs.lastMenuItems, QStringList({"&Copia tabella", "&Incolla"}));
        QCOMPARE(dialogs.lastMenuPos, grid.mapToGlobal(QPoint(0, 0)) + QPoint(at.x() + 5, at.y()));
        dialogs.menuChoices << "&Copia tabella";
        QCOMPARE(TrackGridMenu(grid, 1, 1), GridMenuChoice::copyTable);
        QCOMPARE(TrackGridMenu(grid, 1, 1), GridMenuChoice::none);
    }

    void fieldsWriteAndReadNumbersWithADecimalPoint() {
        QLineEdit field;
        SetFieldNumber(&field, 0.1);
        QCOMPARE(field.text(), QString("0.1"));
        SetFieldNumber(&field, 2.0 / 3.0);
        QCOMPARE(field.text(), QString("0.666666666666667"));
        SetFieldNumber(&field, 1e-20);
        QCOMPARE(field.text(), QString("1e-20"));
        double v = 0;
        QVERIFY(ParseFieldNumber(" 12.5 ", v));
        QCOMPARE(v, 12.5);
        for (const char* bad : {"", " ", "12,5", "1.2.3", "abc", "nan", "inf", "1e400", "5 m"})
            QVERIFY2(!ParseFieldNumber(bad, v), bad);
    }

    void fieldsSayWhatIsWrongAndKeepTheValue() {
        CScriptedDialogs dialogs;
        QLineEdit field;
        field.setText("dieci");
        double v = 7;
        QVERIFY(!GetFieldNumber(&field, v));
        QCOMPARE(v, 7.0);
        QCOMPARE(dialogs.Texts(), QStringList({"Immettere un numero."}));
        QVERIFY(!CheckFieldRange(&field, 200.0, 0.0, 180.0));
        QCOMPARE(dialogs.Texts().last(), QString("Immettere un numero compreso tra 0 e 180."));
        QVERIFY(!CheckFieldRange(&field, -1.0, 0.5, 1.25));
        QCOMPARE(dialogs.Texts().last(), QString("Immettere un numero compreso tra 0.5 e 1.25."));
        QVERIFY(CheckFieldRange(&field, 180.0, 0.0, 180.0));
        QCOMPARE(dialogs.messages.size(), 3);
    }

    void fieldsKeepTheDecimalPointUnderAnItalianLocale() {
        if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
            QSKIP("the it_IT.UTF-8 locale is not installed");
        QLineEdit field;
        SetFieldNumber(&field, 1.25);
        double v = 0;
        const bool parsed = ParseFieldNumber("3.75", v);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(field.text(), QString("1.25"));
        QVERIFY(parsed);
        QCOMPARE(v, 3.75);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GridTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GridTest.moc"
