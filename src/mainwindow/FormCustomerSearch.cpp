#include "FormCustomerSearch.h"

#include "Look.h"
#include "SqlText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormCustomerSearch *FormCustomerSearch = nullptr;

TFormCustomerSearch::TFormCustomerSearch(QWidget *parent)
    : TCustomerFieldsDialog(parent, QStringLiteral("FormCustomerSearch"),
                            QStringLiteral("客户信息搜索"),
                            QStringLiteral("Res/CustomerSearch.ico"))
{
    connect(ButtonYes, &QPushButton::clicked, this, &TFormCustomerSearch::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormCustomerSearch::ActionNoExecute);
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
