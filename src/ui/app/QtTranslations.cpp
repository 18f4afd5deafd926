#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtItalian() {
    auto* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    // Marked by name, so that a second call neither loads nor stacks a copy.
    if (app->findChild<QTranslator*>("qtbase_it", Qt::FindDirectChildrenOnly))
        return true;
    auto* translator = new QTranslator(app);
    if (!translator->load("qtbase_it", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    translator->setObjectName("qtbase_it");
    return QCoreApplication::installTranslator(translator);
}
