// The inputs every window that stores what a user types is tried with: texts that have
// broken programs before (quotes, the statements' own signs, blanks and line breaks, very
// long texts, characters outside the basic plane, half of one, text that looks like SQL),
// and the amounts a user may type into an amount field.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct StrangeText
{
    const char *name;   // for the test's name
    QString text;
};

const QList<StrangeText> &StrangeTexts();

// True for the one text of the list that holds half of a character (a lone surrogate),
// which no window can store as it is.
bool IsBrokenText(const QString &text);

const QStringList &StrangeAmounts();
