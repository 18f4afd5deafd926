#include "CElementEditDlg.h"

#include "CBitmapButton.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "platform/NumberText.h"
#include "ui/app/UiLayer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <cstdint>

namespace {

struct PredefinedColour {
    const char* name;
    int red, green, blue;
};

// The list "Colori predefiniti", in its order.
constexpr PredefinedColour kPredefinedColours[] = {
    {"Nero", 0, 0, 0},
    {"Blu", 0, 0, 192},
    {"Verde", 0, 192, 0},
    {"Azzurro", 0, 192, 192},
    {"Rosso", 192, 0, 0},
    {"Magenta", 192, 0, 192},
    {"Giallo", 192, 192, 0},
    {"Grigio scuro", 128, 128, 128},
    {"Grigio chiaro", 192, 192, 192},
    {"Blu chiaro", 0, 0, 255},
    {"Verde chiaro", 0, 255, 0},
    {"Ciano chiaro", 0, 255, 255},
    {"Rosso chiaro", 255, 0, 0},
    {"Magenta chiaro", 255, 0, 255},
    {"Giallo chiaro", 255, 255, 0},
    {"Bianco", 255, 255, 255},
};
constexpr int kPredefinedCount = static_cast<int>(std::size(kPredefinedColours));

const char* const kColourButtonTip = "Mostra il colore selezionato e conferma la combinazione RGB";

// 0x00BBGGRR.
Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red + 256 * green + 65536 * blue);
}

// A 32-bit integer, signed or not; a negative one stands for its two's
// complement, as the 32 bits of the colour hold it.
bool GetColourField(QLineEdit* field, Colour& colour) {
    long long value = 0;
    if (ReadIntegerText(field->text().trimmed().toStdString(), value) != CNumberText::number ||
        value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) {
        RefuseField(field, "Immettere un valore integer.");
        return false;
    }
    colour = static_cast<Colour>(value);
    return true;
}

QLineEdit* NumberBox(const char* name) {
    return NewNumberBox(name, "-0000.000000000");
}

QSlider* ColourSlider(const char* name) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(0, 255);
    slider->setPageStep(16);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(32);
    slider->setMinimumWidth(160);
    return slider;
}

} // namespace

