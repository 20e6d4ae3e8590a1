// The record statements, composed once for grids and printouts alike.
#include "RecordStatement.h"

#include "Globals.h"
#include "SqlText.h"

namespace {

const char *const Fields[] = {"MoneyIndex", "MoneySerial", "MoneyCreateTime", "AccountName",
                              "MoneyUser", "MoneyIn", "MoneyOut", "MoneySum", "MoneyMan",
                              "MoneyReason", "MoneyType", "MoneyToken", "MoneyRemark"};

RecordStatement journal(const QString &condition)
{
    RecordStatement s;
    s.select = RecordFields().join(QLatin1Char(','));
    s.tables = QStringLiteral("Account,MoneyTable");
    s.condition = QStringLiteral("(AccountIndex = MoneyAccount)") + condition;
    return s;
}

} // namespace

QStringList RecordFields()
{
    QStringList names;
    for (const char *f : Fields)
        names << QLatin1String(f);
    return names;
}

QString RecordStatement::From() const
{
    return QStringLiteral("From ") + tables
        + (condition.isEmpty() ? QString() : QStringLiteral(" Where ") + condition);
}

QString RecordStatement::OrderBy() const
{
    const QString last = order.section(QLatin1Char(','), -1).trimmed();
    if (order.trimmed().isEmpty())
        return QStringLiteral("Order By ") + key;
    if (last.compare(key, Qt::CaseInsensitive) == 0)
        return QStringLiteral("Order By ") + order;
    return QStringLiteral("Order By ") + order + QLatin1Char(',') + key;
}

QString RecordStatement::Sql() const
{
    return QStringLiteral("Select ") + select + QLatin1Char(' ') + From() + QLatin1Char(' ')
        + OrderBy();
}

RecordStatement ReportGridStatement(RecordOrder order)
{
    RecordStatement s = journal(AccountFilter + MoneyFilter + ReportCondition);
    switch (order) {
    case RecordOrder::ByTime:
        s.order = QStringLiteral("MoneyCreateTime,MoneyIndex");
        break;
    case RecordOrder::ByAccount:
        s.order = QStringLiteral("AccountName,MoneyCreateTime,MoneyIndex");
        break;
    case RecordOrder::ByAmount:
        s.order = QStringLiteral("MoneySum Desc,MoneyCreateTime,MoneyIndex");
        break;
    }
    return s;
}

RecordStatement DayGridStatement(const QDate &day)
{
    return journal(QStringLiteral(" And (MoneyCreateTime = %1)").arg(DateLiteral(day))
                   + AccountFilter + MoneyFilter);
}

RecordStatement RecordListStatement(const QString &accountType, const QString &customer,
                                    const QDate &from, const QDate &to)
{
    QString condition = QStringLiteral(" And (AccountType = %1) And (MoneyUser = %2)")
                            .arg(Quoted(accountType), Quoted(customer));
    if (from != QDate(1981, 1, 1))
        condition += QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
                         .arg(DateLiteral(from), DateLiteral(to));
    return journal(condition + MoneyFilter);
}
