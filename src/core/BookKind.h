// The three account books, the values of Account.AccountType: for each its name, the word
// its pictures are named by, the captions of its two entry directions, the account card's
// colour and the Setting row of its last document number. Every window and tool asks this
// table; none compares book names of its own. Header-only, so that the picture maker,
// which draws the books' pictures at build time, reads the same table.
#pragma once

#include <QList>
#include <QString>

enum class BookId { Cash, Receivable, Payable };

struct TBookKind
{
    BookId id;
    QString name; // the stored AccountType
    QString key; // Money, Get, Pay: Res/AccountGet.bmp, Res/NewGetOut.bmp, …
    QString inCaption; // a record that brings money in
    QString outCaption; // a record that takes money out
    QString cardColour; // Yellow, Blue, Purple: the account cards' icons
    int documentRow; // SettingIndex of the last document number

    // The book's picture (chooser, left bar, report builder, account dialog).
    QString Picture() const { return QStringLiteral("Res/Account") + key + QStringLiteral(".bmp"); }
    QString Caption(bool income) const { return income ? inCaption : outCaption; }
};

// In the chooser's order: cash, receivable, payable.
inline const QList<TBookKind> &BookKinds()
{
    static const QList<TBookKind> kinds = {
        {BookId::Cash, QStringLiteral("现金帐"), QStringLiteral("Money"),
         QStringLiteral("财务收入"), QStringLiteral("财务支出"), QStringLiteral("Yellow"), 1},
        {BookId::Receivable, QStringLiteral("应收帐"), QStringLiteral("Get"),
         QStringLiteral("应收入帐"), QStringLiteral("应收出帐"), QStringLiteral("Blue"), 2},
        {BookId::Payable, QStringLiteral("应付帐"), QStringLiteral("Pay"),
         QStringLiteral("应付入帐"), QStringLiteral("应付出帐"), QStringLiteral("Purple"), 3},
    };
    return kinds;
}

inline const TBookKind &BookKindOf(BookId id)
{
    return BookKinds().at(int(id));
}

// The book of that name; nullptr for any other text.
inline const TBookKind *FindBookKind(const QString &name)
{
    for (const TBookKind &kind : BookKinds())
        if (kind.name == name)
            return &kind;
    return nullptr;
}

// The book of that name, the cash book for any other text: how a stored book is read.
inline const TBookKind &BookKindOrCash(const QString &name)
{
    const TBookKind *kind = FindBookKind(name);
    return kind ? *kind : BookKindOf(BookId::Cash);
}
