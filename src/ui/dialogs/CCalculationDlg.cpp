#include "CCalculationDlg.h"

#include "CalculationRun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

CCalculationDlg::CCalculationDlg(QWidget* parent) : QDialog(parent) {
    m_stop = new QPushButton("Interrompi", this);
    m_stop->setObjectName("stop");
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, &CCalculationDlg::Stop);
}

void CCalculationDlg::Stop() {
    if (m_stopRequest)
        m_stopRequest->Request();
}

QCheckBox* CCalculationDlg::ExactRuleBox() {
    if (!m_exact) {
        m_exact = new QCheckBox("Integrazione esatta");
        m_exact->setObjectName("exact");
        m_exact->setToolTip("Integrali esatti sui pannelli immersi; la permeabilità dei "
                            "compartimenti ne riduce volume, momenti e galleggiamento");
        connect(m_exact, &QCheckBox::toggled, this, [this] { OnRuleChosen(); });
    }
    return m_exact;
}

IntegrationRule CCalculationDlg::Rule() const {
    return m_exact && m_exact->isChecked() ? IntegrationRule::exact : IntegrationRule::onePoint;
}

void CCalculationDlg::reject() {
    if (!IsRunning()) {
        QDialog::reject();
        return;
    }
    m_closeAfterRun = true;
    Stop();
}

void CCalculationDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        const QSize opened = size();
        OnInitDialog();
        // A message asked while the dialog opens (a ship without a hull)
        // runs an event loop of its own, in which the window system may hand
        // the window its first geometry back (640 x 480, the labels cut):
        // the dialog keeps the size its layout gave it.
        if (size() != opened)
            resize(opened);
    }
}

void CCalculationDlg::closeEvent(QCloseEvent* event) {
    if (!IsRunning()) {
        QDialog::closeEvent(event);
        return;
    }
    // The work still reads the ship and the dialog's buffers: the dialog
    // closes once it has returned.
    event->ignore();
    m_closeAfterRun = true;
    Stop();
}

bool CCalculationDlg::RunStoppable(const std::function<void(const CStopRequest* stop)>& work,
                                   std::initializer_list<CProgressBarLink*> progress) {
    CStopRequest stop;
    // The dialog as it was before the run, whatever way the run ends.
    class CRun {
    public:
        CRun(CCalculationDlg& dialog, CStopRequest& stop)
            : m_dialog(dialog), m_focus(dialog.focusWidget()) {
            m_dialog.m_stopRequest = &stop;
            m_dialog.m_closeAfterRun = false;
            m_dialog.m_stop->setEnabled(true);
            m_dialog.m_stop->setFocus();
        }
        ~CRun() {
            m_dialog.m_stopRequest = nullptr;
            m_dialog.m_stop->setEnabled(false);
            if (m_focus)
                m_focus->setFocus();
        }
        CRun(const CRun&) = delete;
        CRun& operator=(const CRun&) = delete;

    private:
        CCalculationDlg& m_dialog;
        QPointer<QWidget> m_focus;
    };
    bool stopped = false;
    {
        const CRun run(*this, stop);
        try {
            RunCalculation([&] { work(&stop); }, progress, {m_stop, m_closeButton});
        } catch (const CCalculationStopped&) {
            stopped = true;
        }
    }
    if (m_closeAfterRun) {
        m_closeAfterRun = false;
        QDialog::reject();
        return false;
    }
    return !stopped;
}

QHBoxLayout* CCalculationDlg::RunStopCloseButtons(QPushButton*& run, QPushButton*& close) {
    run = new QPushButton("Calcola");
    run->setObjectName("run");
    run->setDefault(true);
    close = new QPushButton("Chiudi");
    close->setObjectName("close");
    close->setAutoDefault(false);
    SetCloseButton(close);
    connect(close, &QPushButton::clicked, this, &CCalculationDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run);
    buttons->addWidget(StopButton());
    buttons->addWidget(close);
    return buttons;
}

QProgressBar* CCalculationDlg::NewProgressBar() {
    auto* progress = new QProgressBar;
    progress->setObjectName("progress");
    progress->setTextVisible(false);
    progress->setRange(0, 1);
    progress->setValue(0);
    return progress;
}
