#include "CalculationRun.h"

#include "ui/app/UiLayer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>
#include <exception>
#include <thread>
#include <vector>

void CProgressBarLink::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void CProgressBarLink::SetPos(int pos) {
    m_pos = pos;
}

void CProgressBarLink::Show() {
    if (!m_bar)
        return;
    m_bar->setRange(m_lower, m_upper);
    m_bar->setValue(m_pos);
}

void RunCalculation(const std::function<void()>& work,
                    std::initializer_list<CProgressBarLink*> progress) {
    const CWaitCursor wait;
    const std::vector<CProgressBarLink*> links(progress);
    std::exception_ptr failure;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    while (!finished) {
        for (CProgressBarLink* link : links)
            link->Show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 30);
        if (!finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    worker.join();
    for (CProgressBarLink* link : links)
        link->Show();
    if (failure)
        std::rethrow_exception(failure);
}
