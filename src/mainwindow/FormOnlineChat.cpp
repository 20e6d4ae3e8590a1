#include "FormOnlineChat.h"

#include "Globals.h"
#include "Look.h"
#include "Ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

TFormOnlineChat *FormOnlineChat = nullptr;

namespace {

bool IsTelephone(const QString &text)
{
    for (const QChar ch : text) {
        const bool allowed = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            || ch == QLatin1Char(' ') || ch == QLatin1Char('-') || ch == QLatin1Char('+')
            || ch == QLatin1Char('(') || ch == QLatin1Char(')');
        if (!allowed)
            return false;
    }
    return true;
}

QString Encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

TFormOnlineChat::TFormOnlineChat(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormOnlineChat"), QStringLiteral("技术支持"),
                   QSize(420, 330), TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(24, 16, 57, 57));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(36, 28, 32, 32),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/Chat.ico")));
    LabelHint = PlaceLabel(this, QStringLiteral("LabelHint"),
                           QStringLiteral("请留下您的联系方式和问题，我们会尽快答复。\n"
                                          "技术支持电话：")
                               + SupportPhone,
                           QRect(96, 16, 300, 57));
    LabelHint->setWordWrap(true);
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("联 系 人："),
                        QRect(16, 88, 80, 22), Qt::AlignRight | Qt::AlignVCenter);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("联系电话："),
                        QRect(16, 120, 80, 22), Qt::AlignRight | Qt::AlignVCenter);
    Label3 = PlaceLabel(this, QStringLiteral("Label3"), QStringLiteral("留言内容："),
                        QRect(16, 152, 80, 22), Qt::AlignRight | Qt::AlignVCenter);
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(104, 88, 177, 22));
    Edit1->setMaxLength(30);
    Edit2 = PlaceEdit(this, QStringLiteral("Edit2"), QRect(104, 120, 177, 22));
    Edit2->setMaxLength(30);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(104, 152, 292, 113);
    Memo1->setTabChangesFocus(true);
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Label3->setBuddy(Memo1);
    ButtonSend = PictureButton(this, QStringLiteral("ButtonSend"), QStringLiteral("发送"),
                               QStringLiteral("Res/Send.ico"), QRect(120, 281, 81, 33));
    ButtonCancel = PictureButton(this, QStringLiteral("ButtonCancel"), QStringLiteral("取消"),
                                 QStringLiteral("Res/Cancel.ico"), QRect(232, 281, 81, 33));
    // Enter in the message is a new line, not a send.
    ButtonSend->setAutoDefault(false);
    ButtonCancel->setAutoDefault(false);
    connect(ButtonSend, &QPushButton::clicked, this, &TFormOnlineChat::SendClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Memo1);
    setTabOrder(Memo1, ButtonSend);
    setTabOrder(ButtonSend, ButtonCancel);
}

void TFormOnlineChat::FormShow()
{
    Edit1->setFocus();
}

void TFormOnlineChat::SendClick()
{
    const QString message = Memo1->toPlainText().trimmed();
    if (message.isEmpty()) {
        Ui::Message(QStringLiteral("请填写留言内容"));
        Memo1->setFocus();
        return;
    }
    const QString phone = Edit2->text().trimmed();
    if (!IsTelephone(phone)) {
        Ui::Message(QStringLiteral("联系电话只能包含数字和“-”"));
        Edit2->setFocus();
        return;
    }
    const QString name = Edit1->text().trimmed();
    const QString subject = ProgramTitle + QStringLiteral("技术支持：")
        + (name.isEmpty() ? QStringLiteral("用户") : name);
    QString body = QStringLiteral("联系人：") + name + QStringLiteral("\n联系电话：") + phone
        + QStringLiteral("\n\n") + message + QStringLiteral("\n");
    // Mail bodies break lines with CR LF, whatever the editor gave.
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString url = QStringLiteral("mailto:") + SupportMail + QStringLiteral("?subject=")
        + Encoded(subject) + QStringLiteral("&body=") + Encoded(body);
    if (!Ui::OpenExternally(url)) {
        Ui::Message(QStringLiteral("无法启动邮件程序，请拨打技术支持电话 ") + SupportPhone,
                    QString(), Ui::Icon::Warning);
        return;
    }
    Ui::Message(QStringLiteral("留言已交给邮件程序，请在邮件程序中发送"));
    Memo1->clear();
    accept();
}
