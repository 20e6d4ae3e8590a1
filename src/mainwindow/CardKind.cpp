#include "CardKind.h"

#include "BookKind.h"
#include "Globals.h"

namespace {

TCardKind accountKind()
{
    TCardKind k;
    k.id = CardKindId::Account;
    k.prefix = QStringLiteral("Account");
    k.icon = QStringLiteral("Res/Money0.ico");
    k.secondCaption = QStringLiteral("金额：");
    k.thirdCaption = QStringLiteral("当月：");
    k.typeText = BookKindOf(BookId::Cash).name;
    k.secondValue = QStringLiteral("Money");
    k.thirdValue = QStringLiteral("Month");
    k.newCaption = QStringLiteral("新增帐户");
    k.hint = QStringLiteral("Res/HintAccount.bmp");
    k.sideButtons = {
        {QStringLiteral("SpeedButton7"), QStringLiteral("帐户搜索"),
         QStringLiteral("Res/AccountSearch.ico"), 15},
        {QStringLiteral("SpeedButton3"), QStringLiteral("帐户月结"),
         QStringLiteral("Res/MonthClose.ico"), 95},
    };
    k.table = QStringLiteral("Account");
    k.keyField = QStringLiteral("AccountIndex");
    k.nameField = QStringLiteral("AccountName");
    k.typeField = QStringLiteral("AccountType");
    k.filter = &AccountFilter;
    k.failure = QStringLiteral("刷新帐户房子时出错");
    return k;
}

TCardKind customerKind()
{
    TCardKind k;
    k.id = CardKindId::Customer;
    k.prefix = QStringLiteral("Customer");
    k.icon = QStringLiteral("Res/Customer2.ico");
    k.secondCaption = QStringLiteral("应收：");
    k.thirdCaption = QStringLiteral("应付：");
    k.typeText = QStringLiteral("地区");
    k.secondValue = QStringLiteral("Get");
    k.thirdValue = QStringLiteral("Pay");
    k.newCaption = QStringLiteral("新增客户");
    k.hint = QStringLiteral("Res/HintCustomer.bmp");
    k.sideButtons = {
        {QStringLiteral("SpeedButton6"), QStringLiteral("客户搜索"),
         QStringLiteral("Res/CustomerSearch.ico"), 15},
    };
    k.table = QStringLiteral("Customer");
    k.keyField = QStringLiteral("CustomerIndex");
    k.nameField = QStringLiteral("CustomerName");
    k.typeField = QStringLiteral("CustomerRegion");
    k.filter = &CustomerFilter;
    k.failure = QStringLiteral("刷新客户房子时出错");
    return k;
}

} // namespace

QString TCardKind::Statement() const
{
    // Row 1 of both tables is reserved and never shown as a card.
    return QStringLiteral("Select * From %1 Where (%2 > 1)").arg(table, keyField)
        + (filter ? *filter : QString());
}

const TCardKind &CardKindOf(CardKindId id)
{
    static const TCardKind account = accountKind();
    static const TCardKind customer = customerKind();
    return id == CardKindId::Account ? account : customer;
}