CElementEditDlg::CElementEditDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Edting elemento");

    m_kind_icon = new QLabel;
    m_kind_icon->setObjectName("kindIcon");
    m_kind_icon->setFixedSize(32, 32);
    m_enabled = new QCheckBox("Abilitato");
    m_enabled->setObjectName("enabled");
    m_colour = NumberBox("colour");
    auto* colourLabel = new QLabel("Colore (32bit)");
    colourLabel->setBuddy(m_colour);

    auto* head = new QHBoxLayout;
    head->addWidget(m_kind_icon);
    head->addSpacing(8);
    head->addWidget(m_enabled);
    head->addStretch(1);
    head->addWidget(colourLabel);
    head->addWidget(m_colour);

    // Names are often a drawing's full path: the box wraps them anywhere.
    auto* nameLabel = new QLabel("Nominativo");
    m_name = new QPlainTextEdit;
    m_name->setObjectName("name");
    m_name->setTabChangesFocus(true);
    m_name->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_name->setFixedHeight(m_name->fontMetrics().lineSpacing() * 3 + 12);
    m_name->installEventFilter(this);
    nameLabel->setBuddy(m_name);

    // Shown only when the surface has problems: they stay in sight while
    // the element is edited, as the status bar's note does not.
    m_mesh_problems = new QLabel;
    m_mesh_problems->setObjectName("meshProblems");
    m_mesh_problems->setWordWrap(true);
    m_mesh_problems->setTextFormat(Qt::PlainText);
    m_mesh_problems->hide();

    // The kind's own values.
    m_permeability = NumberBox("permeability");
    m_specific_weight = NumberBox("specificWeight");
    m_filling_ratio = NumberBox("fillingRatio");
    m_load_volume = NumberBox("loadVolume");
    m_filling_entry = new QRadioButton("Riempimento");
    m_filling_entry->setObjectName("fillingEntry");
    m_volume_entry = new QRadioButton("Volume carico liquido");
    m_volume_entry->setObjectName("volumeEntry");
    auto* entries = new QButtonGroup(this);
    entries->addButton(m_filling_entry, 0);
    entries->addButton(m_volume_entry, 1);
    auto* permeabilityLabel = new QLabel("Permeabilità");
    permeabilityLabel->setBuddy(m_permeability);
    auto* weightLabel = new QLabel("Peso specifico carico");
    weightLabel->setBuddy(m_specific_weight);

    auto* values = new QGridLayout;
    values->addWidget(permeabilityLabel, 0, 0);
    values->addWidget(m_permeability, 0, 1);
    values->addWidget(weightLabel, 1, 0);
    values->addWidget(m_specific_weight, 1, 1);
    values->addWidget(new QLabel("[kg/m^3]"), 1, 2);
    values->addWidget(m_filling_entry, 2, 0);
    values->addWidget(m_filling_ratio, 2, 1);
    values->addWidget(m_volume_entry, 3, 0);
    values->addWidget(m_load_volume, 3, 1);
    values->addWidget(new QLabel("[m^3]"), 3, 2);
    values->setColumnStretch(3, 1);

    // The colour: sliders and predefined colours, confirmed by the button,
    // shown in the square.
    auto* colourGroup = new QGroupBox("Anteprima colore");
    m_red_slider = ColourSlider("red");
    m_green_slider = ColourSlider("green");
    m_blue_slider = ColourSlider("blue");
    m_predefined_list = new QComboBox;
    m_predefined_list->setObjectName("predefined");
    for (const PredefinedColour& c : kPredefinedColours)
        m_predefined_list->addItem(c.name);
    m_predefined_list->setCurrentIndex(-1);
    m_preview = new QWidget;
    m_preview->setObjectName("preview");
    m_preview->setFixedSize(50, 50);
    m_preview->installEventFilter(this);
    m_colour_button = new CBitmapButton;
    m_colour_button->setObjectName("colourButton");

    auto* sliders = new QGridLayout;
    const struct {
        const char* label;
        QSlider* slider;
    } rows[] = {{"Rosso", m_red_slider}, {"Verde", m_green_slider}, {"Blu", m_blue_slider}};
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new QLabel(r.label);
        label->setBuddy(r.slider);
        sliders->addWidget(label, row, 0);
        sliders->addWidget(r.slider, row, 1);
        ++row;
    }
    auto* predefinedLabel = new QLabel("Colori predefiniti");
    predefinedLabel->setBuddy(m_predefined_list);
    sliders->addWidget(predefinedLabel, row, 0);
    sliders->addWidget(m_predefined_list, row, 1);

    auto* square = new QVBoxLayout;
    square->addWidget(m_preview, 0, Qt::AlignHCenter);
    square->addSpacing(8);
    square->addWidget(m_colour_button, 0, Qt::AlignHCenter);
    square->addStretch(1);

    auto* colourLayout = new QHBoxLayout(colourGroup);
    colourLayout->addLayout(sliders, 1);
    colourLayout->addSpacing(12);
    colourLayout->addLayout(square);

    m_ok = new QPushButton("OK");
    m_ok->setObjectName("ok");
    m_ok->setDefault(true);
    m_cancel = new QPushButton("Cancel");
    m_cancel->setObjectName("cancel");
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    layout->addWidget(m_mesh_problems);
    layout->addSpacing(4);
    layout->addLayout(values);
    layout->addWidget(colourGroup);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &CElementEditDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CElementEditDlg::reject);
    connect(m_colour_button, &CBitmapButton::clicked, this, &CElementEditDlg::OnColour);
    connect(m_predefined_list, &QComboBox::activated, this, &CElementEditDlg::OnPredefinedColour);
    connect(entries, &QButtonGroup::idClicked, this, &CElementEditDlg::OnLoadEntry);

    setMinimumWidth(460);
}

CElementEditDlg::~CElementEditDlg() = default;

void CElementEditDlg::SetValues(const CElementValues& values) {
    m_values = values;
    // The dialog always opens on "Riempimento".
    m_values.load_entry = 0;
    m_loaded = values;
}

void CElementEditDlg::SetMeshProblems(const QStringList& problems) {
    QString text = "Problemi della superficie:";
    for (const QString& p : problems)
        text += "\n- " + p + ";";
    text.chop(1);
    text += '.';
    m_mesh_problems->setText(problems.isEmpty() ? QString() : text);
    m_mesh_problems->setVisible(!problems.isEmpty());
}

void CElementEditDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
}

void CElementEditDlg::OnInitDialog() {
    WriteFields();

    LoadAppResources();
    m_colour_button->LoadBitmaps(QPixmap(":/icons/colour.png"),
                                 QPixmap(":/icons/colour-pressed.png"));
    m_colour_button->SizeToContent();
    m_colour_button->setToolTip(kColourButtonTip);

    // Which boxes each kind edits: a compartment its permeability, a tank
    // its specific weight and its load (as a filling ratio until the radio
    // buttons say otherwise); a hull element none.
    const int kind = m_values.kind == 0 ? kindHull : m_values.kind;
    const QIcon icon = ElementIcon(kind, true);
    if (!icon.isNull())
        m_kind_icon->setPixmap(icon.pixmap(32, 32));
    if (kind == kindHull || kind == kindCompartment || kind == kindTank) {
        SetBoxReadOnly(m_permeability, kind != kindCompartment);
        SetBoxReadOnly(m_specific_weight, kind != kindTank);
        SetBoxReadOnly(m_filling_ratio, kind != kindTank);
        SetBoxReadOnly(m_load_volume, true);
    }

    m_red = static_cast<int>(m_values.colour & 0xFFu);
    m_green = static_cast<int>((m_values.colour >> 8) & 0xFFu);
    m_blue = static_cast<int>((m_values.colour >> 16) & 0xFFu);
    for (QSlider* slider : {m_red_slider, m_green_slider, m_blue_slider})
        slider->setRange(0, 255);
    m_red_slider->setValue(m_red);
    m_green_slider->setValue(m_green);
    m_blue_slider->setValue(m_blue);
}

