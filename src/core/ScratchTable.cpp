// The scratch tables rewritten and read back in one transaction.
#include "ScratchTable.h"

#include "DbCursor.h"
#include "DbTransaction.h"

namespace {

ScratchTable scratch(const char *table, const char *key, const char *enable, const char *column,
                     int count)
{
    ScratchTable t{QLatin1String(table), QLatin1String(key), QLatin1String(enable), {}};
    for (int i = 1; i <= count; ++i)
        t.columns << QLatin1String(column) + QString::number(i);
    return t;
}

} // namespace

ScratchTable PrintTableScratch()
{
    return scratch("PrintTable", "PrintIndex", "PrintEnable", "PrintValue", 10);
}

ScratchTable PrintReportScratch()
{
    return scratch("PrintReport", "ReportIndex", "ReportEnable", "ReportGrid", 8);
}

bool RewriteScratchTable(DbConnection *conn, const ScratchTable &t,
                         const std::vector<QStringList> &lines, ScratchRows *printed,
                         QString *error, DbFault *fault,
                         const std::function<void(int)> &disabled)
{
    DbFault ignored = DbFault::None;
    if (!fault)
        fault = &ignored;
    *fault = DbFault::None;
    const auto fail = [&](const QString &why, DbFault f) {
        *error = why;
        *fault = f;
        return false;   // the transaction rolls back as it goes
    };
    DbTransaction trans(conn);
    if (!trans.Active())
        return fail(trans.LastError(), trans.Fault());

    // The key of the row that takes the last line; none when the table is shorter.
    const qint64 n = qint64(lines.size());
    bool fits = false;
    qint64 lastKey = 0;
    if (n > 0) {
        DbCursor c(conn);
        if (!c.Open(QStringLiteral("Select %1 From %2 Order By %1 Limit 1 Offset %3")
                        .arg(t.key, t.table)
                        .arg(n - 1)))
            return fail(c.LastError(), c.Fault());
        fits = !c.Eof();
        if (fits)
            lastKey = c.Field(0).AsInteger();
    }
    DbQuery q(conn);
    q.SetSQL(n == 0 ? QStringLiteral("Select * From %1 Where 1 = 0").arg(t.table)
             : fits ? QStringLiteral("Select * From %1 Where %2 <= %3 Order By %2")
                          .arg(t.table, t.key)
                          .arg(lastKey)
                    : QStringLiteral("Select * From %1 Order By %2").arg(t.table, t.key));
    if (!q.Open())
        return fail(q.LastError(), q.Fault());
    q.First();
    bool append = false;   // once past the last row, every further line is a new row
    for (const QStringList &line : lines) {
        append = append || q.Eof();
        if (!(append ? q.Append() : q.Edit()) || !q.SetField(t.enable, true))
            return fail(q.LastError(), q.Fault());
        // Texts, never NULL: a column the line leaves out is an empty text.
        for (int c = 0; c < t.columns.size(); ++c)
            if (!q.SetField(t.columns.at(c), line.value(c).isNull() ? QStringLiteral("")
                                                                    : line.at(c)))
                return fail(q.LastError(), q.Fault());
        if (!q.Post() || (!append && !q.Next()))
            return fail(q.LastError(), q.Fault());
    }

    // Rows of an earlier statement after the lines; rows already off need no writing.
    q.SetSQL(QStringLiteral("Select * From %1 Where (%2 = True)").arg(t.table, t.enable)
             + (fits ? QStringLiteral(" And (%1 > %2)").arg(t.key).arg(lastKey)
                     : n > 0 ? QStringLiteral(" And (1 = 0)") : QString())
             + QStringLiteral(" Order By %1").arg(t.key));
    if (!q.Open())
        return fail(q.LastError(), q.Fault());
    int off = 0;
    for (q.First(); !q.Eof();) {
        if (!q.Edit() || !q.SetField(t.enable, false) || !q.Post() || !q.Next())
            return fail(q.LastError(), q.Fault());
        if (++off % 100 == 0 && disabled)
            disabled(off);
    }
    q.Close();

    // The printout reads the rows as they stand before anyone else may write.
    ScratchRows read;
    DbCursor back(conn);
    if (!back.Open(QStringLiteral("Select * From %1 Where %2 = True Order By %3")
                       .arg(t.table, t.enable, t.key)))
        return fail(back.LastError(), back.Fault());
    read.fields = back.FieldNames();
    for (; !back.Eof(); back.Next()) {
        QVector<QVariant> row(back.FieldCount());
        for (int c = 0; c < row.size(); ++c)
            row[c] = back.Value(c);
        read.rows.push_back(std::move(row));
    }
    if (back.Failed())
        return fail(back.LastError(), back.Fault());
    back.Close();
    if (qint64(read.rows.size()) != n)
        return fail(QStringLiteral("%1 读回 %2 行，应为 %3 行")
                        .arg(t.table)
                        .arg(read.rows.size())
                        .arg(n),
                    DbFault::None);
    if (!trans.Commit())
        return fail(trans.LastError(), trans.Fault());
    *printed = std::move(read);
    return true;
}
