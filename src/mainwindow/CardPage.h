// One page of cards on the main window: 28 cards created once on a tab sheet and reused
// for every page of rows, the paging buttons, the hint picture shown when there are no
// rows, and the hover highlight. What one card shows is the owner's fill function.
#pragma once

#include "CardKind.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>

class DbQuery;
class QFrame;
class QLabel;
class QObject;
class QPushButton;
class QWidget;

// A card: a 209 × 79 panel and its eight labels. The panel's tag (the "Tag" property)
// holds the record key of the row the card shows.
struct TCard
{
    QFrame *Panel = nullptr;
    QLabel *Caption1 = nullptr;
    QLabel *Caption2 = nullptr;
    QLabel *Caption3 = nullptr;
    QLabel *Icon = nullptr;
    QLabel *TypeLabel = nullptr;
    QLabel *NameValue = nullptr;
    QLabel *SecondValue = nullptr;
    QLabel *ThirdValue = nullptr;

    QList<QWidget *> Members() const;
    qint64 Tag() const;
    void SetTag(qint64 key);
    // Font colour of the name, the second and third value and the type label.
    void SetValueColour(const QColor &colour);
    // The card as a screen reader reads it: "甲商行，应收 150 元，应付 0 元".
    QString SpokenText() const;
};

class TCardPage
{
public:
    static constexpr int SlotCount = 28;

    using Kind = CardKindId;
    explicit TCardPage(Kind kind) : m_kind(CardKindOf(kind)) {}
    const TCardKind &Descriptor() const { return m_kind; }
    // The tab sheet the cards live on, its paging buttons and its hint picture.
    void Attach(QWidget *sheet, QPushButton *prior, QPushButton *next, QLabel *hint);

    // Creates the 28 cards, hidden, with every member's mouse and focus events sent to
    // filter. The panels take the focus in slot order; Enter and Space on one, and a
    // screen reader's press, run open with its slot.
    void CreateCards(QObject *filter, const std::function<void(int)> &open = {});
    // The visible card after (step 1) or before (-1) slot in page order, steps columns
    // apart when step is the number of columns; -1 when there is none.
    int NeighbourOf(int slot, int step) const;
    bool Created() const { return m_created; }

    std::array<TCard, SlotCount> Cards;
    int PageIndex = 0;

    // Places the cards: 3 columns with cards 15-27 hidden, or 4 columns.
    void Layout(bool large);
    static QPoint CardPlace(int slot, bool large);

    // The slot whose card has w as one of its members, or -1.
    int SlotOf(const QWidget *w) const;
    // The card of slot gets the highlight, every other the button face; a colour is only
    // assigned when it differs.
    void Highlight(int slot);
    // Every card back to the button face.
    void ClearHighlight();
    QColor CardColour(int slot) const;

    // The filling frame: runs statement (failure message on failure), shows the rows of
    // the current page and sets the paging buttons. fillOne fills one card from the
    // current row and returns false to stop. False when the query or a card failed.
    // A paging button that had the focus keeps it while it stays enabled; one that turns
    // itself off hands the focus to the sheet, never to the next control in the window.
    using FillOne = std::function<bool(TCard &, DbQuery &)>;
    bool Fill(const QString &statement, const QString &message, const FillOne &fillOne);
    // The same for the kind's own statement narrowed by a search condition (empty, or
    // pieces that follow the statement's last parenthesis), the key into the card's tag and
    // the name and type fields into their labels; the values are the fill's.
    bool Fill(const FillOne &values = FillOne(), const QString &search = QString());

    static QColor ButtonFace();
    static QColor HighlightColour() { return QColor(166, 202, 240); }

private:
    void setColour(int slot, const QColor &colour);
    bool fillRows(const QString &statement, const QString &message, const FillOne &fillOne);

    const TCardKind &m_kind;
    QWidget *m_sheet = nullptr;
    QPushButton *m_prior = nullptr;
    QPushButton *m_next = nullptr;
    QLabel *m_hint = nullptr;
    bool m_created = false;
};
