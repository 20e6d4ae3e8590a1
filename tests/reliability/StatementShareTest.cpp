// Two computers printing customer statements at the same moment on one book: each copy's
// every printout holds its own customer's lines, all of them, and PrintReport is left with
// one whole statement.
#include "BookRows.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "HelperProcess.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

TEST(SharedBook, TwoCopiesPrintingStatementsNeverMixTheirLines)
{
    constexpr int Times = 25;
    TestFolder folder;
    const struct { const char *name; int records; } customers[] = {{"甲商行", 30}, {"乙商行", 45}};
    {
        DbConnection db;
        ASSERT_TRUE(db.Open(folder.Database(), QString::fromLatin1(DatabasePassword)));
        const qint64 cash = BookRows::Account(&db, QStringLiteral("现金"));
        for (const auto &c : customers)
            BookRows::Records(&db, cash, c.records, QDate(2024, 3, 1), 10,
                              QString::fromUtf8(c.name));
    }
    QList<HelperProcess *> copies;
    for (const auto &c : customers)
        copies << new HelperProcess({QStringLiteral("statement"), folder.Path(),
                                     QString::fromUtf8(c.name), QString::number(Times),
                                     QString::number(c.records + 9)});
    for (HelperProcess *copy : copies)
        ASSERT_TRUE(copy->WaitReady());
    for (HelperProcess *copy : copies)
        copy->Send("go");
    for (int i = 0; i < 2; ++i) {
        HelperProcess *copy = copies.at(i);
        EXPECT_TRUE(copy->WaitEnd(240000));
        EXPECT_EQ(copy->Said(QStringLiteral("MIXED")), QStringList());
        EXPECT_EQ(copy->Said(QStringLiteral("FAIL")), QStringList());
        const QStringList printed = copy->Said(QStringLiteral("PRINTED"));
        EXPECT_EQ(printed.size(), Times);
        for (const QString &line : printed)
            EXPECT_EQ(line.section(QLatin1Char(' '), 1).toInt(), customers[i].records);
        delete copy;
    }
    DbConnection db;
    ASSERT_TRUE(db.Open(folder.Database(), QString::fromLatin1(DatabasePassword)));
    const int left = BookRows::Count(&db, QStringLiteral("From PrintReport Where ReportEnable = 1"));
    EXPECT_TRUE(left == 39 || left == 54) << left;
    EXPECT_EQ(BookRows::Count(&db, QStringLiteral("From PrintReport Where ReportEnable = 1 And "
                                                  "ReportGrid4 In ('甲商行', '乙商行')")),
              left - 9);
}
