#include "CardPage.h"

#include "Accessible.h"
#include "Globals.h"
#include "Look.h"
#include "ShareDM.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor Blue(0, 0, 255);

QLabel *cardLabel(QFrame *panel, const QString &text, const QRect &place, Qt::Alignment align,
                  const QColor &colour = QColor())
{
    auto *label = new QLabel(text, panel);
    label->setGeometry(place);
    label->setAlignment(align | Qt::AlignVCenter);
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    return label;
}

int cardsPerPage()
{
    return LargeCardPages ? 28 : 15;
}

} // namespace

QList<QWidget *> TCard::Members() const
{
    return {Panel, Caption1, Caption2, Caption3, Icon, TypeLabel, NameValue, SecondValue,
            ThirdValue};
}

qint64 TCard::Tag() const
{
    return Panel->property("Tag").toLongLong();
}

void TCard::SetTag(qint64 key)
{
    Panel->setProperty("Tag", key);
}

void TCard::SetValueColour(const QColor &colour)
{
    for (QLabel *label : {NameValue, SecondValue, TypeLabel, ThirdValue}) {
        QPalette p = label->palette();
        if (p.color(QPalette::WindowText) == colour)
            continue;
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
}

QString TCard::SpokenText() const
{
    const auto caption = [](const QLabel *label) { return label->text().remove(QChar(0xFF1A)); };
    return NameValue->text() + QStringLiteral("，") + caption(Caption2) + QLatin1Char(' ')
        + SecondValue->text() + QStringLiteral("，") + caption(Caption3) + QLatin1Char(' ')
        + ThirdValue->text();
}

void TCardPage::Attach(QWidget *sheet, QPushButton *prior, QPushButton *next, QLabel *hint)
{
    m_sheet = sheet;
    m_prior = prior;
    m_next = next;
    m_hint = hint;
}

QColor TCardPage::ButtonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void TCardPage::CreateCards(QObject *filter, const std::function<void(int)> &open)
{
    if (m_created)
        return;
    const QString &prefix = m_kind.prefix;
    for (int i = 0; i < SlotCount; ++i) {
        TCard &c = Cards[size_t(i)];
        const QString n = QString::number(i + 1);
        c.Panel = new QFrame(m_sheet);
        c.Panel->setObjectName(prefix + QStringLiteral("Panel") + n);
        c.Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        c.Panel->setGeometry(0, 0, 209, 79);
        c.Panel->setAutoFillBackground(true);
        c.Panel->hide();
        const auto left = Qt::AlignLeft;
        const auto centre = Qt::AlignHCenter;
        c.Caption1 = cardLabel(c.Panel, QStringLiteral("名称："), QRect(52, 8, 39, 20), centre);
        c.Caption2 = cardLabel(c.Panel, m_kind.secondCaption, QRect(52, 29, 39, 20), centre);
        c.Caption3 = cardLabel(c.Panel, m_kind.thirdCaption, QRect(52, 50, 39, 20), centre);
        c.Icon = cardLabel(c.Panel, QString(), QRect(8, 8, 41, 41), Qt::AlignHCenter);
        c.Icon->setPixmap(LoadPicture(m_kind.icon));
        c.TypeLabel = cardLabel(c.Panel, m_kind.typeText, QRect(4, 50, 48, 20), centre, Blue);
        c.NameValue = cardLabel(c.Panel, prefix + QStringLiteral("Name") + n,
                                QRect(92, 8, 114, 20), left, Blue);
        c.SecondValue = cardLabel(c.Panel, prefix + m_kind.secondValue + n,
                                  QRect(92, 29, 114, 20), left, Blue);
        c.ThirdValue = cardLabel(c.Panel, prefix + m_kind.thirdValue + n,
                                 QRect(92, 50, 114, 20), left, Blue);
        c.Icon->setObjectName(prefix + QStringLiteral("Icon") + n);
        c.NameValue->setObjectName(prefix + QStringLiteral("NameValue") + n);
        c.SecondValue->setObjectName(prefix + QStringLiteral("SecondValue") + n);
        c.ThirdValue->setObjectName(prefix + QStringLiteral("ThirdValue") + n);
        c.TypeLabel->setObjectName(prefix + QStringLiteral("TypeLabel") + n);
        QPalette p = c.Panel->palette();
        p.setColor(QPalette::Window, ButtonFace());
        c.Panel->setPalette(p);
        for (QWidget *w : c.Members()) {
            w->setCursor(Qt::PointingHandCursor);
            w->setMouseTracking(true);
            w->installEventFilter(filter);
        }
        MakePressable(c.Panel, QString(), [open, i] {
            if (open)
                open(i);
        });
        if (i > 0)
            QWidget::setTabOrder(Cards[size_t(i - 1)].Panel, c.Panel);
    }
    m_created = true;
}

int TCardPage::NeighbourOf(int slot, int step) const
{
    for (int i = slot + step; m_created && i >= 0 && i < SlotCount; i += step)
        if (!Cards[size_t(i)].Panel->isHidden())
            return i;
    return -1;
}

QPoint TCardPage::CardPlace(int slot, bool large)
{
    const int columns = large ? 4 : 3;
    return QPoint(8 + (slot % columns) * 216, 8 + (slot / columns) * 86);
}

void TCardPage::Layout(bool large)
{
    if (!m_created)
        return;
    for (int i = 0; i < SlotCount; ++i) {
        QFrame *panel = Cards[size_t(i)].Panel;
        panel->move(CardPlace(i, large));
        if (!large && i >= 15)
            panel->hide();
    }
}

int TCardPage::SlotOf(const QWidget *w) const
{
    if (!m_created || !w)
        return -1;
    for (int i = 0; i < SlotCount; ++i)
        for (const QWidget *m : Cards[size_t(i)].Members())
            if (m == w)
                return i;
    return -1;
}

QColor TCardPage::CardColour(int slot) const
{
    return Cards[size_t(slot)].Panel->palette().color(QPalette::Window);
}

void TCardPage::setColour(int slot, const QColor &colour)
{
    if (CardColour(slot) == colour)
        return;
    QFrame *panel = Cards[size_t(slot)].Panel;
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

void TCardPage::Highlight(int slot)
{
    if (!m_created)
        return;
    for (int i = 0; i < SlotCount; ++i)
        setColour(i, i == slot ? HighlightColour() : ButtonFace());
}

void TCardPage::ClearHighlight()
{
    Highlight(-1);
}

bool TCardPage::Fill(const QString &statement, const QString &message, const FillOne &fillOne)
{
    // Disabling the focused button would send the focus on to the date field, where a
    // typed digit changes the working date: the sheet takes it first.
    QWidget *focused = nullptr;
    if (m_sheet) {
        QWidget *current = m_sheet->window()->focusWidget();
        if (current == m_prior || current == m_next) {
            focused = current;
            m_sheet->setFocus();
        }
    }
    const bool filled = fillRows(statement, message, fillOne);
    if (focused && focused->isEnabled())
        focused->setFocus();
    return filled;
}

bool TCardPage::Fill(const FillOne &values, const QString &search)
{
    const TCardKind &k = m_kind;
    return Fill(k.Statement() + search, k.failure, [&k, &values](TCard &card, DbQuery &row) {
        card.SetTag(row.FieldByName(k.keyField).AsInteger());
        card.NameValue->setText(row.FieldByName(k.nameField).AsString());
        card.TypeLabel->setText(row.FieldByName(k.typeField).AsString());
        card.SecondValue->clear();
        card.ThirdValue->clear();
        return values ? values(card, row) : true;
    });
}

// Only the rows of the page shown are read: a count, then one page of the statement.
// With twenty thousand customers, reading them all to show fifteen took a quarter second.
bool TCardPage::fillRows(const QString &statement, const QString &message,
                         const FillOne &fillOne)
{
    m_prior->setEnabled(false);
    m_next->setEnabled(false);
    if (!m_created)
        return false;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, QStringLiteral("Select Count(*) As CardCount From (%1)").arg(statement),
                  message))
        return false;
    const int n = int(q.FieldByName(QStringLiteral("CardCount")).AsInteger());
    const int perPage = cardsPerPage();
    if (n == 0) {
        PageIndex = 0;
        for (int i = 0; i < perPage; ++i)
            Cards[size_t(i)].Panel->hide();
        m_hint->show();
        m_hint->raise();
        return true;
    }
    m_hint->hide();
    // A search or a deletion can leave fewer pages than the index: show the last that
    // holds cards rather than an empty one.
    PageIndex = qBound(0, PageIndex, (n - 1) / perPage);
    m_next->setEnabled(qint64(PageIndex + 1) * perPage < n);
    m_prior->setEnabled(PageIndex > 0);
    if (!RunQuery(q, statement + QStringLiteral(" Limit %1 Offset %2")
                                     .arg(perPage).arg(qint64(PageIndex) * perPage),
                  message))
        return false;
    for (int i = 0; i < perPage; ++i) {
        TCard &card = Cards[size_t(i)];
        if (q.Eof()) {
            card.Panel->hide();
            continue;
        }
        card.Panel->show();
        if (!fillOne(card, q))
            return false;
        card.Panel->setAccessibleName(card.SpokenText());
        q.Next();
    }
    return true;
}
