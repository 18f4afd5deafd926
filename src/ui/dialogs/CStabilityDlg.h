// "Stabilità": the modeless window that computes a loading condition of the
// ship as brelund-calc stability --condition does (the same inputs, tables
// and digits; with the weather criterion switched on, as --weather does
// with the pressure and bilge keel area typed, the latter by default the
// condition's: its figures, its two criteria among the others and the
// Code's figure of it): its equilibrium, the GZ curve drawn with the GM0 slope, the
// criteria's areas, the maximum and the angle of vanishing stability, the
// criteria passed and failed, and the curve's table; the down-flooding angle
// and where it came from, and the ship's openings with their heights and
// immersion heels; and the picture of the ship floating at that
// equilibrium, or at a heel clicked on the chart, with its openings marked,
// for the 3D view while the window is shown.
#pragma once

#include "CCalculationDlg.h"

#include "calc/StabilityCurve.h"
#include "calc/WeatherCriterion.h"
#include "ui/view/ConditionDrawing.h"

#include <optional>

class CChartPane;
class CLoadingConditions;
class CMSFlexGrid;
struct CCalcProblem;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

class CStabilityDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CStabilityDlg(QWidget* parent = nullptr);
    ~CStabilityDlg() override;

    bool OnInitDialog() override;

    // The document's conditions, not owned; the list follows them at each
    // ConditionsChanged.
    void SetConditions(const CLoadingConditions* conditions);

    QListWidget* ConditionList() const { return m_conditionList; }
    CMSFlexGrid* EquilibriumGrid() const { return m_equilibrium; }
    CMSFlexGrid* CriteriaGrid() const { return m_criteria; }
    CMSFlexGrid* CurveGrid() const { return m_curve; }
    CMSFlexGrid* OpeningsGrid() const { return m_openings; }
    QLabel* FloodingNote() const { return m_flooding; }
    QTabWidget* CriteriaTabs() const { return m_criteriaTabs; }
    CChartPane* Chart() const { return m_chart; }
    QProgressBar* Progress() const { return m_progress; }
    // The weather criterion: its switch, the wind pressure [Pa] and bilge
    // keel area [m^2] typed, its figures (one a row, as the command's
    // table names them), the Code's figure and the tabs of the two charts.
    QCheckBox* WeatherCheck() const { return m_weatherCheck; }
    QLineEdit* WindPressureEdit() const { return m_pressure; }
    QLineEdit* BilgeKeelEdit() const { return m_bilgeKeels; }
    CMSFlexGrid* WeatherGrid() const { return m_weatherGrid; }
    CChartPane* WeatherChart() const { return m_weatherChart; }
    QTabWidget* ChartTabs() const { return m_chartTabs; }
    // The weather criterion of the result, when it was asked for.
    const std::optional<CWeatherCalculation>& Weather() const { return m_weather; }

    // The result shown, none before a run or after one that showed nothing.
    const std::optional<CStabilityResult>& Result() const { return m_result; }
    // What the 3D view is to draw: the ship at the equilibrium found, or at
    // the heel last clicked on the chart; none while the window is hidden
    // or shows no result.
    const std::optional<CConditionPicture>& Picture() const { return m_picture; }

public slots:
    // "Calcola": the condition chosen, computed and shown.
    void Run();
    // The conditions changed: the list again, the choice kept by name; a
    // result of a condition gone or changed is cleared.
    void ConditionsChanged();
    // The ship changed: a result is of the ship as it was, so it goes.
    void ModelChanged();
    // The ship at the heel of the curve's point (one of the table's heels)
    // for the 3D view; false when no such point is shown.
    bool ShowHeel(double heel);

signals:
    // Picture() is different.
    void pictureChanged();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // Empties the tables, the chart and the picture.
    void Clear();
    void ShowResult();
    void DrawChart();
    void DrawWeatherChart();
    // The bilge keel area of the condition chosen, into its field.
    void TakeConditionsBilgeKeels();
    // picture with the result's openings marked, shown with note.
    void SetPicture(std::optional<CConditionPicture> picture, const QString& note);
    void OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y);

    const CLoadingConditions* m_conditions = nullptr;
    QListWidget* m_conditionList = nullptr;
    QLabel* m_noConditions = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    QProgressBar* m_progress = nullptr;
    CMSFlexGrid* m_equilibrium = nullptr;
    CMSFlexGrid* m_criteria = nullptr;
    CMSFlexGrid* m_curve = nullptr;
    QLabel* m_flooding = nullptr;
    CMSFlexGrid* m_openings = nullptr;
    QTabWidget* m_criteriaTabs = nullptr; // the criteria, and the openings
    CChartPane* m_chart = nullptr;
    QLabel* m_shown = nullptr; // what the 3D view shows
    std::optional<CStabilityResult> m_result;
    std::optional<CLoadingCondition> m_condition; // the one m_result is of
    std::vector<COpening> m_ship_openings;        // the openings it was computed with
    std::optional<CConditionPicture> m_picture;
    QCheckBox* m_weatherCheck = nullptr;
    QLineEdit* m_pressure = nullptr;
    QLineEdit* m_bilgeKeels = nullptr;
    CMSFlexGrid* m_weatherGrid = nullptr;
    CChartPane* m_weatherChart = nullptr;
    QTabWidget* m_chartTabs = nullptr;
    std::optional<CWeatherCalculation> m_weather;
};

// A problem of a loading condition's calculation (stability, damage) said
// in Italian in a message box; density: the water's [t/m^3].
void RefuseStabilityProblem(const CCalcProblem& problem, double density);

// The ship floating in the frame SetRotation(heel, trim, 0) [deg] with the
// draught t [m] at the midship station of datums: that frame, its
// waterplane, the centre of buoyancy there by the exact sums the stability
// calculation takes, g as given, and the hull's box; none without a hull.
std::optional<CConditionPicture> FloatingPicture(const CShipModel& ship, const CShipDatums& datums,
                                                 double heel, double trim, double t,
                                                 const CVector3& g);
