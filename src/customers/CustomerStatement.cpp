// The customer statement: each section's records read through a cursor in their stored
// order (the engine would otherwise return them in the order of the index it reads, by
// amount), their lines and subtotals written over PrintReport and read back before the
// transaction ends, so that no line is lost to a short table and two computers printing
// at once keep their statements apart.
#include "CustomerStatement.h"

#include "BookKind.h"
#include "FormCustomer2.h"
#include "FormDateChose.h"
#include "FormPreview.h"
#include "FormProgress.h"
#include "Globals.h"
#include "ProgramFolder.h"
#include "PublicFunction.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include "DbCursor.h"

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");

struct Section
{
    BookId book;
    const char *header[8];
    const char *subtotal;
    int progress;   // the position once the section is done
};

const Section Sections[] = {
    {BookId::Receivable,
     {"应收记录", "录入时间", "帐户名称", "客户名称", "应收入帐", "应收出帐", "应收合计", "业务员"},
     "应收帐务合计",
     35},
    {BookId::Payable,
     {"应付记录", "录入时间", "帐户名称", "客户名称", "应付入帐", "应付出帐", "应付合计", "业务员"},
     "应付帐务合计",
     45},
    {BookId::Cash,
     {"财务记录", "录入时间", "帐户名称", "客户名称", "财务收入", "财务支出", "财务合计", "业务员"},
     "财务收支合计",
     55},
};

// A stored amount as its own text: plain, not rounded.
QString plain(double v)
{
    return QString::number(v, 'g', 15);
}

// The day, and its time of day when it has one.
QString dayText(const QDateTime &when)
{
    QString text = when.date().toString(QStringLiteral("yyyy-MM-dd"));
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + when.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}

} // namespace

bool WriteCustomerStatement(const QString &customer, const QDate &from, const QDate &to,
                            ScratchRows *printed, std::vector<bool> *strong)
{
    std::vector<QStringList> lines;
    strong->clear();
    ProgressTo(15);
    for (const Section &s : Sections) {
        QStringList header;
        for (const char *h : s.header)
            header << QString::fromUtf8(h);
        lines.push_back(header);
        strong->push_back(true);
        double in = 0, out = 0, sum = 0;
        DbCursor c(&ShareDataModule->ADOConnection1);
        bool read = c.Open(
            QStringLiteral("Select MoneyIndex,MoneySerial,MoneyCreateTime,AccountName,MoneyUser,"
                           "MoneyIn,MoneyOut,MoneySum,MoneyMan,MoneyReason,MoneyType,MoneyToken,"
                           "MoneyRemark From Account,MoneyTable Where (AccountIndex = "
                           "MoneyAccount) And (AccountType = %1) And (MoneyUser = %2) And "
                           "(MoneyCreateTime Between %3 And %4)")
                .arg(Quoted(BookKindOf(s.book).name), Quoted(customer), DateLiteral(from),
                     DateLiteral(to))
            + MoneyFilter + QStringLiteral(" Order By MoneyIndex"));
        for (; read && !c.Eof(); c.Next()) {
            const double i = c.Field(5).AsFloat(), o = c.Field(6).AsFloat(),
                         m = c.Field(7).AsFloat();
            in += i;
            out += o;
            sum += m;
            lines.push_back({c.Field(1).AsString(), dayText(c.Field(2).AsDateTime()),
                             c.Field(3).AsString(), c.Field(4).AsString(), plain(i), plain(o),
                             plain(m), c.Field(8).AsString()});
            strong->push_back(false);
        }
        if (!read || c.Failed()) {
            const DbFault fault = c.Fault();
            const QString why = c.LastError();
            c.Close();   // before the message: an open statement holds other computers up
            HideProgress();
            if (fault == DbFault::None)
                Ui::Message(OpenFailed);
            else
                Ui::Message(OpenFailed + QLatin1Char('\n') + why, QString(), Ui::Icon::Error);
            return false;
        }
        const QString dash = QStringLiteral("------");
        lines.push_back({dash, dash, dash, QString::fromUtf8(s.subtotal), AmountText(in),
                         AmountText(out), AmountText(sum), dash});
        strong->push_back(true);
        lines.push_back(QStringList());
        strong->push_back(false);
        ProgressTo(s.progress);
    }
    QString why;
    DbFault fault = DbFault::None;
    const bool written = RewriteScratchTable(
        &ShareDataModule->ADOConnection1, PrintReportScratch(), lines, printed, &why, &fault,
        [](int disabled) { ProgressTo(55 + 10 * (disabled / 100)); });
    ProgressTo(100);
    HideProgress();
    if (!written) {
        Ui::Message(QStringLiteral("对帐单数据写入失败，上次的对帐单保持不变：%1").arg(why),
                    QString(), Ui::Icon::Error);
        return false;
    }
    return true;
}

bool TFormCustomer2::frReport1GetValue(const QString &name, QVariant *value) const
{
    if (name == QLatin1String("CustomerName"))
        *value = DetailCustomerName;
    else if (name == QLatin1String("BeginDate"))
        *value = FormDateChose->ChosenDateFrom.toString(QStringLiteral("yyyy-MM-dd"));
    else if (name == QLatin1String("EndDate"))
        *value = FormDateChose->ChosenDateTo.toString(QStringLiteral("yyyy-MM-dd"));
    else
        return false;
    return true;
}

void TFormCustomer2::ActionMoneyDetailExecute()
{
    if (!FormDateChose || !ShareDataModule || Ui::ShowModal(FormDateChose) != QDialog::Accepted)
        return;
    if (FormProgress)
        FormProgress->show();
    ProgressTo(5);
    ScratchRows printed;
    std::vector<bool> strong;
    if (!WriteCustomerStatement(DetailCustomerName, FormDateChose->ChosenDateFrom,
                                FormDateChose->ChosenDateTo, &printed, &strong))
        return;
    // Strong marks the header and subtotal lines, which the template sets apart.
    QStringList fields = printed.fields;
    fields << QStringLiteral("Strong");
    std::vector<ReportRow> rows;
    rows.reserve(printed.rows.size());
    for (size_t i = 0; i < printed.rows.size(); ++i)
        rows.push_back(printed.rows[i] << (strong[i] ? QStringLiteral("1") : QString()));
    ListRows data(fields, std::move(rows));
    PreviewReport(TemplateToRead(QStringLiteral("CustomerDetail.frf")), &data,
                  [this](const QString &name, QVariant *value) {
                      return frReport1GetValue(name, value);
                  },
                  this);
}
