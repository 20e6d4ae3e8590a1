#include "Scripts.h"

#include "FormAsk.h"
#include "ScriptedUi.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

void ScriptSignIn(ScriptedUi &ui, const QString &user, const QString &password)
{
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *d) {
        d->findChild<QPushButton *>(QStringLiteral("ButtonLogin"))->click();
    });
    ui.OnModal(QStringLiteral("FormLogin"), [user, password](QDialog *d) {
        auto *combo = d->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        combo->setCurrentIndex(combo->findText(user));
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(password);
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
}

void ScriptBook(ScriptedUi &ui, int book)
{
    ui.OnModal(QStringLiteral("FormChose"), [book](QDialog *d) {
        if (book >= 0)
            d->findChild<QPushButton *>(QStringLiteral("Image%1").arg(book + 1))->click();
    });
}

void ScriptPassword(ScriptedUi &ui, const QString &typed)
{
    ui.OnModal(QStringLiteral("FormAsk"), [typed](QDialog *d) {
        auto *ask = static_cast<TFormAsk *>(d);
        if (typed.isNull()) {
            ask->BitBtn2->click();
            return;
        }
        ask->Edit1->setText(typed);
        ask->BitBtn1->click();
    });
}
