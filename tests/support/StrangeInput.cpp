#include "StrangeInput.h"

const QList<StrangeText> &StrangeTexts()
{
    static const QList<StrangeText> texts = {
        {"Quote", QStringLiteral("O'Brien 商行")},
        {"DoubledQuotes", QStringLiteral("他说''好''")},
        {"OnlyQuotes", QStringLiteral("'''")},
        {"DoubleQuotes", QStringLiteral("\"x\" = \"x\"")},
        {"Hash", QStringLiteral("#2008-02-15#")},
        {"LoneHash", QStringLiteral("#")},
        {"Wildcards", QStringLiteral("100%_*?")},
        {"DoubleDash", QStringLiteral("a -- b")},
        {"Semicolon", QStringLiteral("a; b")},
        {"True", QStringLiteral("True")},
        {"Backslash", QStringLiteral("C:\\数据\\")},
        {"Tab", QStringLiteral("a\tb")},
        {"LineBreaks", QStringLiteral("第一行\n第二行\r\n第三行")},
        {"Blanks", QStringLiteral("  两边有空格  ")},
        {"Long255", QString(85, QChar(0x5F20)) + QString(170, QLatin1Char('x'))},
        {"Long10000", QString(10000, QChar(0x5E10))},
        {"IdeographicSpaces", QStringLiteral("张　三　商行　")},
        {"OutsideBasicPlane", QStringLiteral("笑\U0001F600 \U00020000\U0002A6D6")},
        {"LoneSurrogate", QStringLiteral("半个") + QChar(0xD83D) + QStringLiteral("字")},
        {"LooksLikeSql", QStringLiteral("x' Or '1'='1")},
        {"DropTable", QStringLiteral("'); Drop Table MoneyTable; --")},
        {"Union", QStringLiteral("' Union Select PowerKey From Power --")},
    };
    return texts;
}

bool IsBrokenText(const QString &text)
{
    return !QStringView(text).isValidUtf16();
}

const QStringList &StrangeAmounts()
{
    static const QStringList amounts = {
        QStringLiteral("0"), QStringLiteral("-0"), QStringLiteral("0.005"), QStringLiteral("1e3"),
        QStringLiteral("１２３"), QStringLiteral("1,000"), QStringLiteral(" 12 "),
        QStringLiteral("12."), QStringLiteral(".5"),
        QStringLiteral("1234567890123456789012345678901234567890"), QStringLiteral("NaN"),
        QStringLiteral("inf")};
    return amounts;
}
