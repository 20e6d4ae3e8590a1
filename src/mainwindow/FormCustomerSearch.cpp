#include "FormCustomerSearch.h"

#include "Look.h"
#include "SqlText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormCustomerSearch *FormCustomerSearch = nullptr;

TFormCustomerSearch::TFormCustomerSearch(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormCustomerSearch"), QStringLiteral("客户信息搜索"),
                   QSize(559, 308), TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(26, 24, 65, 65));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(42, 40, 32, 32),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/CustomerSearch.ico")));
    m_edits = PlaceCustomerFields(this, &ComboBox1);
    Edit1 = m_edits[0];
    Edit2 = m_edits[2];
    Edit9 = m_edits[3];
    Edit3 = m_edits[4];
    Edit4 = m_edits[5];
    Edit5 = m_edits[6];
    Edit6 = m_edits[7];
    Edit7 = m_edits[8];
    Edit8 = m_edits[9];
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(264, 248, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(384, 248, 81, 33));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormCustomerSearch::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormCustomerSearch::ActionNoExecute);
    setTabOrder(Edit8, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
    for (QLineEdit *edit : m_edits)
        edit->clear();
}

void TFormCustomerSearch::FormShow()
{
    FillRegionList(ComboBox1);
    Edit1->setFocus();
}

void TFormCustomerSearch::ActionYesExecute()
{
    CustomerSearchCondition.clear();
    for (int i = 0; i < CustomerFieldCount; ++i) {
        const QString text = m_edits[size_t(i)]->text();
        if (!text.isEmpty())
            CustomerSearchCondition +=
                QStringLiteral(" And InStr(%1,%2)").arg(CustomerFields()[i].column, Quoted(text));
    }
    accept();
}

void TFormCustomerSearch::ActionNoExecute()
{
    reject();
}
