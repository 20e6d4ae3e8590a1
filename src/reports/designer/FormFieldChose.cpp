#include "FormFieldChose.h"

#include "Look.h"
#include "Ui.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

TFormFieldChose::TFormFieldChose(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormFieldChose"), QStringLiteral("选择字段"),
                   QSize(300, 360), TitleButtons::Close, Placement::Unchanged)
{
    QLabel *label = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("字段和变量(&L)："),
                               QRect(12, 8, 276, 22));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(12, 32, 276, 280);
    ListBox1->setAccessibleName(QStringLiteral("字段和变量"));
    label->setBuddy(ListBox1);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(120, 324, 80, 26);
    Button1->setDefault(true);
    Button1->setAccessibleName(QStringLiteral("确定"));
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(208, 324, 80, 26);
    Button2->setAccessibleName(QStringLiteral("取消"));
    setTabOrder(ListBox1, Button1);
    setTabOrder(Button1, Button2);
    connect(Button1, &QPushButton::clicked, this, &TFormFieldChose::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemActivated, this, &TFormFieldChose::Button1Click);
}

void TFormFieldChose::FormShow()
{
    Chosen.clear();
    ListBox1->clear();
    for (const TemplateField &f : Fields) {
        auto *item = new QListWidgetItem(f.title + QStringLiteral("  {{") + f.name
                                             + QStringLiteral("}}"),
                                         ListBox1);
        item->setData(Qt::UserRole, f.name);
    }
    ListBox1->setCurrentRow(0);
    ListBox1->setFocus();
}

void TFormFieldChose::Button1Click()
{
    const QListWidgetItem *item = ListBox1->currentItem();
    if (!item) {
        Ui::Message(QStringLiteral("请先选中要加入的字段"), QStringLiteral("单据设计"));
        return;
    }
    Chosen = item->data(Qt::UserRole).toString();
    accept();
}
