// "Tabelle del bonjean": the area of every transverse section of the hull
// below a series of waterlines and its moment about the base plane, at 21
// equally spaced stations and any additional ones, with the Bonjean curves
// of either table; and the outlines of the same sections as a DXF drawing.
#pragma once

#include "calc/BonjeanTable.h"

#include "CCalculationDlg.h"

#include <QString>

#include <vector>

class CChartPane;
class CMSFlexGrid;
class CShipModel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QComboBox;
class QPushButton;

class CBonjeanDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CBonjeanDlg(QWidget* parent = nullptr);
    ~CBonjeanDlg() override;

    CMSFlexGrid* AreasGrid() const { return m_areas; }
    CMSFlexGrid* MomentsGrid() const { return m_moments; }
    CChartPane* Chart() const { return m_chart; }
    // The table the chart draws: 0 "Aree [m^2]", 1 "Sxy - My (m^3)".
    QComboBox* ChartTable() const { return m_chartTable; }
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
    // The Bonjean curves of the table chosen, from the last tables computed.
    void DrawChart();

    CBonjeanModelData m_data;
    // The last tables computed, with each station's name in the legend and
    // the stations (their columns) in the order of their x.
    CBonjeanTables m_tables;
    std::vector<QString> m_stationNames;
    std::vector<std::size_t> m_stationOrder;
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
    QComboBox* m_chartTable = nullptr;
    CChartPane* m_chart = nullptr;
    QProgressBar* m_stationProgress = nullptr;
    QProgressBar* m_waterlineProgress = nullptr;
};
