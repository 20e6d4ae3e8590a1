// Sample rows for previewing a template in the designer before any real data is printed.
#include "FormPreview.h"

#include "RecordStatement.h"
#include "Ui.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Forty made-up money records in the record grids' thirteen fields.
ListRows recordSamples()
{
    const QStringList customers = {QStringLiteral("华东建材"), QStringLiteral("李记五金"),
                                   QStringLiteral("新城超市"), QStringLiteral("王先生")};
    const QStringList reasons = {QStringLiteral("货款"), QStringLiteral("运费"),
                                 QStringLiteral("房租"), QStringLiteral("工资")};
    std::vector<ReportRow> rows;
    for (int i = 1; i <= 40; ++i) {
        const bool in = i % 3 != 0;
        const double amount = 100.0 * (i % 7 + 1) + 0.5 * i;
        rows.push_back({i, QStringLiteral("S%1").arg(20240600 + i, 8, 10, QLatin1Char('0')),
                        QDate(2024, 6, 1 + i % 28).toString(QStringLiteral("yyyy-MM-dd")),
                        i % 2 ? QStringLiteral("现金") : QStringLiteral("工商银行"),
                        customers.at(i % customers.size()), in ? amount : 0.0,
                        in ? 0.0 : amount, in ? amount : -amount, QStringLiteral("张三"),
                        reasons.at(i % reasons.size()), in ? QStringLiteral("收入")
                                                           : QStringLiteral("支出"),
                        QStringLiteral("记-%1").arg(i), QStringLiteral("示例记录")});
    }
    return ListRows(RecordFields(), std::move(rows));
}

}  // namespace

bool PreviewWithSampleRows(const ReportTemplate &report, const QString &fileName,
                           QWidget *parent)
{
    const QString base = QFileInfo(fileName).completeBaseName().toLower();
    ListRows records = recordSamples();
    ListRows *rows = &records;
    // Any other template: a few rows of the fields its detail band names.
    std::unique_ptr<ListRows> other;
    const QStringList known = {QStringLiteral("report"), QStringLiteral("report2"),
                               QStringLiteral("record"), QStringLiteral("record2"),
                               QStringLiteral("daily"), QStringLiteral("daily2")};
    if (!known.contains(base)) {
        QStringList fields;
        static const QRegularExpression name(QStringLiteral(R"(\{\{[#^/]?\s*([A-Za-z_]\w*)\s*\}\})"));
        if (const ReportBand *detail = report.Band(BandKind::Detail))
            for (const ReportElement &e : detail->elements)
                for (auto it = name.globalMatch(e.text); it.hasNext();) {
                    const QString field = it.next().captured(1);
                    if (!fields.contains(field))
                        fields << field;
                }
        std::vector<ReportRow> sample;
        for (int i = 1; i <= 10; ++i) {
            ReportRow row;
            for (const QString &f : fields)
                row << QStringLiteral("%1%2").arg(f).arg(i);
            sample.push_back(row);
        }
        other = std::make_unique<ListRows>(fields, std::move(sample));
        rows = other.get();
    }
    const ReportValues values = [](const QString &name, QVariant *value) {
        static const QHash<QString, QString> figures = {
            {QStringLiteral("PrintValue1"), QStringLiteral("上日结余：12345.6 元")},
            {QStringLiteral("PrintValue2"), QStringLiteral("本日结余：13000 元")},
            {QStringLiteral("PrintValue3"), QStringLiteral("本日收入：共 3 笔～1200 元")},
            {QStringLiteral("PrintValue4"), QStringLiteral("本日支出：共 1 笔～545.6 元")},
            {QStringLiteral("BeginDate"), QStringLiteral("2024-06-01")},
            {QStringLiteral("EndDate"), QStringLiteral("2024-06-30")}};
        const auto it = figures.constFind(name);
        if (it == figures.constEnd())
            return false;
        *value = *it;
        return true;
    };
    ReportRenderer renderer;
    QString error;
    ReportTemplate t = report;
    if (t.name.isEmpty())
        t.name = QFileInfo(fileName).completeBaseName();
    if (!renderer.Prepare(t, rows, values, &error)) {
        Ui::Message(error, QString(), Ui::Icon::Error);
        return false;
    }
    TFormPreview preview(&renderer, parent);
    Ui::ShowModal(&preview);
    return true;
}
