// "Stabilità in avaria": the modeless window that computes a loading
// condition of the ship after damage, every damage case of the ship in turn,
// as brelund-calc damage --condition NAME --case all does (the same inputs,
// figures and digits): the cases with the result of each (afloat at its
// heel, sinking or capsizing; the criteria passed or not), and for the case
// chosen its equilibrium after damage, the GZ curve after damage with the
// equilibrium, the range and the criteria's area, the criteria and the
// curve's table; and, for the 3D view while the window is shown, the ship at
// that equilibrium with its damaged waterplane and the flooded compartments
// shaded.
#pragma once

#include "CCalculationDlg.h"

#include "calc/DamageStability.h"
#include "ui/view/ConditionDrawing.h"

#include <optional>
#include <vector>

class CChartPane;
class CLoadingConditions;
class CMSFlexGrid;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

class CDamageDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CDamageDlg(QWidget* parent = nullptr);
    ~CDamageDlg() override;

    bool OnInitDialog() override;

    // The document's conditions and damage cases, not owned; the lists
    // follow them at each ConditionsChanged.
    void SetConditions(const CLoadingConditions* conditions);

    QListWidget* ConditionList() const { return m_conditionList; }
    QComboBox* CriteriaChoice() const { return m_criteriaChoice; }
    // One row per damage case: its name, result, heel and criteria.
    QTreeWidget* CaseList() const { return m_caseList; }
    CMSFlexGrid* EquilibriumGrid() const { return m_equilibrium; }
    CMSFlexGrid* CriteriaGrid() const { return m_criteria; }
    CMSFlexGrid* CurveGrid() const { return m_curve; }
    CChartPane* Chart() const { return m_chart; }
    QProgressBar* Progress() const { return m_progress; }

    // The results of the last run, one per case in order; empty before a run
    // or after one that showed nothing.
    const std::vector<CDamageResult>& Results() const { return m_results; }
    // What the 3D view is to draw: the case shown afloat at its equilibrium
    // after damage; none while the window is hidden, or the case shown sinks
    // or capsizes.
    const std::optional<CConditionPicture>& Picture() const { return m_picture; }

public slots:
    // "Calcola": every damage case of the condition chosen, by the set of
    // criteria chosen, computed and shown, the first case chosen.
    void Run();
    // The conditions or cases changed: the list again, the choice kept by
    // name; results of a condition or case gone or changed are cleared.
    void ConditionsChanged();
    // The ship changed: the results are of the ship as it was, so they go.
    void ModelChanged();
    // The result of case index (0-based) in the grids, the chart and the
    // picture; false when there is none.
    bool ShowCase(int index);

signals:
    // Picture() is different.
    void pictureChanged();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // Empties the case results, the tables, the chart and the picture.
    void Clear();
    // Empties the tables and the chart of one case.
    void ClearCase();
    void DrawChart(const CDamageResult& r);
    void SetPicture(std::optional<CConditionPicture> picture, const QString& note);
    void OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y);

    const CLoadingConditions* m_conditions = nullptr;
    QListWidget* m_conditionList = nullptr;
    QLabel* m_noCases = nullptr;
    QComboBox* m_criteriaChoice = nullptr;
    QTreeWidget* m_caseList = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    QProgressBar* m_progress = nullptr;
    CMSFlexGrid* m_equilibrium = nullptr;
    CMSFlexGrid* m_criteria = nullptr;
    CMSFlexGrid* m_curve = nullptr;
    CChartPane* m_chart = nullptr;
    QLabel* m_shown = nullptr; // what the 3D view shows, or why it shows nothing
    std::vector<CDamageResult> m_results;
    std::string m_set; // the criteria set of m_results
    // What m_results were computed for.
    std::optional<CLoadingCondition> m_condition;
    std::vector<CDamageCase> m_cases;
    std::optional<CConditionPicture> m_picture;
};

// A damage case's problem said in Italian in a message box.
void RefuseDamageProblem(const CCalcProblem& problem, const std::string& caseName);
