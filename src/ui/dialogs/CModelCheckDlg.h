// "Verifica modello": the modeless window listing the checks of every
// element's surface (closed, consistent, outward, boundary, edges of three
// faces, T-junctions, volume), and handing the view the edges where they
// fail, to be drawn over the ship while the window is shown.
//
// The checks of a large element take seconds, so they run only while the
// window is shown: when it is shown and after each change of the ship.
#pragma once

#include "geometry/SurfaceCheck.h"

#include <QDialog>

#include <string>
#include <vector>

class CMSFlexGrid;
class CShipModel;
class QLabel;

class CModelCheckDlg : public QDialog {
    Q_OBJECT
public:
    // The grid's columns.
    enum Column {
        colKind,
        colName,
        colEnabled,
        colFaces,
        colClosed,
        colConsistent,
        colOutward,
        colBoundaryEdges,
        colBoundaryLength,
        colNonManifold,
        colTJunctions,
        colVolume,
        colCount
    };

    explicit CModelCheckDlg(QWidget* parent = nullptr);
    ~CModelCheckDlg() override;

    // The document's ship, not owned; checked at once when the window is
    // shown.
    void SetModel(const CShipModel* model);
    const CShipModel* GetModel() const { return m_pModel; }

    // The ship changed: checked again, once, after the events in hand (a
    // change told twice costs one check); while hidden nothing is done, the
    // window checks the ship when it is next shown.
    void ModelChanged();
    // Every element checked now, the grid, the summary and the faults
    // rebuilt, under the wait cursor.
    void Refresh();

    // What the view draws: nothing while the window is hidden; the faults
    // of the element whose row is selected; otherwise those of every
    // enabled element.
    std::vector<const CSurfaceFaults*> ShownFaults() const;

    CMSFlexGrid* Grid() const { return m_grid; }
    // "Nessun problema", or how many elements have problems.
    QString Summary() const;

signals:
    // What ShownFaults gives changed: the view draws again.
    void faultsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct CRow {
        int kind = 0;
        std::string name;
        bool enabled = false;
        CSurfaceFaults faults;
    };

    // The row of the element selected in the grid; null for none.
    const CRow* SelectedRow() const;

    const CShipModel* m_pModel = nullptr;
    std::vector<CRow> m_rows; // one per data row of the grid
    bool m_refresh_queued = false;

    CMSFlexGrid* m_grid = nullptr;
    QLabel* m_summary = nullptr;
};
