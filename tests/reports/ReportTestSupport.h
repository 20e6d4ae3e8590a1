// What the report tests share: the text of each page of a PDF, read with pdftotext.
#pragma once

#include <QString>
#include <QStringList>

// The pages' texts, in order (empty when the file cannot be read).
QStringList PdfPages(const QString &pdf);
QString AmountTextForTest(double amount);
