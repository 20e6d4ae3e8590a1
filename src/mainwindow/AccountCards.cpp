#include "AccountCards.h"

#include "BookKind.h"
#include "CardPage.h"
#include "Globals.h"
#include "Look.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QLabel>

#include <cmath>

namespace {

const QString SumFailed = QStringLiteral("统计帐户金额时出错");

qint64 cents(double amount)
{
    return std::llround(amount * 100);
}

QString colourWord(const QString &accountType)
{
    return BookKindOrCash(accountType).cardColour;
}

// The records' total of one account: "ROUND(Sum(MoneySum),2)" over the days asked for and
// the records the user may see; an account without records sums to 0.
bool accountTotal(qint64 account, const QString &days, double *total)
{
    DbQuery &q = ShareDataModule->ADOQueryTemp2;
    if (!RunQuery(q,
                  QStringLiteral("Select ROUND(Sum(MoneySum),2) As TotalMoney From MoneyTable "
                                 "Where (MoneyAccount = %1) And (MoneyCreateTime %2)")
                          .arg(account)
                          .arg(days)
                      + MoneyFilter,
                  SumFailed))
        return false;
    *total = q.FieldByName(QStringLiteral("TotalMoney")).AsFloat();
    return true;
}

} // namespace

QString AccountCardIcon(const QString &accountType, double sum, double balance)
{
    const qint64 b = cents(balance);
    if (b < 0)
        return QStringLiteral("Res/Money-.ico");
    if (b == 0)
        return QStringLiteral("Res/Money0.ico");
    QString word = colourWord(accountType) + QLatin1Char('+');
    if (cents(sum) > 3000000)
        word += QLatin1Char('+');
    if (cents(sum) > 10000000)
        word += QLatin1Char('+');
    return QStringLiteral("Res/") + word + QStringLiteral(".ico");
}

bool FillAccountCard(TCard &card, const DbQuery &row)
{
    const qint64 account = row.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
    const double base = row.FieldByName(QStringLiteral("AccountBase")).AsFloat();
    const QString type = row.FieldByName(QStringLiteral("AccountType")).AsString();
    const QDate day = Session::WorkingDate();
    // The balance runs up to the working date; the month's total is the whole calendar
    // month, days after the working date included.
    double sum = 0;
    if (!accountTotal(account, QStringLiteral("<= ") + DateLiteral(day), &sum))
        return false;
    const double balance = sum + base;
    const QDate first(day.year(), day.month(), 1);
    double month = 0;
    if (!accountTotal(account,
                      QStringLiteral("Between %1 And %2")
                          .arg(DateLiteral(first), DateLiteral(first.addMonths(1).addDays(-1))),
                      &month))
        return false;
    card.SetValueColour(cents(balance) < 0 ? QColor(255, 0, 0) : QColor(0, 0, 255));
    // A card mostly keeps its icon from one refresh to the next: the file is read only when
    // the picture changes.
    const QString icon = ProgramDir + AccountCardIcon(type, sum, balance);
    if (card.Icon->property("Picture").toString() != icon) {
        card.Icon->setPixmap(LoadPicture(icon.mid(ProgramDir.size())));
        card.Icon->setProperty("Picture", icon);
    }
    card.SecondValue->setText(AmountText(balance) + QStringLiteral(" 元"));
    card.ThirdValue->setText(AmountText(month) + QStringLiteral(" 元"));
    return true;
}

bool AddAccount(const QString &name, double base)
{
    const QString book = Session::Book();
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q,
                  QStringLiteral("Select * From Account Where (AccountType = %1) And "
                                 "(AccountName = %2)")
                      .arg(Quoted(book), Quoted(name)),
                  QStringLiteral("无法打开数据库")))
        return false;
    if (!q.IsEmpty()) {
        Ui::Message(QStringLiteral("该帐户名已经存在，请重新操作"));
        return false;
    }
    if (!q.Append() || !q.SetField(QStringLiteral("AccountName"), name)
        || !q.SetField(QStringLiteral("AccountBase"), base)
        || !q.SetField(QStringLiteral("AccountType"), book)
        || !q.SetField(QStringLiteral("AccountPower"), Session::User()) || !q.Post()) {
        Ui::Message(QStringLiteral("帐户保存失败：") + q.LastError(), QString(), Ui::Icon::Error);
        q.Cancel();
        return false;
    }
    Ui::Message(QStringLiteral("帐户　%1　新增成功").arg(name));
    return true;
}
