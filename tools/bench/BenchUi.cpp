#include "BenchUi.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace {

void click(QDialog *dialog, const char *button)
{
    if (auto *b = dialog->findChild<QPushButton *>(QLatin1String(button)))
        b->click();
}

} // namespace

BenchUi::BenchUi() : m_previous(Ui::Install(this)) {}

BenchUi::~BenchUi()
{
    Ui::Install(m_previous);
}

void BenchUi::Message(const QString &text, const QString &, Icon)
{
    if (!Expected.removeOne(text))
        Messages << text;
}

bool BenchUi::Ask(const QString &text, const QString &, AskIcon)
{
    if (!Answers.isEmpty())
        return Answers.takeFirst();
    if (!Expected.removeOne(text))
        Messages << text;
    return false;
}

QString BenchUi::OpenFile(const QString &title, const QString &, const QString &,
                          const QString &)
{
    if (!Files.isEmpty())
        return Files.takeFirst();
    Messages << title;
    return QString();
}

QString BenchUi::SaveFile(const QString &title, const QString &, const QString &,
                          const QString &)
{
    if (!Files.isEmpty())
        return Files.takeFirst();
    Messages << title;
    return QString();
}

bool BenchUi::OpenExternally(const QString &pathOrUrl)
{
    if (Expected.removeOne(pathOrUrl))
        return true;
    Messages << pathOrUrl;
    return false;
}

// The windows are found by their object names and worked through their controls, as a
// user would: 用户登录 on the welcome window, 出纳 with no password, then the cash book.
int BenchUi::ShowModal(QDialog *dialog)
{
    const QString name = dialog->objectName();
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    if (name == QLatin1String("FormWelcome")) {
        if (OnSignIn)
            OnSignIn();
        click(dialog, "ButtonLogin");
    } else if (name == QLatin1String("FormLogin")) {
        auto *user = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        if (user)
            user->setCurrentIndex(user->findText(QStringLiteral("出纳")));
        if (auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("Edit1")))
            password->clear();
        click(dialog, "ButtonYes");
    } else if (name == QLatin1String("FormChose")) {
        click(dialog, "Image1");
    } else if (Scripts.contains(name)) {
        Scripts.value(name)(dialog);
    } else {
        Messages << QStringLiteral("unexpected window ") + name;
    }
    if (dialog->isVisible())
        dialog->reject();
    return dialog->result();
}
