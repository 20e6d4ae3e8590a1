// What a customer card shows beyond its name and region: what the customer owes and is
// owed up to the working date, over the receivable and the payable accounts.
#pragma once

class DbQuery;
struct TCard;

// Fills the receivable and payable totals and the colours of card from the current row of
// a Customer query: red when the payable total is above the receivable one, blue
// otherwise. The totals run on ADOQueryTemp2 over the records the user may see, in the
// accounts of every owner. False when a total failed (its message was shown).
bool FillCustomerCard(TCard &card, const DbQuery &row);
