#include "CustomerCards.h"

#include "BookKind.h"
#include "CardPage.h"
#include "Globals.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"

#include <QLabel>

#include <cmath>

namespace {

// A customer's records are found by its name; the account's type says whether a record is
// receivable or payable. Cash records are not part of a card.
bool customerTotal(const QString &name, const QString &accountType, const QString &failure,
                   double *total)
{
    DbQuery &q = ShareDataModule->ADOQueryTemp2;
    if (!RunQuery(
            q,
            QStringLiteral("Select ROUND(Sum(MoneySum),2) As TotalMoney From "
                           "Account,MoneyTable Where (MoneyAccount = AccountIndex) And "
                           "(AccountType = %1) And (MoneyUser = %2) And "
                           "(MoneyCreateTime <= %3)")
                    .arg(Quoted(accountType), Quoted(name), DateLiteral(Session::WorkingDate()))
                + MoneyFilter,
            failure))
        return false;
    *total = q.IsEmpty() ? 0 : q.FieldByName(QStringLiteral("TotalMoney")).AsFloat();
    return true;
}

} // namespace

bool FillCustomerCard(TCard &card, const DbQuery &row)
{
    const QString name = row.FieldByName(QStringLiteral("CustomerName")).AsString();
    double receivable = 0;
    double payable = 0;
    if (!customerTotal(name, BookKindOf(BookId::Receivable).name,
                       QStringLiteral("统计客户应收时出错"), &receivable)
        || !customerTotal(name, BookKindOf(BookId::Payable).name,
                          QStringLiteral("统计客户应付时出错"), &payable))
        return false;
    const bool blue = std::llround(receivable * 100) - std::llround(payable * 100) >= 0;
    card.SetValueColour(blue ? QColor(0, 0, 255) : QColor(255, 0, 0));
    card.SecondValue->setText(AmountText(receivable) + QStringLiteral(" 元"));
    card.ThirdValue->setText(AmountText(payable) + QStringLiteral(" 元"));
    return true;
}
