// The month closing statement: three sums per account (on the covering account/day index),
// the lines written over PrintTable in one transaction and read back before it ends, so
// that a statement never loses a line and never mixes with one another computer prints.
#include "MonthStatement.h"

#include "FormPreview.h"
#include "FormProgress.h"
#include "Globals.h"
#include "MonthRange.h"
#include "ProgramFolder.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <array>

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");

// TotalMoney of a one-row sum statement; an empty sum reads as 0.
bool total(const QString &statement, double *value)
{
    DbQuery &query = ShareDataModule->ADOQueryTemp2;
    if (!RunQuery(query, statement, OpenFailed))
        return false;
    query.First();
    *value = query.FieldByName(QStringLiteral("TotalMoney")).AsFloat();
    return true;
}

} // namespace

bool WriteMonthStatement(const QDate &working, ScratchRows *printed)
{
    const MonthRange month = MonthOf(working);
    const QString first = DateLiteral(month.first);
    const QString last = DateLiteral(month.last);
    if (FormProgress)
        FormProgress->show();
    ProgressTo(25);
    DbQuery &accounts = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(accounts,
                  QStringLiteral("Select * From Account Where AccountIndex > 1") + AccountFilter,
                  OpenFailed) || accounts.IsEmpty()) {
        HideProgress();
        return false;
    }
    struct Account { qint64 index; QString name; double base; };
    std::vector<Account> list;
    for (accounts.First(); !accounts.Eof(); accounts.Next())
        list.push_back({accounts.FieldByName(QStringLiteral("AccountIndex")).AsInteger(),
                        accounts.FieldByName(QStringLiteral("AccountName")).AsString(),
                        accounts.FieldByName(QStringLiteral("AccountBase")).AsFloat()});

    std::vector<QStringList> lines;
    std::array<double, 5> sums{};   // opening, income, expense, net, closing
    const auto line = [](const QString &name, const std::array<double, 5> &f) {
        QStringList texts{name};
        for (double v : f)
            texts << AmountText(v);
        return texts;   // PrintValue7 … PrintValue10 are written empty
    };
    for (const Account &a : list) {
        const QString prefix =
            QStringLiteral("Select ROUND(Sum(MoneySum),2) As TotalMoney From Account,MoneyTable "
                           "Where (AccountIndex > 1) And (AccountIndex = MoneyAccount) And "
                           "(AccountIndex = %1)")
                .arg(a.index);
        const QString within =
            QStringLiteral(" And (MoneyCreateTime Between %1 And %2)").arg(first, last);
        double before = 0, income = 0, expense = 0;
        if (!total(prefix + QStringLiteral(" And (MoneyCreateTime < %1)").arg(first)
                       + MoneyFilter, &before)
            || !total(prefix + QStringLiteral(" And (MoneySum > 0)") + within + MoneyFilter,
                      &income)
            || !total(QStringLiteral("Select ABS(ROUND(Sum(MoneySum),2)) As TotalMoney From "
                                     "Account,MoneyTable Where (AccountIndex > 1) And "
                                     "(AccountIndex = MoneyAccount) And (AccountIndex = %1) "
                                     "And (MoneySum < 0)")
                              .arg(a.index)
                          + within + MoneyFilter,
                      &expense)) {
            HideProgress();
            return false;
        }
        const double opening = a.base + before;
        const double net = income - expense;
        const std::array<double, 5> figures{opening, income, expense, net, opening + net};
        for (size_t i = 0; i < figures.size(); ++i)
            sums[i] += figures[i];
        lines.push_back(line(a.name, figures));
    }
    // The totals of the figures as computed, not of their texts.
    lines.push_back(line(QStringLiteral("总合计"), sums));
    ProgressTo(75);
    QString why;
    DbFault fault = DbFault::None;
    const bool written = RewriteScratchTable(&ShareDataModule->ADOConnection1,
                                             PrintTableScratch(), lines, printed, &why, &fault);
    ProgressTo(100);
    HideProgress();
    if (!written) {
        Ui::Message(QStringLiteral("月结数据写入失败，上次的月结表保持不变：%1").arg(why),
                    QString(), Ui::Icon::Error);
        return false;
    }
    return true;
}

bool PrintMonthStatement(const QDate &working, QWidget *parent)
{
    ScratchRows printed;
    if (!ShareDataModule || !WriteMonthStatement(working, &printed))
        return false;
    // The rows as read back; Strong marks the total line, which the template sets in bold.
    QStringList fields = printed.fields;
    fields << QStringLiteral("Strong");
    std::vector<ReportRow> rows;
    rows.reserve(printed.rows.size());
    for (size_t i = 0; i < printed.rows.size(); ++i)
        rows.push_back(printed.rows[i]
                       << (i + 1 == printed.rows.size() ? QStringLiteral("1") : QString()));
    ListRows data(fields, std::move(rows));
    const MonthRange month = MonthOf(working);
    const QString book = Session::Book();
    const ReportValues values = [month, book](const QString &name, QVariant *value) {
        if (name == QLatin1String("AccountBook"))
            *value = book;
        else if (name == QLatin1String("Month"))
            *value = month.first.toString(QStringLiteral("yyyy年M月"));
        else if (name == QLatin1String("BeginDate"))
            *value = month.first.toString(QStringLiteral("yyyy-MM-dd"));
        else if (name == QLatin1String("EndDate"))
            *value = month.last.toString(QStringLiteral("yyyy-MM-dd"));
        else
            return false;
        return true;
    };
    return PreviewReport(TemplateToRead(QStringLiteral("AccountMonth.frf")), &data, values,
                         parent);
}
