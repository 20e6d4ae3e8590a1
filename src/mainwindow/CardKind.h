// What tells the account cards from the customer cards: the names of their controls, the
// captions and pictures of a card, the sheet's buttons, and the statement whose rows the
// cards show. One descriptor per kind; the card page and the main window read it instead
// of asking "account or customer?" on every line.
#pragma once

#include <QList>
#include <QString>

enum class CardKindId { Account, Customer };

// A big button at the right edge of a card sheet.
struct TSideButton
{
    QString name;
    QString caption;
    QString picture;
    int top;
};

struct TCardKind
{
    CardKindId id;
    QString prefix;          // "Account": AccountPanel1, AccountSum, PriorAccount, …
    // A card.
    QString icon;            // picture of the card's icon
    QString secondCaption;   // captions before the second and third value
    QString thirdCaption;
    QString typeText;        // the type or region label at creation
    QString secondValue;     // object-name pieces of the second and third value
    QString thirdValue;
    // The sheet.
    QString newCaption;      // the add button
    QString hint;            // the picture shown when there are no rows
    QList<TSideButton> sideButtons;
    // The rows: Select * From table Where (key > 1) followed by the visibility filter.
    QString table;
    QString keyField;
    QString nameField;
    QString typeField;
    const QString *filter;
    QString failure;         // shown when the statement fails

    QString Statement() const;
};

const TCardKind &CardKindOf(CardKindId id);
