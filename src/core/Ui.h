// The one way windows talk to the user outside their own controls: message boxes, Yes/No
// questions, file dialogs, opening a document or web page, and showing a window modally.
// The program installs the real implementation; tests install ScriptedUi, which records
// what was shown and answers from queues and per-window scripts.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class UiBackend
{
public:
    enum class Icon { Information, Warning, Error };
    enum class AskIcon { None, Question, Information };
    enum class Choice { Yes, No, Cancel };
    virtual ~UiBackend() = default;
    virtual void Message(const QString &text, const QString &title, Icon icon) = 0;
    virtual bool Ask(const QString &text, const QString &title, AskIcon icon) = 0;
    // A Yes/No/Cancel question. A backend without a cancel answers it as its Yes/No one.
    virtual Choice AskYesNoCancel(const QString &text, const QString &title)
    {
        return Ask(text, title, AskIcon::Question) ? Choice::Yes : Choice::No;
    }
    virtual QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                             const QString &defaultSuffix) = 0;
    virtual QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                             const QString &defaultSuffix) = 0;
    virtual bool OpenExternally(const QString &pathOrUrl) = 0;
    virtual int ShowModal(QDialog *dialog) = 0;
};

namespace Ui {

using Icon = UiBackend::Icon;
using AskIcon = UiBackend::AskIcon;
using Choice = UiBackend::Choice;

// Installs a backend (not owned) and returns the one it replaces; nullptr returns to the
// real one.
UiBackend *Install(UiBackend *backend);
UiBackend &Backend();

// A plain box with an OK button; the title defaults to the program's name.
void Message(const QString &text, const QString &title = QString(), Icon icon = Icon::Information);
void Error(const QString &text, const QString &title = QString());
// A Yes/No question; true for Yes.
bool Ask(const QString &text, const QString &title, AskIcon icon = AskIcon::Question);
// A question with 是, 否 and 取消 (Escape and closing the box are 取消).
Choice AskYesNoCancel(const QString &text, const QString &title);
// Empty when the user cancels.
QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                 const QString &defaultSuffix = QString());
QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                 const QString &defaultSuffix = QString());
// A local file path or a URL (http:, mailto:) handed to the desktop.
bool OpenExternally(const QString &pathOrUrl);
// Shows the window modally and returns its result (QDialog::Accepted or Rejected).
int ShowModal(QDialog *dialog);

} // namespace Ui

// The real thing: Qt message boxes with Chinese buttons, Qt file dialogs, the desktop.
class DesktopUi : public UiBackend
{
public:
    void Message(const QString &text, const QString &title, Icon icon) override;
    bool Ask(const QString &text, const QString &title, AskIcon icon) override;
    Choice AskYesNoCancel(const QString &text, const QString &title) override;
    QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                     const QString &defaultSuffix) override;
    bool OpenExternally(const QString &pathOrUrl) override;
    int ShowModal(QDialog *dialog) override;
};
