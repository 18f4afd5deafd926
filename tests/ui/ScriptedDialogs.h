// Answers the application's message boxes and file dialogs in a person's
// place, and records what was asked.
#pragma once

#include "ui/app/UiLayer.h"

#include <QAction>
#include <QMenu>
#include <QQueue>
#include <QStringList>

#include <functional>

class CScriptedDialogs final : public CUserDialogs {
public:
    struct Message {
        QString text;
        unsigned type;
    };

    CScriptedDialogs() { m_previous = SetUserDialogs(this); }
    ~CScriptedDialogs() override { SetUserDialogs(m_previous); }

    // Answers given in order; a box with no answer queued gets IDOK for a
    // plain box and IDCANCEL for a question.
    QQueue<int> answers;
    // Paths the file dialogs return in order; empty (cancel) when none is left.
    QQueue<QString> files;
    // Texts of the popup-menu items chosen in order ("&Copia tabella");
    // the menu is dismissed when none is left.
    QQueue<QString> menuChoices;
    // Where the last popup menu was asked for, and its item texts.
    QPoint lastMenuPos;
    QStringList lastMenuItems;
    QString lastMenuTitle;

    QList<Message> messages;
    int openDialogs = 0;
    int saveDialogs = 0;
    QString lastProposedName;
    // Caption and filters of the last file dialog.
    QString lastFileCaption;
    QString lastFileFilters;
    // Runs as each message box or file dialog opens, before it is answered:
    // to look at the windows while a person would be reading it.
    std::function<void()> whileAsking;

    int MessageBox(QWidget*, const QString& text, const QString&, unsigned type) override {
        messages.append({text, type});
        if (whileAsking)
            whileAsking();
        if (!answers.isEmpty())
            return answers.dequeue();
        return (type & 0x0Fu) == MB_OK ? IDOK : IDCANCEL;
    }
    QString GetOpenFileName(QWidget*, const QString& caption, const QString& filters) override {
        ++openDialogs;
        lastFileCaption = caption;
        lastFileFilters = filters;
        if (whileAsking)
            whileAsking();
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString GetSaveFileName(QWidget*, const QString& caption, const QString& proposed,
                            const QString& filters) override {
        ++saveDialogs;
        lastProposedName = proposed;
        lastFileCaption = caption;
        lastFileFilters = filters;
        if (whileAsking)
            whileAsking();
        return files.isEmpty() ? QString() : files.dequeue();
    }

    QAction* TrackPopupMenu(QMenu& menu, const QPoint& screenPos) override {
        lastMenuPos = screenPos;
        lastMenuTitle = menu.title();
        lastMenuItems.clear();
        for (QAction* a : menu.actions())
            lastMenuItems << a->text();
        if (menuChoices.isEmpty())
            return nullptr;
        const QString choice = menuChoices.dequeue();
        for (QAction* a : menu.actions())
            if (a->text() == choice)
                return a;
        return nullptr;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const Message& m : messages)
            texts << m.text;
        return texts;
    }

private:
    CUserDialogs* m_previous = nullptr;
};
