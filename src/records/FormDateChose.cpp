#include "FormDateChose.h"

#include "Look.h"
#include "MonthRange.h"
#include "Session.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

TFormDateChose *FormDateChose = nullptr;

namespace {

QDateEdit *datePicker(QWidget *parent, const QString &name, const QRect &place)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setGeometry(place);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    return picker;
}

} // namespace

TFormDateChose::TFormDateChose(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormDateChose"), QStringLiteral("请选择日期范围"),
                   QSize(300, 148), TitleButtons::None, Placement::MainWindow)
{
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("开始日期："),
                        QRect(32, 20, 80, 22), Qt::AlignRight | Qt::AlignVCenter);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("结束日期："),
                        QRect(32, 52, 80, 22), Qt::AlignRight | Qt::AlignVCenter);
    DateTimePicker1 = datePicker(this, QStringLiteral("DateTimePicker1"), QRect(120, 20, 140, 22));
    DateTimePicker2 = datePicker(this, QStringLiteral("DateTimePicker2"), QRect(120, 52, 140, 22));
    Label1->setBuddy(DateTimePicker1);
    Label2->setBuddy(DateTimePicker2);
    BitBtn1 = PictureButton(this, QStringLiteral("BitBtn1"), QStringLiteral("确定"),
                            QStringLiteral("Res/Ok.ico"), QRect(48, 96, 81, 33));
    BitBtn2 = PictureButton(this, QStringLiteral("BitBtn2"), QStringLiteral("取消"),
                            QStringLiteral("Res/Cancel.ico"), QRect(168, 96, 81, 33));
    BitBtn1->setDefault(true);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormDateChose::ActionYesExecute);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormDateChose::ActionCancelExecute);
    setTabOrder(DateTimePicker1, DateTimePicker2);
    setTabOrder(DateTimePicker2, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

void TFormDateChose::FormShow()
{
    const MonthRange month = MonthOf(Session::WorkingDate());
    DateTimePicker1->setDate(month.first);
    DateTimePicker2->setDate(month.last);
    DateTimePicker1->setFocus();
}

void TFormDateChose::ActionYesExecute()
{
    ChosenDateFrom = DateTimePicker1->date();
    ChosenDateTo = DateTimePicker2->date();
    accept();
}

void TFormDateChose::ActionCancelExecute()
{
    reject();
}
