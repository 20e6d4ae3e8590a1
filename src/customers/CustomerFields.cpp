#include "CustomerFields.h"

#include "Look.h"
#include "ShareDM.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

const QList<TCustomerField> &CustomerFields()
{
    static const QList<TCustomerField> fields = {
        {QStringLiteral("Edit1"), QStringLiteral("客户名称："), QRect(192, 24, 145, 20),
         QStringLiteral("CustomerName")},
        {QStringLiteral("ComboBox1"), QStringLiteral("省份地区："), QRect(431, 24, 105, 20),
         QStringLiteral("CustomerRegion")},
        {QStringLiteral("Edit2"), QStringLiteral("电话号码："), QRect(192, 60, 145, 20),
         QStringLiteral("CustomerPhone")},
        {QStringLiteral("Edit9"), QStringLiteral("传真号码："), QRect(431, 60, 105, 20),
         QStringLiteral("CustomerFax")},
        {QStringLiteral("Edit3"), QStringLiteral("联 系 人："), QRect(192, 96, 145, 20),
         QStringLiteral("CustomerContact")},
        {QStringLiteral("Edit4"), QStringLiteral("联系手机："), QRect(431, 96, 105, 20),
         QStringLiteral("CustomerHandPhone")},
        {QStringLiteral("Edit5"), QStringLiteral("电子邮箱："), QRect(192, 132, 145, 20),
         QStringLiteral("CustomerEmail")},
        {QStringLiteral("Edit6"), QStringLiteral("QQ/MSN："), QRect(431, 132, 105, 20),
         QStringLiteral("CustomerQQ")},
        {QStringLiteral("Edit7"), QStringLiteral("联系地址："), QRect(191, 168, 345, 20),
         QStringLiteral("CustomerAddress")},
        {QStringLiteral("Edit8"), QStringLiteral("备注信息："), QRect(191, 204, 345, 20),
         QStringLiteral("CustomerRemark")},
    };
    return fields;
}

TCustomerEdits PlaceCustomerFields(QWidget *parent, QComboBox **region)
{
    TCustomerEdits edits{};
    QWidget *previous = nullptr;
    for (int i = 0; i < CustomerFieldCount; ++i) {
        const TCustomerField &f = CustomerFields()[i];
        QWidget *input = nullptr;
        if (f.control.startsWith(QLatin1String("ComboBox"))) {
            QComboBox *combo = PlaceCombo(parent, f.control, f.place);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            edits[size_t(i)] = combo->lineEdit();
            *region = combo;
            input = combo;
        } else {
            edits[size_t(i)] = PlaceEdit(parent, f.control, f.place);
            input = edits[size_t(i)];
        }
        QLabel *caption = PlaceLabel(parent, QStringLiteral("Label%1").arg(i + 1), f.caption,
                                     QRect(f.place.left() - 80, f.place.top(), 77, 20),
                                     Qt::AlignRight | Qt::AlignVCenter);
        caption->setBuddy(input);
        if (previous)
            QWidget::setTabOrder(previous, input);
        previous = input;
    }
    return edits;
}

bool FillRegionList(QComboBox *region)
{
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, QStringLiteral("Select Distinct CustomerRegion From Customer"),
                  QStringLiteral("数据库打开失败")))
        return false;
    if (q.IsEmpty())
        return true;
    // Clearing the list of an editable box clears its text too: what the user typed last
    // time comes back.
    const QString typed = region->currentText();
    region->clear();
    for (q.First(); !q.Eof(); q.Next())
        region->addItem(q.FieldByName(QStringLiteral("CustomerRegion")).AsString());
    region->setEditText(typed);
    return true;
}
