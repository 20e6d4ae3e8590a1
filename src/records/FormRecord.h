// The record list window: one customer's money records of one account type, within a date
// range or of all dates, in a record grid with the row count and the three sums in its
// footer; a record opens for editing in the money record entry window.
#pragma once

#include "FixedDialog.h"
#include "RecordStatement.h"

#include <QDate>

class QFrame;
class QLabel;
class QPushButton;
class TRecordGrid;

class TFormRecord : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormRecord(QWidget *parent = nullptr);

    // The date that stands for all dates where a date range is passed.
    static QDate NoRange() { return QDate(1981, 1, 1); }

    // Inputs, set by the caller before every showing: the account type (现金帐, 应收帐 or
    // 应付帐), the customer (MoneyUser) and the range of days, both included; a range from
    // NoRange() lists every date, whatever ListDateTo holds.
    QString ListAccountType;
    QString ListCustomerName;
    QDate ListDateFrom = NoRange();
    QDate ListDateTo = NoRange();

    QFrame *Panel1;
    QLabel *Label1;           // 客户名称：
    QLabel *Label2;           // 记录类型：
    QLabel *Label3;           // 日期范围：
    QPushButton *EditMoney;   // ActionEditMoney: 修改记录
    QPushButton *PrintMoney;  // ActionPrint: 打印列表
    TRecordGrid *DBGridEh1;

    void FormShow() override;
    // Fills the grid afresh; a failing statement leaves it empty. False on failure.
    bool LoadList();
    // "修改记录", the grid's double click and Enter. Nothing for the viewer 查看.
    void ActionEditMoneyExecute();
    // "打印列表": the rows shown, through Frf/Record.frf (portrait) or Frf/Record2.frf.
    // Nothing while the list is not open.
    void ActionPrintExecute();

private:
    RecordStatement m_statement;   // the one the list was last loaded with
};

extern TFormRecord *FormRecord;
