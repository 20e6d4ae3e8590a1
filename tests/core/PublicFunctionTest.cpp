// Text and money routines, against the worked examples of the bills and the entry window.
#include "PublicFunction.h"
#include "ShareDM.h"

#include <gtest/gtest.h>

namespace {

struct DigitCase { const char *text; bool digits; bool number; };

class DigitChecks : public ::testing::TestWithParam<DigitCase> {};

TEST_P(DigitChecks, ClassifyText)
{
    const DigitCase c = GetParam();
    EXPECT_EQ(IsDigits(QString::fromUtf8(c.text)), c.digits) << c.text;
    EXPECT_EQ(IsNumberText(QString::fromUtf8(c.text)), c.number) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, DigitChecks, ::testing::Values(
    DigitCase{"", false, false}, DigitCase{"007", true, true}, DigitCase{"12.50", false, true},
    DigitCase{"1.2.3", false, true}, DigitCase{".", false, true}, DigitCase{"12a", false, false},
    DigitCase{"-1", false, false}, DigitCase{" 1", false, false},
    DigitCase{"１２", false, false}));

struct AmountCase { double amount; const char *text; };

class AmountTexts : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountTexts, RoundedShortestText)
{
    EXPECT_EQ(AmountText(GetParam().amount).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, AmountTexts, ::testing::Values(
    AmountCase{1234.5, "1234.5"}, AmountCase{12, "12"}, AmountCase{0.05, "0.05"},
    AmountCase{0, "0"}, AmountCase{-3.456, "-3.46"}, AmountCase{2.675, "2.67"},
    AmountCase{2.10, "2.1"}, AmountCase{-0.001, "0"}, AmountCase{0.005, "0.01"},
    AmountCase{0.015, "0.01"}, AmountCase{0.125, "0.12"}, AmountCase{0.375, "0.38"},
    AmountCase{1.005, "1"}, AmountCase{99999999.999, "100000000"},
    AmountCase{123456789012.34, "123456789012.34"}, AmountCase{1e15, "1e+15"}));

TEST(CapitalDigit, DigitsAndAnythingElse)
{
    const QString numerals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(CapitalDigit(QString::number(d)), QString(numerals.at(d)));
    for (const char *other : {"-", "", "12", "a", "."})
        EXPECT_EQ(CapitalDigit(QString::fromUtf8(other)), QStringLiteral("拾")) << other;
}

struct CapitalCase { double amount; const char *capitals; };

class Capitals : public ::testing::TestWithParam<CapitalCase> {};

TEST_P(Capitals, WholeConversionOfABill)
{
    EXPECT_EQ(AmountToCapitals(GetParam().amount).toStdString(), GetParam().capitals);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, Capitals, ::testing::Values(
    CapitalCase{1234.56, "壹仟　贰佰　叁拾　肆元　伍角　陆分　"},
    CapitalCase{100, "壹佰　零拾　零元　零角　零分　"},
    CapitalCase{0.5, "零元　伍角　零分　"},
    CapitalCase{0.05, "零元　零角　伍分　"},
    CapitalCase{0, "零元　零角　零分　"},
    // Digits of ten million and more are not dropped: the bill shows the whole sum.
    CapitalCase{12345678.9, "壹仟　贰佰　叁拾　肆万　伍仟　陆佰　柒拾　捌元　玖角　零分　"},
    CapitalCase{300000000, "叁亿　零仟　零佰　零拾　零万　零仟　零佰　零拾　零元　零角　零分　"}));

TEST(AmountInCapitals, ShortAndEmptyDigitTexts)
{
    EXPECT_EQ(AmountInCapitals(QStringLiteral("5")), QStringLiteral("伍分　"));
    EXPECT_EQ(AmountInCapitals(QString()), QString());
    EXPECT_EQ(AmountInCapitals(QStringLiteral("999999999")),
              QStringLiteral("玖佰　玖拾　玖万　玖仟　玖佰　玖拾　玖元　玖角　玖分　"));
}

struct NumberCase { const char *last; const char *next; bool valid; };

class DocumentNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DocumentNumbers, NextAndValidity)
{
    const NumberCase c = GetParam();
    EXPECT_EQ(NextDocumentNumber(QString::fromUtf8(c.last)).toStdString(), c.next) << c.last;
    EXPECT_EQ(IsValidDocumentNumber(QString::fromUtf8(c.last)), c.valid) << c.last;
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentNumbers, ::testing::Values(
    NumberCase{"107", "108", true}, NumberCase{"NO0009", "NO00010", true},
    NumberCase{"A-099", "A-0100", true}, NumberCase{"B0", "", true},
    NumberCase{"0000", "", true}, NumberCase{"X9", "X10", true}, NumberCase{"X", "", true},
    NumberCase{"", "", true}, NumberCase{"AB12", "AB13", true}, NumberCase{"A0B", "", true},
    NumberCase{"12AB", "", false}, NumberCase{"A1-2", "", false},
    NumberCase{"2147483646", "2147483647", true}, NumberCase{"2147483647", "", true},
    NumberCase{"NO99999999999", "", true}, NumberCase{"000000000000000000001", "000000000000000000002", true}));

} // namespace
