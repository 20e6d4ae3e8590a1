// The customer detail window: one customer's data, the totals of the customer's
// receivable, payable and cash records, the six entry buttons that start a money record
// for the customer, the six lists of the customer's records, and editing the customer.
#pragma once

#include "CustomerFields.h"
#include "FixedDialog.h"

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class QVariant;

class TFormCustomer2 : public TFixedDialog
{
    Q_OBJECT
public:
    // The modal result when the window closes by "关闭窗口" or because the customer was
    // deleted.
    enum Result { Closed = 2 };

    explicit TFormCustomer2(QWidget *parent = nullptr);

    // Input: the CustomerIndex of the customer, set by the caller before every showing.
    qint64 DetailCustomerIndex = 0;
    // The customer's name as the last load read it: every total and list selects the
    // customer's records by it.
    QString DetailCustomerName;

    QGroupBox *GroupBox1;   // 客户基本信息
    std::array<QLabel *, CustomerFieldCount> Values;   // in the order of CustomerFields()
    QToolButton *Button1;   // 信息修改
    QGroupBox *GroupBox2;   // 〓 客户帐务状况统计 〓
    QLabel *LabelGet;       // 应收帐款
    QLabel *LabelPay;       // 应付帐款
    QLabel *LabelOwed;      // 当前欠款
    QPushButton *Button2;   // 当月应收记录
    QPushButton *Button3;   // 所有应收记录
    QPushButton *Button4;   // 当月应付记录
    QPushButton *Button5;   // 所有应付记录
    QToolButton *ButtonGetIn;    // ActionGetIn: 应收入帐
    QToolButton *ButtonGetOut;   // ActionGetOut: 应收出帐
    QToolButton *ButtonPayIn;    // ActionPayIn: 应付入帐
    QToolButton *ButtonPayOut;   // ActionPayOut: 应付出帐
    QGroupBox *GroupBox3;   // 〓 客户财务状况统计 〓
    QLabel *LabelMoney;     // 合计收支
    QLabel *LabelMonth;     // 当月收支
    QLabel *LabelCount;     // 财务记录
    QPushButton *Button6;   // 当月财务收支
    QPushButton *Button7;   // 所有财务收支
    QToolButton *ButtonMoneyIn;       // ActionMoneyIn: 财务收入
    QToolButton *ButtonMoneyOut;      // ActionMoneyOut: 财务支出
    QToolButton *ButtonMoneyDetail;   // ActionMoneyDetail: 财务数据明细 (CustomerStatement.cpp)
    QPushButton *ButtonCancel;        // ActionCancel: 关闭窗口

    // Loads the customer; a customer that is gone says so and closes the window.
    void FormShow() override;
    // The customer's data and totals afresh. False when a statement failed or the
    // customer's row is gone (the labels then keep what they showed).
    bool LoadCustomerDetail();

    void ActionGetInExecute();
    void ActionGetOutExecute();
    void ActionPayInExecute();
    void ActionPayOutExecute();
    void ActionMoneyInExecute();
    void ActionMoneyOutExecute();
    // The customer statement over a chosen date range.
    void ActionMoneyDetailExecute();
    // The statement's value callback: CustomerName, BeginDate and EndDate.
    bool frReport1GetValue(const QString &name, QVariant *value) const;
    void ActionCancelExecute();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    // The close box and Esc close the window as "关闭窗口" does.
    void reject() override;

private:
    void enter(int mode, const QString &book);
    void list(const QString &book, bool month);
};

extern TFormCustomer2 *FormCustomer2;
