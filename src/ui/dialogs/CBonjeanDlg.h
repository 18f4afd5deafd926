// "Tabelle del bonjean": the area of every transverse section of the hull
// below a series of waterlines and its moment about the base plane, at 21
// equally spaced stations and any additional ones; and the outlines of the
// same sections as a DXF drawing.
#pragma once

#include "calc/BonjeanTable.h"

#include "CCalculationDlg.h"

class CMSFlexGrid;
class CShipModel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class CBonjeanDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CBonjeanDlg(QWidget* parent = nullptr);
    ~CBonjeanDlg() override;

    CMSFlexGrid* AreasGrid() const { return m_areas; }
    CMSFlexGrid* MomentsGrid() const { return m_moments; }
    // The grid the right button was last pressed on: 1 "Aree [m^2]",
    // 2 "Sxy - My (m^3)", 0 none yet.
    int ClickedGrid() const { return m_clickedGrid; }
    const CBonjeanModelData& ModelData() const { return m_data; }

    // The text of the additional-sections box as the station list reads it:
    // one number a line, lines ended by CR LF.
    static std::string AdditionalSectionsText(const QString& typed);

public slots:
    // "Calcola Tabelle di Bonjean".
    void Compute();
    // "Estrai sezioni verticali".
    void ExtractSections();

protected:
    // The hull's box into "Dati modello"; once, when the dialog is first shown.
    bool OnInitDialog() override;

private:
    void BuildLayout();
    void OnGridMouseDown(int which, short button, int x, int y);
    // Fields into inputs, then the checks of both buttons; false after the
    // message that stops the button.
    bool ReadAndCheck(CBonjeanInputs& inputs);
    void ShowFields();

    CBonjeanModelData m_data;
    int m_clickedGrid = 0;

    QLineEdit* m_xmin = nullptr;
    QLineEdit* m_xmax = nullptr;
    QLineEdit* m_zmin = nullptr;
    QLineEdit* m_zmax = nullptr;
    QLineEdit* m_zstart = nullptr;
    QLineEdit* m_zend = nullptr;
    QLineEdit* m_dz = nullptr;
    QLineEdit* m_station0 = nullptr;
    QLineEdit* m_station20 = nullptr;
    QPlainTextEdit* m_extra = nullptr;
    QPushButton* m_compute = nullptr;
    QPushButton* m_extract = nullptr;
    CMSFlexGrid* m_areas = nullptr;
    CMSFlexGrid* m_moments = nullptr;
    QProgressBar* m_stationProgress = nullptr;
    QProgressBar* m_waterlineProgress = nullptr;
};
