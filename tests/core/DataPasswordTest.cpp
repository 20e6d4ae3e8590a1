// The data modification password check: the prompt it shows, and every way it ends, with
// the one message each shows and whether the caller may go on.
#include "DataPassword.h"
#include "FormAsk.h"
#include "Look.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <gtest/gtest.h>

namespace {

struct PasswordCase
{
    const char *stored;    // the "修改" row's PowerKey; nullptr: the row is gone
    const char *typed;     // nullptr: the prompt is cancelled
    bool passed;
    const char *message;   // nullptr: nothing shown
};
void PrintTo(const PasswordCase &c, std::ostream *os)
{
    *os << (c.stored ? c.stored : "(no row)") << " / " << (c.typed ? c.typed : "(cancel)");
}

class PasswordCheck : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordCheck, PassesOnlyOnTheExactPassword)
{
    const PasswordCase c = GetParam();
    TestDatabase t;
    TFormAsk ask;
    RegisterWindow(FormAsk, &ask);
    {
        DbQuery q(&t.dm->ADOConnection1);
        q.SetSQL(QStringLiteral("Select * From Power Where PowerName = '修改'"));
        ASSERT_TRUE(q.Open());
        ASSERT_EQ(q.RecordCount(), 1);
        if (c.stored) {
            q.Edit();
            q.SetField(QStringLiteral("PowerKey"), QString::fromUtf8(c.stored));
            ASSERT_TRUE(q.Post());
        } else {
            ASSERT_TRUE(q.Delete());
        }
    }
    // Whatever an earlier caller left in the dialog, the check starts from an empty answer
    // shown as "#".
    ask.Answer = QStringLiteral("left over");
    SetPasswordChar(ask.Edit1, QChar());
    ScriptedUi ui;
    ui.OnModal(QStringLiteral("FormAsk"), [&c](QDialog *d) {
        auto *f = static_cast<TFormAsk *>(d);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("修改密码"));
        EXPECT_EQ(f->Label1->text(), QStringLiteral("请输入资料修改密码"));
        EXPECT_EQ(f->Edit1->text(), QString());
        EXPECT_EQ(f->Edit1->echoMode(), QLineEdit::Password);
        EXPECT_EQ(f->Edit1->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                               f->Edit1), int('#'));
        if (!c.typed) {
            f->Edit1->setText(QStringLiteral("1234"));
            f->BitBtn2->click();
            return;
        }
        f->Edit1->setText(QString::fromUtf8(c.typed));
        f->BitBtn1->click();
    });
    EXPECT_EQ(CheckDataModificationPassword(t.dm->ADOQueryTemp2), c.passed);
    EXPECT_EQ(ui.Messages(), c.message ? QStringList{QString::fromUtf8(c.message)}
                                       : QStringList());
    EXPECT_EQ(ui.Shows(), QStringList{QStringLiteral("FormAsk")});
}

INSTANTIATE_TEST_SUITE_P(Table, PasswordCheck, ::testing::Values(
    PasswordCase{"1234", "1234", true, nullptr},
    PasswordCase{"Abc'd", "Abc'd", true, nullptr},
    PasswordCase{"", "", true, nullptr},
    PasswordCase{"Secret", "secret", false, "密码错误，请重新操作"},
    PasswordCase{"1234", "12345", false, "密码错误，请重新操作"},
    PasswordCase{"1234", "", false, "密码错误，请重新操作"},
    PasswordCase{"1234", nullptr, false, nullptr},
    PasswordCase{nullptr, "1234", false, "数据库出错，资料修改密码被删除"},
    PasswordCase{nullptr, nullptr, false, nullptr}));

} // namespace
