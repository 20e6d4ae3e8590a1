// The data each printed template reads: the money record columns for the record prints,
// the scratch rows for the month statement and the customer statement, and the names the
// printing windows answer.
#include "TemplateFields.h"

#include <QFileInfo>

namespace {

const QList<TemplateField> &recordFields()
{
    static const QList<TemplateField> fields = {
        {QStringLiteral("MoneyIndex"), QStringLiteral("记录号")},
        {QStringLiteral("MoneySerial"), QStringLiteral("单据编号")},
        {QStringLiteral("MoneyCreateTime"), QStringLiteral("录入时间")},
        {QStringLiteral("AccountName"), QStringLiteral("帐户名")},
        {QStringLiteral("MoneyUser"), QStringLiteral("客户名称")},
        {QStringLiteral("MoneyIn"), QStringLiteral("收入")},
        {QStringLiteral("MoneyOut"), QStringLiteral("支出")},
        {QStringLiteral("MoneySum"), QStringLiteral("合计")},
        {QStringLiteral("MoneyMan"), QStringLiteral("业务员")},
        {QStringLiteral("MoneyReason"), QStringLiteral("收支种类")},
        {QStringLiteral("MoneyType"), QStringLiteral("类别")},
        {QStringLiteral("MoneyToken"), QStringLiteral("凭证")},
        {QStringLiteral("MoneyRemark"), QStringLiteral("备注")},
    };
    return fields;
}

QList<TemplateField> numbered(const QString &prefix, int last, const QString &title)
{
    QList<TemplateField> out;
    for (int i = 1; i <= last; ++i)
        out.append({prefix + QString::number(i), title + QString::number(i)});
    return out;
}

// What one template reads: its data set, then the names its window answers.
struct TemplateData
{
    QList<TemplateField> fields;
    QList<TemplateField> variables;
};

TemplateData dataOf(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName().toLower();
    if (name == QLatin1String("report.frf") || name == QLatin1String("report2.frf")
        || name == QLatin1String("record.frf") || name == QLatin1String("record2.frf"))
        return {recordFields(), {}};
    if (name == QLatin1String("daily.frf") || name == QLatin1String("daily2.frf"))
        return {recordFields(), numbered(QStringLiteral("PrintValue"), 4,
                                         QStringLiteral("当日汇总"))};
    if (name == QLatin1String("bill.frf")) {
        QList<TemplateField> fields = {{QStringLiteral("MSum"), QStringLiteral("金额")}};
        fields += recordFields();
        return {fields, {{QStringLiteral("MoneyCN"), QStringLiteral("大写金额")}}};
    }
    if (name == QLatin1String("accountmonth.frf"))
        return {numbered(QStringLiteral("PrintValue"), 6, QStringLiteral("月结栏")), {}};
    if (name == QLatin1String("customerdetail.frf"))
        return {numbered(QStringLiteral("ReportGrid"), 8, QStringLiteral("明细栏")),
                {{QStringLiteral("CustomerName"), QStringLiteral("客户名称")},
                 {QStringLiteral("BeginDate"), QStringLiteral("起始日期")},
                 {QStringLiteral("EndDate"), QStringLiteral("截止日期")}}};
    return {};
}

bool isAmount(const QString &field)
{
    return field == QLatin1String("MoneyIn") || field == QLatin1String("MoneyOut")
        || field == QLatin1String("MoneySum") || field == QLatin1String("MSum");
}

} // namespace

QList<TemplateField> TemplateFields(const QString &fileName)
{
    const TemplateData data = dataOf(fileName);
    QList<TemplateField> out = data.fields + data.variables;
    out += {{QStringLiteral("CompanyName"), QStringLiteral("公司名称")},
            {QStringLiteral("date"), QStringLiteral("打印日期")},
            {QStringLiteral("page"), QStringLiteral("页码")},
            {QStringLiteral("pages"), QStringLiteral("总页数")},
            {QStringLiteral("count"), QStringLiteral("记录条数")}};
    for (const TemplateField &f : data.fields)
        if (isAmount(f.name))
            out.append({QStringLiteral("sum.") + f.name, f.title + QStringLiteral("总计")});
    return out;
}

QStringList TemplateDataFields(const QString &fileName)
{
    QStringList out;
    for (const TemplateField &f : dataOf(fileName).fields)
        out << f.name;
    return out;
}
