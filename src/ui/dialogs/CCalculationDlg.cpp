#include "CCalculationDlg.h"

#include <QCloseEvent>

void CCalculationDlg::reject() {
    if (!m_running)
        QDialog::reject();
}

void CCalculationDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
}

void CCalculationDlg::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
