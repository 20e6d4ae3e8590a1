// Quoting of user texts and the translation of the statements' date and yes/no words.
#include "SqlText.h"

#include <gtest/gtest.h>

namespace {

TEST(Quoted, DoublesEveryQuote)
{
    EXPECT_EQ(Quoted(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(Quoted(QString()), QStringLiteral("''"));
    EXPECT_EQ(Quoted(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(DateLiteral(QDate(2008, 2, 5)), QStringLiteral("#2008-02-05#"));
}

struct DialectCase { const char *in; const char *out; };

class Dialect : public ::testing::TestWithParam<DialectCase> {};

TEST_P(Dialect, Translates)
{
    EXPECT_EQ(TranslateDialect(QString::fromUtf8(GetParam().in)).toStdString(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, Dialect, ::testing::Values(
    DialectCase{"MoneyCreateTime <= #2008-02-15#", "MoneyCreateTime <= '2008-02-15'"},
    DialectCase{"Between #2008-02-01# And #2008-02-29#",
                "Between '2008-02-01' And '2008-02-29'"},
    DialectCase{"PrintEnable = True", "PrintEnable = 1"},
    DialectCase{"ReportEnable=false Or x=TRUE", "ReportEnable=0 Or x=1"},
    DialectCase{"TrueName = 'True' And Untrue = 1", "TrueName = 'True' And Untrue = 1"},
    DialectCase{"a = '#2008-01-01#'", "a = '#2008-01-01#'"},
    DialectCase{"a = 'it''s True #1#' And b = True", "a = 'it''s True #1#' And b = 1"},
    DialectCase{"MoneyUser = '客户#1' And c = #2026-12-09#",
                "MoneyUser = '客户#1' And c = '2026-12-09'"},
    DialectCase{"x = 'unterminated #1#", "x = 'unterminated #1#"},
    DialectCase{"a # b", "a # b"}));

} // namespace