void CElementEditDlg::SetBoxReadOnly(QLineEdit* box, bool readOnly) {
    box->setReadOnly(readOnly);
    // A box that cannot be edited looks it, on the window's colour.
    QPalette palette = QApplication::palette(box);
    if (readOnly)
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

bool CElementEditDlg::GetNumber(QLineEdit* box, double loaded, double& value) {
    // The box shows a loaded value rounded to 15 digits: left as it was, it
    // gives the value itself back.
    if (std::isfinite(loaded) && box->text() == FormatFieldNumber(loaded)) {
        value = loaded;
        return true;
    }
    return GetFieldNumber(box, value);
}

bool CElementEditDlg::ReadFields() {
    CElementValues& v = m_values;
    v.enabled = m_enabled->isChecked() ? 1 : 0;
    if (!GetColourField(m_colour, v.colour))
        return false;
    const QString name = m_name->toPlainText();
    v.name = name == ElementNameText(m_loaded.name) ? m_loaded.name : name.toUtf8().toStdString();
    // A box refused for its range keeps the value it was read with.
    if (!GetNumber(m_permeability, m_loaded.permeability, v.permeability) ||
        !CheckFieldRange(m_permeability, v.permeability, 0.0, 1.0))
        return false;
    if (!GetNumber(m_specific_weight, m_loaded.specific_weight, v.specific_weight))
        return false;
    if (!GetNumber(m_load_volume, m_loaded.load_volume, v.load_volume))
        return false;
    if (!GetNumber(m_filling_ratio, m_loaded.filling_ratio, v.filling_ratio) ||
        !CheckFieldRange(m_filling_ratio, v.filling_ratio, 0.0, 1.0))
        return false;
    v.load_entry = m_volume_entry->isChecked() ? 1 : 0;
    m_red = m_red_slider->value();
    m_green = m_green_slider->value();
    m_blue = m_blue_slider->value();
    m_predefined = m_predefined_list->currentIndex();
    return true;
}

void CElementEditDlg::WriteFields() {
    const CElementValues& v = m_values;
    m_enabled->setChecked(v.enabled != 0);
    m_colour->setText(QString::number(v.colour));
    m_name->setPlainText(ElementNameText(v.name));
    SetFieldNumber(m_permeability, v.permeability);
    SetFieldNumber(m_specific_weight, v.specific_weight);
    SetFieldNumber(m_load_volume, v.load_volume);
    SetFieldNumber(m_filling_ratio, v.filling_ratio);
    (v.load_entry == 1 ? m_volume_entry : m_filling_entry)->setChecked(true);
    m_red_slider->setValue(m_red);
    m_green_slider->setValue(m_green);
    m_blue_slider->setValue(m_blue);
    m_predefined_list->setCurrentIndex(m_predefined);
}

void CElementEditDlg::accept() {
    if (!ReadFields())
        return;
    QDialog::accept();
}

void CElementEditDlg::OnColour() {
    // A refused field has had its message; the colour is made all the same.
    ReadFields();
    m_red = m_red_slider->value();
    m_green = m_green_slider->value();
    m_blue = m_blue_slider->value();
    m_values.colour = MakeColour(m_red, m_green, m_blue);
    WriteFields();
    update();
    m_preview->update();
}

void CElementEditDlg::OnPredefinedColour() {
    // The choice is read last: a refused field leaves the previous one.
    ReadFields();
    if (m_predefined >= 0 && m_predefined < kPredefinedCount) {
        const PredefinedColour& c = kPredefinedColours[m_predefined];
        m_red = c.red;
        m_green = c.green;
        m_blue = c.blue;
        m_values.colour = MakeColour(m_red, m_green, m_blue);
    }
    m_red_slider->setValue(m_red);
    m_green_slider->setValue(m_green);
    m_blue_slider->setValue(m_blue);
    WriteFields();
    OnColour();
}

void CElementEditDlg::OnLoadEntry() {
    if (m_values.kind != kindTank)
        return;
    const bool byVolume = m_volume_entry->isChecked();
    SetBoxReadOnly(m_filling_ratio, byVolume);
    SetBoxReadOnly(m_load_volume, !byVolume);
}

bool CElementEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_preview && event->type() == QEvent::Paint) {
        PaintPreview();
        return true;
    }
    // Enter in the name box presses OK, as in the other boxes; Ctrl+Enter
    // still breaks the line.
    if (watched == m_name && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_ok->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CElementEditDlg::PaintPreview() {
    QPainter painter(m_preview);
    const Colour c = m_values.colour;
    painter.setBrush(QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                            static_cast<int>((c >> 16) & 0xFFu)));
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(0, 0, m_preview->width() - 1, m_preview->height() - 1);
}
