// A UiBackend for tests: installs itself while it lives, records every message, question,
// file dialog, external open and modal window, answers questions and file dialogs from
// queues, and runs a script in place of each modal window's event loop.
#pragma once

#include "Ui.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>

class ScriptedUi : public UiBackend
{
public:
    using Script = std::function<void(QDialog *)>;
    struct Shown
    {
        QString kind;   // "message", "ask", "open", "save", "external", "modal"
        QString title;
        QString text;
    };

    ScriptedUi();
    ~ScriptedUi() override;

    // Queues: questions answered in order (No when the queue is empty), file dialogs
    // answered in order (cancelled when empty).
    QList<bool> answers;
    QStringList files;
    bool externalResult = true;

    // The script run when the window with this object name is shown modally. Several
    // scripts for one window run one per showing; the last one stays for later showings
    // until a new script for the window replaces it. A window without a script is closed
    // at once with Rejected.
    void OnModal(const QString &objectName, Script script);

    QList<Shown> log;
    QStringList Messages() const;           // texts of message boxes, in order
    QStringList Questions() const;          // texts of Yes/No questions, in order
    QStringList Shows() const;              // object names of modal windows, in order
    QStringList Opened() const;             // what was handed to the desktop
    void Clear() { log.clear(); }

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool Ask(const QString &text, const QString &title) override;
    QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    bool OpenExternally(const QString &pathOrUrl) override;
    int ShowModal(QDialog *dialog) override;

private:
    QStringList of(const QString &kind) const;
    QMap<QString, QList<Script>> m_scripts;
    QStringList m_spent;   // windows whose only script has run at least once
    UiBackend *m_previous = nullptr;
};
