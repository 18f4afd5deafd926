// The application's own windows that need no 3D view, headless: Qt's texts
// in Italian after the start-up's set-up.
#include "ui/app/QtTranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class AppTest : public QObject {
    Q_OBJECT
private slots:
    void qtStandardButtonsSpeakItalian() {
        QVERIFY(InstallQtItalian());
        QVERIFY(InstallQtItalian()); // a second start-up neither fails nor stacks a copy
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No |
                             QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Yes)->text().remove('&'), QString("Sì"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QString("Annulla"));
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppTest.moc"
