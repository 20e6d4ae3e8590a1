// What the report tests share: the text of each page of a PDF, read with pdftotext, and a
// plain list template that says which file it is.
#pragma once

#include <QString>
#include <QStringList>

// The pages' texts, in order (empty when the file cannot be read).
QStringList PdfPages(const QString &pdf);
QString AmountTextForTest(double amount);
// With QM_REPORT_SHOTS set to a folder, a copy of the PDF goes there to be looked at.
void KeepForLooking(const QString &pdf);

#ifdef QM_REPORT_TEMPLATES
#include "ReportFormat.h"

// Writes a template whose title reads title and whose detail row prints the fields, each
// between bars: "|12|-30|".
inline bool WriteListTemplate(const QString &path, const QString &title,
                              const QStringList &fields)
{
    ReportTemplate t;
    t.name = title;
    ReportElement head;
    head.rect = QRectF(0, 0, 150, 8);
    head.text = title;
    t.EnsureBand(BandKind::ReportTitle, 8).elements << head;
    ReportElement row;
    row.rect = QRectF(0, 0, 170, 6);
    for (const QString &f : fields)
        row.text += QStringLiteral("|{{%1}}").arg(f);
    row.text += QLatin1Char('|');
    t.EnsureBand(BandKind::Detail, 6).elements << row;
    return ReportFormat::Save(t, path, nullptr);
}
#endif
