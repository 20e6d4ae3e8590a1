#include "ScriptedUi.h"

#include <QDialog>

ScriptedUi::ScriptedUi()
{
    m_previous = Ui::Install(this);
}

ScriptedUi::~ScriptedUi()
{
    Ui::Install(m_previous);
}

void ScriptedUi::OnModal(const QString &objectName, Script script)
{
    if (m_spent.removeAll(objectName) > 0)
        m_scripts[objectName].clear();
    m_scripts[objectName].append(std::move(script));
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
QStringList ScriptedUi::Shows() const { return of(QStringLiteral("modal")); }
QStringList ScriptedUi::Opened() const { return of(QStringLiteral("external")); }

void ScriptedUi::Message(const QString &text, const QString &title, Icon)
{
    log.append({QStringLiteral("message"), title, text});
}

bool ScriptedUi::Ask(const QString &text, const QString &title)
{
    log.append({QStringLiteral("ask"), title, text});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString ScriptedUi::OpenFile(const QString &title, const QString &, const QString &,
                             const QString &)
{
    log.append({QStringLiteral("open"), title, QString()});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedUi::SaveFile(const QString &title, const QString &, const QString &,
                             const QString &)
{
    log.append({QStringLiteral("save"), title, QString()});
    return files.isEmpty() ? QString() : files.takeFirst();
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
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    auto it = m_scripts.find(name);
    if (it != m_scripts.end() && !it->isEmpty()) {
        if (it->size() == 1 && !m_spent.contains(name))
            m_spent << name;
        const Script script = it->size() > 1 ? it->takeFirst() : it->constFirst();
        script(dialog);
    }
    if (dialog->isVisible())
        dialog->reject();
    return dialog->result();
}
