// Text routines shared by every window: digit checks, amounts as text and amounts in
// Chinese capitals as bills print them.
#pragma once

#include <QString>

// True when the text is not empty and every character is a digit 0-9.
bool IsDigits(const QString &text);
// True when the text is not empty and every character is a digit or a point. The number
// of points is the caller's to check.
bool IsNumberText(const QString &text);

// The amount rounded to two decimals (halves to even, on the stored double, so 2.675
// gives 2.67) in its shortest form: 1234.5, 12, 0.05, -3.46. Amounts of 10^15 and more
// come out in exponent notation.
QString AmountText(double amount);

// The capital numeral of one digit; any other text gives "拾".
QString CapitalDigit(const QString &digit);

// The amount in fen (digits of the whole part followed by two digits for 角 and 分)
// in capitals: every digit with its unit and an ideographic space, zeros included, up to
// seventeen digits from the right (佰万亿); the rest are ignored. An empty text gives an
// empty text.
QString AmountInCapitals(const QString &fenDigits);

// The whole conversion a bill uses: the amount text padded to two decimals, the point
// removed, and the digits in capitals.
QString AmountToCapitals(double amount);
