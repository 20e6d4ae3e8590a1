// The date range chooser: a start and an end date, preset to the working month, for the
// customer statement. The order of the two dates is the caller's to read.
#pragma once

#include "FixedDialog.h"

#include <QDate>

class QDateEdit;
class QLabel;
class QPushButton;

class TFormDateChose : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormDateChose(QWidget *parent = nullptr);

    // Results, valid after the window returned Accepted: the two dates as chosen, an end
    // before the start included.
    QDate ChosenDateFrom;
    QDate ChosenDateTo;

    QLabel *Label1;
    QLabel *Label2;
    QDateEdit *DateTimePicker1;
    QDateEdit *DateTimePicker2;
    QPushButton *BitBtn1;   // 确定
    QPushButton *BitBtn2;   // 取消

    // Both dates back to the first and last day of the working month.
    void FormShow() override;
    void ActionYesExecute();
    void ActionCancelExecute();
};

extern TFormDateChose *FormDateChose;
