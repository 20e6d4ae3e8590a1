// What an account card shows beyond its name: the balance on the working date, the total
// of the working date's month, the icon and the colours; and a new account of the book.
#pragma once

#include <QString>

class DbQuery;
struct TCard;

// The icon of an account card. Below zero Res/Money-.ico, at zero Res/Money0.ico; above
// zero the book's colour (Yellow, Blue, Purple) with a plus sign, one more when the records
// alone sum to more than 30000 and another above 100000: the opening amount makes the
// balance, not the plus signs. Both are compared as whole cents, as they are shown.
QString AccountCardIcon(const QString &accountType, double sum, double balance);

// Fills the balance, the month's total, the icon and the colours of card from the current
// row of an Account query. The sums run on ADOQueryTemp2, so the query whose rows the
// cards walk stays where it is. False when a sum failed (its message was shown).
bool FillAccountCard(TCard &card, const DbQuery &row);

// Adds an account of the current book with the name and opening amount the account
// dialog collected, owned by the signed-in user. A name that the book has already (in
// any letter case, whoever owns it) is refused with a message. True when it was added and
// the success was said.
bool AddAccount(const QString &name, double base);
