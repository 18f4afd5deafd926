// Placeholder, replaced by the dialog's real implementation.
#pragma once

#include <QDialog>

class CShipModel;

class CInclinedHullsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CInclinedHullsDlg(QWidget* parent = nullptr) : QDialog(parent) {}
    void SetModel(CShipModel* model) { m_pModel = model; }

private:
    CShipModel* m_pModel = nullptr;
};
