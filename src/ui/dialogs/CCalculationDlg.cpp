#include "CCalculationDlg.h"

#include <QCheckBox>
#include <QCloseEvent>

QCheckBox* CCalculationDlg::ExactRuleBox() {
    if (!m_exact) {
        m_exact = new QCheckBox("Integrazione esatta");
        m_exact->setObjectName("exact");
        m_exact->setToolTip("Integrali esatti sui pannelli immersi; la permeabilità dei "
                            "compartimenti ne riduce volume, momenti e galleggiamento");
        connect(m_exact, &QCheckBox::toggled, this, [this] { OnRuleChosen(); });
    }
    return m_exact;
}

IntegrationRule CCalculationDlg::Rule() const {
    return m_exact && m_exact->isChecked() ? IntegrationRule::exact : IntegrationRule::onePoint;
}

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
