// What the four calculation dialogs share: the ship they work on, the
// opening done once when the dialog is first shown, and a run that the
// dialog sees through before it may close.
#pragma once

#include "geometry/HydroMethod.h"

#include <QDialog>

class CShipModel;
class QCheckBox;

class CCalculationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCalculationDlg(QWidget* parent = nullptr) : QDialog(parent) {}

    // The ship the dialog computes on; not owned.
    void SetModel(CShipModel* model) { m_pModel = model; }
    bool IsRunning() const { return m_running; }

public slots:
    // "Chiudi", Escape and the window's close button: refused while a
    // calculation is under way.
    void reject() override;

protected:
    // The opening values from the ship; once, when the dialog is first shown.
    virtual bool OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // The dialog is running a calculation for the life of the object.
    class CRunning {
    public:
        explicit CRunning(CCalculationDlg& dialog) : m_flag(dialog.m_running) { m_flag = true; }
        ~CRunning() { m_flag = false; }
        CRunning(const CRunning&) = delete;
        CRunning& operator=(const CRunning&) = delete;

    private:
        bool& m_flag;
    };

    // "Integrazione esatta": the exact rule instead of the tables' own, for
    // the dialogs whose tables take either. Made once; OnRuleChosen follows
    // every change.
    QCheckBox* ExactRuleBox();
    IntegrationRule Rule() const;
    virtual void OnRuleChosen() {}

    CShipModel* m_pModel = nullptr;

private:
    QCheckBox* m_exact = nullptr;
    bool m_initialised = false;
    bool m_running = false;
};
