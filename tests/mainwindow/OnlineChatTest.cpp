// The support contact window: what it refuses, and the mail it hands to the desktop.
#include "FormOnlineChat.h"
#include "Globals.h"
#include "ScriptedUi.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

struct Letter
{
    const char *name;
    const char *phone;
    const char *message;
};

// Fills the window, presses 发送, and reports whether the window is still open.
bool Send(ScriptedUi &ui, TFormOnlineChat &chat, const Letter &letter)
{
    bool open = false;
    ui.OnModal(QStringLiteral("FormOnlineChat"), [&](QDialog *d) {
        const auto edit = [d](const char *name) {
            return d->findChild<QLineEdit *>(QString::fromLatin1(name));
        };
        edit("Edit1")->setText(QString::fromUtf8(letter.name));
        edit("Edit2")->setText(QString::fromUtf8(letter.phone));
        d->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
            ->setPlainText(QString::fromUtf8(letter.message));
        d->findChild<QPushButton *>(QStringLiteral("ButtonSend"))->click();
        open = d->isVisible();
    });
    Ui::ShowModal(&chat);
    return open;
}

struct Refusal
{
    Letter letter;
    const char *message;
};

class OnlineChatRefuses : public ::testing::TestWithParam<Refusal>
{
};

TEST_P(OnlineChatRefuses, AndStaysOpen)
{
    ScriptedUi ui;
    TFormOnlineChat chat;
    EXPECT_TRUE(Send(ui, chat, GetParam().letter));
    EXPECT_EQ(ui.Messages(), QStringList{QString::fromUtf8(GetParam().message)});
    EXPECT_TRUE(ui.Opened().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(OnlineChat, OnlineChatRefuses, ::testing::Values(
    Refusal{{"张三", "010-1234", ""}, "请填写留言内容"},
    Refusal{{"张三", "", " \n\t "}, "请填写留言内容"},
    Refusal{{"张三", "010-1234 转 8", "打印不出来"}, "联系电话只能包含数字和“-”"},
    Refusal{{"", "abc", "打印不出来"}, "联系电话只能包含数字和“-”"}));

TEST(OnlineChat, HandsTheMessageToTheMailProgram)
{
    ScriptedUi ui;
    TFormOnlineChat chat;
    EXPECT_FALSE(Send(ui, chat, {"", "+86 (010) 6123-4567", "月结 & 打印?\n第二行 #3"}));
    EXPECT_EQ(chat.result(), QDialog::Accepted);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("留言已交给邮件程序，请在邮件程序中发送")});
    EXPECT_TRUE(chat.Memo1->toPlainText().isEmpty());
    ASSERT_EQ(ui.Opened().size(), 1);

    const QUrl url(ui.Opened().first());
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), SupportMail);
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("澄衡客户管理软件技术支持：用户"));
    const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    EXPECT_TRUE(body.contains(QStringLiteral("月结 & 打印?\r\n第二行 #3"))) << body.toStdString();
    EXPECT_TRUE(body.contains(QStringLiteral("+86 (010) 6123-4567"))) << body.toStdString();
}

TEST(OnlineChat, FailingMailProgramPointsToTheTelephone)
{
    ScriptedUi ui;
    ui.externalResult = false;
    TFormOnlineChat chat;
    EXPECT_TRUE(Send(ui, chat, {"李四", "13800138000", "请回电"}));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("无法启动邮件程序，请拨打技术支持电话 ")
                                         + SupportPhone});
    EXPECT_EQ(chat.Memo1->toPlainText(), QStringLiteral("请回电"));
    const QUrlQuery query{QUrl(ui.Opened().value(0))};
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("澄衡客户管理软件技术支持：李四"));
}

} // namespace
