// "Assetto corpo totalmente immerso": the trim at which a body wholly under
// water balances, its centre of gravity vertically under its centre of
// buoyancy, with the liquid loads of the tanks moving as it trims.
//
// The heel and the starting trim are typed in radians. A computation shows
// both angles in degrees and relabels their units "°"; from then on, until
// the dialog closes, the two fields are read as degrees, so that a second
// computation starts from the trim just found.
#pragma once

#include "CCalculationDlg.h"

class CShipModel;
class QLabel;
class QLineEdit;
class QPushButton;

class CSubmergedTrimDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CSubmergedTrimDlg(QWidget* parent = nullptr);
    ~CSubmergedTrimDlg() override;

    // Shows the fields at their starting values. Runs once, when the dialog
    // is first shown.
    bool OnInitDialog() override;

    // Whether the angle fields hold degrees (after a computation) or radians.
    bool AnglesInDegrees() const { return m_degrees; }

public slots:
    // "Calcola l'assetto".
    void Run();

protected:
private:
    bool m_degrees = false;

    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_z = nullptr;
    QLineEdit* m_weight = nullptr;
    QLineEdit* m_tolerance = nullptr;
    QLineEdit* m_heel = nullptr;
    QLineEdit* m_trim = nullptr;
    QLabel* m_heelUnit = nullptr;
    QLabel* m_trimUnit = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
};
