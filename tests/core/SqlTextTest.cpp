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
    DialectCase{"a # b", "a # b"},
    // A stray '#' never pairs with one inside a quoted text.
    DialectCase{"a # b = 'x#y' And c = #2008-01-01#", "a # b = 'x#y' And c = '2008-01-01'"},
    DialectCase{"MoneyRemark = '#' Or MoneySerial = '1#'", "MoneyRemark = '#' Or MoneySerial = '1#'"},
    DialectCase{"InStr(CustomerName,'abc')", "InStrNoCase(CustomerName,'abc')"},
    DialectCase{"(instr (MoneyUser,'InStr('))", "(InStrNoCase (MoneyUser,'InStr('))"},
    DialectCase{"MyInStr(a) And InStr = 1", "MyInStr(a) And InStr = 1"}));

struct SelectCase { const char *sql; bool single; };

class SingleSelect : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SingleSelect, OnlyOneSelectPasses)
{
    QString why;
    const bool single = IsSingleSelect(QString::fromUtf8(GetParam().sql), &why);
    EXPECT_EQ(single, GetParam().single) << GetParam().sql;
    EXPECT_EQ(why.isEmpty(), GetParam().single) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(Table, SingleSelect, ::testing::Values(
    SelectCase{"Select * From Power", true},
    SelectCase{"  select Count(*) As N From Power ;", true},
    SelectCase{"Select * From Customer Where CustomerName = 'a;b -- c /* d'", true},
    SelectCase{"Select * From Customer Where CustomerName = 'x''; Drop Table Power; --'", true},
    SelectCase{"PRAGMA rekey = 'x'", false},
    SelectCase{"BEGIN", false},
    SelectCase{"ATTACH 'x.db' AS x", false},
    SelectCase{"Select 1; PRAGMA rekey = 'x'", false},
    SelectCase{"Select 1; Select 2", false},
    SelectCase{"Select 1 -- comment", false},
    SelectCase{"Select 1 /* comment */", false},
    SelectCase{"Select * From Power Where PowerName = 'open", false},
    SelectCase{"Selected * From Power", false},
    SelectCase{"Delete From Power", false},
    SelectCase{"", false},
    // After the semicolon only what the engine itself skips: an ideographic space it would
    // read as the start of another statement.
    SelectCase{"Select 1;\t\r\n ;", true},
    SelectCase{"Select 1;\u3000", false}));

// The engine reads a statement only up to a NUL character: anything behind it is refused,
// not silently dropped.
TEST(SingleSelect, ANulCharacterIsRefused)
{
    QString why;
    const QString sql = QStringLiteral("Select * From Power Where PowerName = 'a'") + QChar(0)
        + QStringLiteral(" Or 1");
    EXPECT_FALSE(IsSingleSelect(sql, &why));
    EXPECT_FALSE(why.isEmpty());
}

} // namespace
