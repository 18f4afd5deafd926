#include "CClipboardWriter.h"

#include <QClipboard>
#include <QGuiApplication>

bool CClipboardWriter::SetText(const std::string& text) {
    (void)m_owner;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(text), QClipboard::Clipboard);
    return true;
}
