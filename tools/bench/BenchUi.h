// The benchmark's stand-in for the user: signs in as the cashier and chooses the cash book
// when the start-up windows come, and otherwise answers only what a row queued for it.
// Every other message it is shown is kept, so that a run that went wrong is not timed as
// if it had worked.
#pragma once

#include "Ui.h"

#include <QMap>
#include <QStringList>

#include <functional>

class BenchUi : public UiBackend
{
public:
    BenchUi();
    ~BenchUi() override;

    // Called when the welcome window comes, that is once the database is open.
    std::function<void()> OnSignIn;
    QStringList Messages;   // what was shown that nobody expected
    // Queued by a row: the files file dialogs return and the answers to questions, taken
    // from the front; the messages and questions the row is meant to show (not counted as
    // unexpected; a question among them without a queued answer is answered No), and the
    // files a row hands to the desktop (opened as if a program had taken them).
    QStringList Files;
    QList<bool> Answers;
    QStringList Expected;
    // What a row does in a window shown modally, by the window's object name; any other
    // window than the start-up ones and these is unexpected.
    QMap<QString, std::function<void(QDialog *)>> Scripts;

    void Message(const QString &text, const QString &title, Icon icon) override;
    bool Ask(const QString &text, const QString &title, AskIcon icon) override;
    QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    bool OpenExternally(const QString &pathOrUrl) override;
    int ShowModal(QDialog *dialog) override;

private:
    UiBackend *m_previous = nullptr;
};
