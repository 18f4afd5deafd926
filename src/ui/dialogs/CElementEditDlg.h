// "Edting elemento": the properties of one element of the ship — its name,
// whether it is enabled, its display colour and, by kind, a compartment's
// permeability or a tank's liquid load. The dialog only holds values: the
// element tree loads them from the element before it shows the dialog, and
// stores them into the element after OK (StoreElementValues, as brelund-calc
// edit does).
#pragma once

#include "model/ElementEditing.h"

#include <QDialog>
#include <QStringList>

#include <string>

class CBitmapButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

class CElementEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CElementEditDlg(QWidget* parent = nullptr);
    ~CElementEditDlg() override;

    // Loading, before the dialog shows: the kind code and the values of an
    // element (LoadElementValues).
    void SetValues(const CElementValues& values);
    // The problems of the element's surface (ElementProblemTexts), listed
    // under its name; none hides the list.
    void SetMeshProblems(const QStringList& problems);
    // The values as last read from the controls: after OK, those to store.
    const CElementValues& Values() const { return m_values; }

    // The opening: the colour button, the kind's icon and read-only boxes,
    // the sliders on the colour. Runs once, when the dialog is first shown.
    void OnInitDialog();

    // Reads every field from its control, in the order of the controls,
    // and stops at the first that is refused (its message; it gets the
    // focus). Fields read before it keep their new values.
    bool ReadFields();
    // Writes every field to its control.
    void WriteFields();

    // The colour of the preview square.
    Colour PreviewColour() const { return m_values.colour; }

public slots:
    // OK: the fields are read; a refused one keeps the dialog open.
    void accept() override;
    // The colour button: the sliders make the colour.
    void OnColour();
    // A predefined colour chosen in the list.
    void OnPredefinedColour();
    // The radio buttons of a tank's load: the chosen entry becomes editable.
    void OnLoadEntry();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintPreview();
    bool GetNumber(QLineEdit* box, double loaded, double& value);
    void SetBoxReadOnly(QLineEdit* box, bool readOnly);

    CElementValues m_values;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    int m_predefined = -1;
    // The values as loaded: a box left showing its value keeps it exactly
    // (all its digits, and a name's bytes even when they are not UTF-8).
    CElementValues m_loaded;
    bool m_initialised = false;

    QLabel* m_kind_icon = nullptr;
    QLabel* m_mesh_problems = nullptr;
    QCheckBox* m_enabled = nullptr;
    QLineEdit* m_colour = nullptr;
    QPlainTextEdit* m_name = nullptr;
    QLineEdit* m_permeability = nullptr;
    QLineEdit* m_specific_weight = nullptr;
    QRadioButton* m_filling_entry = nullptr;
    QRadioButton* m_volume_entry = nullptr;
    QLineEdit* m_filling_ratio = nullptr;
    QLineEdit* m_load_volume = nullptr;
    QSlider* m_red_slider = nullptr;
    QSlider* m_green_slider = nullptr;
    QSlider* m_blue_slider = nullptr;
    QComboBox* m_predefined_list = nullptr;
    QWidget* m_preview = nullptr;
    CBitmapButton* m_colour_button = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
