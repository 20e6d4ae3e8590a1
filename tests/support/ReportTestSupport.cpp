#include "ReportTestSupport.h"

#include "PublicFunction.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>

QStringList PdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString AmountTextForTest(double amount)
{
    return AmountText(amount);
}

void KeepForLooking(const QString &pdf)
{
    const QString shots = qEnvironmentVariable("QM_REPORT_SHOTS");
    if (shots.isEmpty())
        return;
    QString name = QString::fromUtf8(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString copy = shots + QLatin1Char('/') + name + QLatin1Char('-')
        + QFileInfo(pdf).fileName();
    QFile::remove(copy);
    QFile::copy(pdf, copy);
}
