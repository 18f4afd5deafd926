#include "CClipboardWriter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

bool CClipboardWriter::SetText(const std::string& text) {
    (void)m_owner;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(text), QClipboard::Clipboard);
    return true;
}

bool CClipboardWriter::SetImage(const QImage& image) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setImage(image, QClipboard::Clipboard);
    return true;
}
