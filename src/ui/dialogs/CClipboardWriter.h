// Plain text or a picture onto the system clipboard on behalf of a window.
#pragma once

#include <string>

class QImage;
class QWidget;

class CClipboardWriter {
public:
    explicit CClipboardWriter(QWidget* owner) : m_owner(owner) {}
    // False when there is no clipboard to write to; nothing is said.
    bool SetText(const std::string& text);
    bool SetImage(const QImage& image);

private:
    QWidget* m_owner;
};
