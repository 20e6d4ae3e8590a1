#include "RecordColumns.h"

#include "RecordGrid.h"

#include <QColor>

namespace {

enum class Footer { None, Count, Sum, RedSum };

struct ColumnLook
{
    const char *field;
    const char *title;
    int width;
    Footer footer;
};

const ColumnLook Looks[] = {
    {"MoneyIndex", "记录号", 50, Footer::Count},
    {"MoneySerial", "单据编号", 60, Footer::None},
    {"MoneyCreateTime", "录入时间", 70, Footer::None},
    {"AccountName", "帐户名", 90, Footer::None},
    {"MoneyUser", "客户名称", 112, Footer::None},
    {"MoneyIn", "收入", 60, Footer::Sum},
    {"MoneyOut", "支出", 60, Footer::RedSum},
    {"MoneySum", "合计", 65, Footer::Sum},
    {"MoneyMan", "业务员", 50, Footer::None},
    {"MoneyReason", "收支种类", 60, Footer::None},
    {"MoneyType", "类别", 40, Footer::None},
    {"MoneyToken", "凭证", 40, Footer::None},
    {"MoneyRemark", "备注", 128, Footer::None},
};

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

} // namespace

TRecordGridModel::Statement GridStatement(const RecordStatement &statement)
{
    TRecordGridModel::Statement grid;
    grid.select = statement.select;
    grid.from = statement.From();
    grid.orderBy = statement.OrderBy();
    grid.key = statement.key;
    return grid;
}

QHash<QString, double> GridSums(const TRecordGrid *grid)
{
    QHash<QString, double> sums;
    for (const char *field : {"MoneyIn", "MoneyOut", "MoneySum"})
        sums.insert(QLatin1String(field), grid->Model()->FooterSum(QLatin1String(field)));
    return sums;
}

QString RecordFieldList()
{
    QString list;
    for (const ColumnLook &look : Looks) {
        if (!list.isEmpty())
            list += QLatin1Char(',');
        list += QLatin1String(look.field);
    }
    return list;
}

void ApplyRecordColumns(TRecordGrid *grid)
{
    for (int column = 0; column < grid->ColumnCount(); ++column) {
        const QString field = grid->FieldOf(column);
        for (const ColumnLook &look : Looks) {
            if (field.compare(QLatin1String(look.field), Qt::CaseInsensitive) != 0)
                continue;
            grid->SetColumnCentred(column, true);
            grid->SetColumnTitle(column, QString::fromUtf8(look.title));
            grid->SetColumnWidth(column, look.width);
            switch (look.footer) {
            case Footer::Count:
                grid->SetFooterText(column,
                                    QString::number(grid->Model()->RecordCount())
                                        + QStringLiteral("条"),
                                    Black);
                break;
            case Footer::Sum:
                grid->SetFooterSum(column, Black);
                break;
            case Footer::RedSum:
                grid->SetFooterSum(column, Red);
                break;
            case Footer::None:
                break;
            }
        }
    }
}
