#include "PublicFunction.h"

#include <cfenv>
#include <cmath>
#include <cstdio>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool IsDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!isDigit(c))
            return false;
    return true;
}

bool IsNumberText(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!isDigit(c) && c != QLatin1Char('.'))
            return false;
    return true;
}

QString AmountText(double amount)
{
    if (std::isnan(amount) || std::isinf(amount))
        return QStringLiteral("0");
    // The division runs in extended precision, so an amount stored a little below its
    // written value (2.675) stays below the half and goes down. nearbyint follows the
    // current rounding mode: make sure it is to-nearest-even.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double cents = std::nearbyint(static_cast<long double>(amount) / 0.01L);
    std::fesetround(mode);
    double rounded = static_cast<double>(cents * 0.01L);
    if (rounded == 0.0)
        rounded = 0.0;   // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", rounded);
    return QString::fromLatin1(buf);
}

QString CapitalDigit(const QString &digit)
{
    static const char16_t numerals[] = u"零壹贰叁肆伍陆柒捌玖";
    if (digit.size() == 1 && isDigit(digit.at(0)))
        return QString(QChar(numerals[digit.at(0).unicode() - '0']));
    return QStringLiteral("拾");
}

QString AmountInCapitals(const QString &fenDigits)
{
    // Up to 佰万亿: every amount AmountText writes without an exponent. A bill that dropped
    // the digits of ten million and more would print a plainly wrong sum.
    static const char16_t units[] = u"分角元拾佰仟万拾佰仟亿拾佰仟万拾佰";
    constexpr int unitCount = int(sizeof units / sizeof units[0]) - 1;
    const QChar space(0x3000);
    QString rest = fenDigits;
    QString result;
    for (int pos = 0; pos < unitCount && !rest.isEmpty(); ++pos) {
        const QString c = rest.right(1);
        result = CapitalDigit(c) + QChar(units[pos]) + space + result;
        rest.chop(1);
    }
    return result;
}

QString AmountToCapitals(double amount)
{
    QString t = AmountText(amount);
    for (int i = 0; i < 2; ++i)
        if (t.size() < 3 || t.at(t.size() - 3) != QLatin1Char('.'))
            t += QLatin1Char('0');
    t.remove(QLatin1Char('.'));
    return AmountInCapitals(t);
}
