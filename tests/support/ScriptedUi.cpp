#include "ScriptedUi.h"

#include <QDialog>

#include <gtest/gtest.h>

ScriptedUi::ScriptedUi()
{
    m_previous = Ui::Install(this);
}

ScriptedUi::~ScriptedUi()
{
    Ui::Install(m_previous);
    const QStringList pending = Pending();
    if (!pending.isEmpty())
        ADD_FAILURE() << "scripts never run for: " << pending.join(", ").toStdString();
    if (!answers.isEmpty())
        ADD_FAILURE() << answers.size() << " answer(s) to questions never asked";
    if (!choices.isEmpty())
        ADD_FAILURE() << choices.size() << " answer(s) to Yes/No/Cancel questions never asked";
    if (!files.isEmpty())
        ADD_FAILURE() << "file(s) never asked for: " << files.join(", ").toStdString();
}

void ScriptedUi::OnModal(const QString &objectName, Script script)
{
    m_scripts[objectName].append(std::move(script));
}

QStringList ScriptedUi::Pending() const
{
    QStringList out;
    for (auto it = m_scripts.cbegin(); it != m_scripts.cend(); ++it)
        for (int i = 0; i < it.value().size(); ++i)
            out << it.key();
    return out;
}

QStringList ScriptedUi::of(const QString &kind) const
{
    QStringList out;
    for (const Shown &s : log)
        if (s.kind == kind)
            out << s.text;
    return out;
}

QStringList ScriptedUi::Messages() const { return of(QStringLiteral("message")); }
QStringList ScriptedUi::Questions() const { return of(QStringLiteral("ask")); }
QList<UiBackend::AskIcon> ScriptedUi::QuestionIcons() const
{
    QList<AskIcon> out;
    for (const Shown &s : log)
        if (s.kind == QLatin1String("ask"))
            out << s.icon;
    return out;
}

QStringList ScriptedUi::Shows() const { return of(QStringLiteral("modal")); }
QStringList ScriptedUi::Opened() const { return of(QStringLiteral("external")); }

void ScriptedUi::Message(const QString &text, const QString &title, Icon)
{
    log.append({QStringLiteral("message"), title, text});
}

bool ScriptedUi::Ask(const QString &text, const QString &title, AskIcon icon)
{
    log.append({QStringLiteral("ask"), title, text, icon});
    if (answers.isEmpty()) {
        ADD_FAILURE() << "unscripted question: " << text.toStdString();
        return false;
    }
    return answers.takeFirst();
}

UiBackend::Choice ScriptedUi::AskYesNoCancel(const QString &text, const QString &title)
{
    log.append({QStringLiteral("ask"), title, text});
    if (choices.isEmpty()) {
        ADD_FAILURE() << "unscripted Yes/No/Cancel question: " << text.toStdString();
        return Choice::Cancel;
    }
    return choices.takeFirst();
}

QString ScriptedUi::nextFile(const QString &kind, const QString &title, const QString &dir)
{
    log.append({kind, title, dir});
    if (files.isEmpty()) {
        ADD_FAILURE() << "unscripted " << kind.toStdString() << " dialog: " << title.toStdString();
        return QString();
    }
    return files.takeFirst();
}

QString ScriptedUi::OpenFile(const QString &title, const QString &dir, const QString &,
                             const QString &)
{
    return nextFile(QStringLiteral("open"), title, dir);
}

QString ScriptedUi::SaveFile(const QString &title, const QString &dir, const QString &,
                             const QString &)
{
    return nextFile(QStringLiteral("save"), title, dir);
}

bool ScriptedUi::OpenExternally(const QString &pathOrUrl)
{
    log.append({QStringLiteral("external"), QString(), pathOrUrl});
    return externalResult;
}

int ScriptedUi::ShowModal(QDialog *dialog)
{
    const QString name = dialog->objectName();
    log.append({QStringLiteral("modal"), dialog->windowTitle(), name});
    auto it = m_scripts.find(name);
    if (it == m_scripts.end() || it->isEmpty()) {
        ADD_FAILURE() << "unscripted modal window: " << name.toStdString();
        return QDialog::Rejected;
    }
    const Script script = it->takeFirst();
    if (it->isEmpty())
        m_scripts.erase(it);
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    script(dialog);
    if (dialog->isVisible())
        dialog->reject();
    return dialog->result();
}
