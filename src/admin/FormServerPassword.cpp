#include "FormServerPassword.h"

#include "Look.h"
#include "Ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormServerPassword::TFormServerPassword(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormServerPassword"), QStringLiteral("数据库服务器密码"),
                   QSize(393, 169), TitleButtons::Close, Placement::Desktop)
{
    RoundedFrame(this, QRect(24, 24, 57, 57));
    auto *icon = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(36, 36, 32, 32),
                            Qt::AlignCenter);
    icon->setPixmap(LoadPicture(QStringLiteral("Res/Network.ico")));
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("请输入数据库服务器的密码："),
                        QRect(112, 16, 265, 21));
    LabelAddress = PlaceLabel(this, QStringLiteral("LabelAddress"), QString(),
                              QRect(112, 38, 265, 21));
    LabelAddress->setTextFormat(Qt::PlainText);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("密码："),
                        QRect(112, 66, 45, 21));
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(160, 66, 217, 21));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setAccessibleName(QStringLiteral("数据库服务器的密码"));
    Label2->setBuddy(Edit1);
    LabelHint = PlaceLabel(this, QStringLiteral("LabelHint"), QString(), QRect(112, 90, 265, 21));
    QPalette red = LabelHint->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    LabelHint->setPalette(red);
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(120, 120, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(216, 120, 81, 33));
    ButtonYes->setAccessibleName(QStringLiteral("确定"));
    ButtonNo->setAccessibleName(QStringLiteral("取消"));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(ButtonYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonNo, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Edit1, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}

void TFormServerPassword::FormShow()
{
    Edit1->setFocus();
}

bool TFormServerPassword::Ask(const QString &shownAddress, const QString &hint,
                              QString *password)
{
    Edit1->clear();
    LabelAddress->setText(
        LabelAddress->fontMetrics().elidedText(shownAddress, Qt::ElideMiddle, LabelAddress->width()));
    LabelAddress->setToolTip(shownAddress);
    LabelHint->setText(hint);
    const bool confirmed = Ui::ShowModal(this) == QDialog::Accepted;
    if (confirmed)
        *password = Edit1->text();
    // The password stays only with the caller.
    Edit1->clear();
    return confirmed;
}
