// Answers the modal properties dialog in a person's place.
#pragma once

#include "ui/dialogs/CElementEditDlg.h"

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs act on the properties dialog once it is open (modal), then closes it
// with Cancel if act left it open. open tells whether it opened at all.
inline void WhenEditOpens(std::function<void(CElementEditDlg&)> act, bool* open = nullptr) {
    QTimer::singleShot(0, [act, open] {
        auto* edit = qobject_cast<CElementEditDlg*>(QApplication::activeModalWidget());
        if (open)
            *open = edit != nullptr;
        if (!edit)
            return;
        act(*edit);
        if (edit->isVisible())
            edit->reject();
    });
}
