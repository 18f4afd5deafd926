#include "ConditionsWindow.h"

#include "CBrelundDoc.h"
#include "ui/dialogs/CConditionsDlg.h"

void ConnectConditionsWindow(CConditionsDlg& window, CBrelundDoc& doc) {
    window.SetShip(&doc.GetModel());
    const auto show = [&window, &doc] {
        window.SetConditions(doc.GetConditions(), doc.ConditionsWritable(), doc.ConditionsFault());
    };
    show();
    QObject::connect(&doc, &CBrelundDoc::conditionsChanged, &window, show);
    QObject::connect(&doc, &CBrelundDoc::initialUpdate, &window, &CConditionsDlg::ShipChanged);
    QObject::connect(&doc, &CBrelundDoc::updateAllViews, &window, &CConditionsDlg::ShipChanged);
    QObject::connect(&window, &CConditionsDlg::conditionsEdited, &doc,
                     [&doc](const CLoadingConditions& conditions, const QString& text) {
                         doc.SetConditions(conditions, text);
                     });
}
