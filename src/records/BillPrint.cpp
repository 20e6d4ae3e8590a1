// The bill: the stored record of the entry window printed through Frf/Bill.frf, with the
// amount on the screen written in capitals. Nothing is written, and the window keeps what
// it shows.
#include "FormGetPay.h"

#include "FormPreview.h"
#include "Globals.h"
#include "ProgramFolder.h"
#include "PublicFunction.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QLineEdit>

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");

// The amount field as a number; a message and false when it holds none.
bool screenAmount(const QString &typed, double *amount)
{
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        Ui::Message(QStringLiteral("金额为空，请先输入金额再打印单据"), QString(),
                    Ui::Icon::Warning);
        return false;
    }
    bool ok = false;
    *amount = text.toDouble(&ok);
    if (!IsNumberText(text) || !ok) {
        Ui::Message(QStringLiteral("金额格式有误，无法打印单据，请重新输入"), QString(),
                    Ui::Icon::Warning);
        return false;
    }
    // Capitals reach to 佰万亿; larger amounts have no written form on a bill.
    if (AmountText(*amount).contains(QLatin1Char('e'))) {
        Ui::Message(QStringLiteral("金额太大，无法写成大写金额，不能打印单据"), QString(),
                    Ui::Icon::Warning);
        return false;
    }
    return true;
}

} // namespace

bool TFormGetPay::frReport1GetValue(const QString &name, QVariant *value) const
{
    if (name != QLatin1String("MoneyCN"))
        return false;
    *value = MoneyCN;
    return true;
}

void TFormGetPay::ActionPrintExecute()
{
    if (!IsEditMode() || !ShareDataModule)
        return;
    double amount = 0;
    if (!screenAmount(Edit2->text(), &amount))
        return;
    MoneyCN = AmountToCapitals(amount);

    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select ABS(MoneySum) As MSum,* From MoneyTable Where "
                                        "MoneyIndex = %1")
                             .arg(EntryRecordIndex),
                  OpenFailed))
        return;
    if (query.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要打印的记录，它可能已被删除"));
        return;
    }
    query.First();
    // The record's fields, its account's name, and which bill it is: an amount of zero or
    // more reopens as an income, so it is a 收款单; below zero a 付款单.
    QStringList fields = query.FieldNames();
    ReportRow row;
    for (const QString &f : fields)
        row << query.FieldByName(f).Value();
    const qint64 account = query.FieldByName(QStringLiteral("MoneyAccount")).AsInteger();
    const bool income = query.FieldByName(QStringLiteral("MoneySum")).AsFloat() >= 0;
    DbQuery &names = ShareDataModule->ADOQueryTemp2;
    if (!RunQuery(names, QStringLiteral("Select AccountName From Account Where AccountIndex = %1")
                             .arg(account),
                  OpenFailed))
        return;
    names.First();
    fields << QStringLiteral("AccountName") << QStringLiteral("Income")
           << QStringLiteral("Expense");
    row << names.FieldByName(QStringLiteral("AccountName")).AsString()
        << (income ? QStringLiteral("1") : QString()) << (income ? QString() : QStringLiteral("1"));
    ListRows rows(fields, {row});
    PreviewReport(TemplateToRead(QStringLiteral("Bill.frf")), &rows,
                  [this](const QString &name, QVariant *value) {
                      return frReport1GetValue(name, value);
                  },
                  this);
}
