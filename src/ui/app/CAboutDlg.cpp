#include "CAboutDlg.h"

#include "UiLayer.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    LoadAppResources();
    setWindowTitle("Informazioni su Brelund");
    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    icon->setPixmap(QIcon(":/icons/brelund.png").pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    auto* version = new QLabel(QString("Brelund versione %1").arg(BRELUND_VERSION), this);
    version->setObjectName("version");
    texts->addWidget(version);
    const char* const lines[] = {
        "",
        "Con il tasto sinistro del mouse si effettua il trascinamento dell'immagine.",
        "Con il tasto centrale è possibile controllare le funzioni di zoom della visualizzazione",
        "Con il tasto destro è possibile ruotare la visualizzazione intorno all'origine del "
        "riferimento cartesiano del modello dello scafo",
        "Con la rotellina del mouse è possibile ingrandire (in avanti) o ridurre (indietro) la "
        "visualizzazione",
    };
    for (const char* line : lines) {
        auto* label = new QLabel(QString::fromUtf8(line), this);
        label->setWordWrap(true);
        texts->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    texts->addStretch();
    texts->addWidget(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(texts, 1);
    setMinimumWidth(480);
}
