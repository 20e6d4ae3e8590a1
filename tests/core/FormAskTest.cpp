// The prompt dialog: what the caller sets shows, OK returns the typed answer, Cancel
// keeps the old one.
#include "FormAsk.h"
#include "FormProgress.h"
#include "Look.h"
#include "ScriptedUi.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include <gtest/gtest.h>

namespace {

TEST(FormAsk, OkTakesTheTypedAnswerCancelKeepsTheOldOne)
{
    ScriptedUi ui;
    TFormAsk ask;
    ask.Title = QStringLiteral("资料修改密码");
    ask.Prompt = QStringLiteral("请输入资料修改密码：");
    ask.Answer = QStringLiteral("旧值");
    SetPasswordChar(ask.Edit1, QLatin1Char('#'));

    ui.OnModal(QStringLiteral("FormAsk"), [](QDialog *d) {
        auto *f = static_cast<TFormAsk *>(d);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("资料修改密码"));
        EXPECT_EQ(f->Label1->text(), QStringLiteral("请输入资料修改密码："));
        EXPECT_EQ(f->Edit1->text(), QStringLiteral("旧值"));
        EXPECT_EQ(f->Edit1->echoMode(), QLineEdit::Password);
        f->Edit1->setText(QStringLiteral("新值"));
        f->BitBtn2->click();
    });
    ui.OnModal(QStringLiteral("FormAsk"), [](QDialog *d) {
        auto *f = static_cast<TFormAsk *>(d);
        f->Edit1->setText(QStringLiteral("Abc'1"));
        f->BitBtn1->click();
    });
    EXPECT_EQ(Ui::ShowModal(&ask), QDialog::Rejected);
    EXPECT_EQ(ask.Answer, QStringLiteral("旧值"));
    EXPECT_EQ(Ui::ShowModal(&ask), QDialog::Accepted);
    EXPECT_EQ(ask.Answer, QStringLiteral("Abc'1"));
    EXPECT_EQ(ui.Shows(), (QStringList{"FormAsk", "FormAsk"}));
}

TEST(FormAsk, PasswordFieldShowsHashes)
{
    TFormAsk ask;
    SetPasswordChar(ask.Edit1, QLatin1Char('#'));
    EXPECT_EQ(ask.Edit1->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                            ask.Edit1), int('#'));
    SetPasswordChar(ask.Edit1, QChar());
    EXPECT_EQ(ask.Edit1->echoMode(), QLineEdit::Normal);
    // Asking again and again makes no new style.
    QStyle *first = ask.Edit1->style();
    const int children = int(QCoreApplication::instance()->children().size());
    for (int i = 0; i < 3; ++i)
        SetPasswordChar(ask.Edit1, QLatin1Char('#'));
    EXPECT_EQ(ask.Edit1->style(), first);
    EXPECT_EQ(int(QCoreApplication::instance()->children().size()), children);
}

TEST(FormProgress, BarStaysWithinItsRange)
{
    TFormProgress progress;
    EXPECT_EQ(progress.size(), QSize(461, 118));
    progress.SetPosition(150);
    EXPECT_EQ(progress.ProgressBar1->value(), 100);
    progress.SetPosition(-5);
    EXPECT_EQ(progress.ProgressBar1->value(), 0);
    progress.SetPosition(42);
    EXPECT_EQ(progress.ProgressBar1->value(), 42);
}

} // namespace
