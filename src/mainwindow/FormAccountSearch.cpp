#include "FormAccountSearch.h"

#include "Look.h"
#include "SqlText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormAccountSearch *FormAccountSearch = nullptr;

TFormAccountSearch::TFormAccountSearch(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormAccountSearch"), QStringLiteral("帐户信息搜索"),
                   QSize(313, 198), TitleButtons::Close, Placement::MainWindow)
{
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("帐户名称："),
                        QRect(112, 40, 81, 21), Qt::AlignCenter);
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(56, 80, 193, 21));
    Label1->setBuddy(Edit1);
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(56, 120, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(168, 120, 81, 33));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormAccountSearch::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormAccountSearch::ActionNoExecute);
    setTabOrder(Edit1, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}

void TFormAccountSearch::FormShow()
{
    Edit1->setFocus();
    Edit1->selectAll();
}

void TFormAccountSearch::ActionYesExecute()
{
    AccountSearchCondition.clear();
    if (!Edit1->text().isEmpty())
        AccountSearchCondition =
            QStringLiteral("And (InStr(AccountName,%1))").arg(Quoted(Edit1->text()));
    accept();
}

void TFormAccountSearch::ActionNoExecute()
{
    reject();
}
