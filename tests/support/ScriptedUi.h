// A UiBackend for tests, strict: installs itself while it lives, records every message,
// question, file dialog, external open and modal window; answers questions and file
// dialogs from queues and runs one script per modal showing. A modal window, question or
// file dialog that nobody scripted fails the test, and so does a script, an answer or a
// file left unused when the ScriptedUi goes.
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
        QString text;   // for a file dialog: the folder (or file) it starts at
        AskIcon icon = AskIcon::Question; // of a question
    };

    ScriptedUi();
    ~ScriptedUi() override;

    // Queues, taken from the front: the answers to Yes/No questions and the files that
    // file dialogs return (an empty text is a cancelled dialog).
    QList<bool> answers;
    QList<Choice> choices;   // answers to Yes/No/Cancel questions
    QStringList files;
    bool externalResult = true;

    // The script run at the next modal showing of the window with this object name; a
    // window shown several times needs a script for each showing, in order. A script
    // that leaves the window open ends as Rejected.
    void OnModal(const QString &objectName, Script script);
    // Scripts not yet run, by window.
    QStringList Pending() const;

    QList<Shown> log;
    QStringList Messages() const;           // texts of message boxes, in order
    QStringList Questions() const;          // texts of all questions, in order
    QList<AskIcon> QuestionIcons() const;   // their icons, in order
    QStringList Shows() const;              // object names of modal windows, in order
    QStringList Opened() const;             // what was handed to the desktop
    void Clear() { log.clear(); }

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool Ask(const QString &text, const QString &title, AskIcon icon) override;
    Choice AskYesNoCancel(const QString &text, const QString &title) override;
    QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    bool OpenExternally(const QString &pathOrUrl) override;
    int ShowModal(QDialog *dialog) override;

private:
    QStringList of(const QString &kind) const;
    QString nextFile(const QString &kind, const QString &title, const QString &dir);
    QMap<QString, QList<Script>> m_scripts;
    UiBackend *m_previous = nullptr;
};
