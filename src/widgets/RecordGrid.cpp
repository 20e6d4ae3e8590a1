#include "RecordGrid.h"

#include "PublicFunction.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

// The table part: rows select whole, Home and End go to the first and last row (a row grid
// has no cell to go to), Enter and a double click ask for the current row to be edited.
class TRecordGridTable : public QTableView
{
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void Activated();
    void GeometriesUpdated();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        if (action != MoveHome && action != MoveEnd)
            return QTableView::moveCursor(action, modifiers);
        const int rows = model() ? model()->rowCount() : 0;
        if (rows == 0)
            return QModelIndex();
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        return model()->index(action == MoveHome ? 0 : rows - 1, column);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            event->accept();
            emit Activated();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        QTableView::mouseDoubleClickEvent(event);
        // Anywhere in the rows' area, an empty grid included: the owner says when there is
        // nothing to edit.
        if (event->button() == Qt::LeftButton)
            emit Activated();
    }

    void updateGeometries() override
    {
        QTableView::updateGeometries();
        emit GeometriesUpdated();
    }
};

// Draws the cells as the style does and tells the grid how wide each text was.
class TRecordGridDelegate : public QStyledItemDelegate
{
public:
    explicit TRecordGridDelegate(TRecordGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        m_grid->noteDrawn(index.column(), QFontMetrics(opt.font).horizontalAdvance(opt.text));
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    }

private:
    TRecordGrid *m_grid;
};

// The footer row under the rows, its cells lined up with the columns above.
class TRecordGridFooter : public QWidget
{
public:
    explicit TRecordGridFooter(TRecordGrid *grid) : QWidget(grid), m_grid(grid) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        const QTableView *table = m_grid->View();
        const QHeaderView *header = table->horizontalHeader();
        const QColor lines = palette().color(QPalette::Mid);
        p.setPen(lines);
        p.drawLine(0, 0, width(), 0);
        const int left = table->verticalHeader()->isVisible() ? table->verticalHeader()->width()
                                                              : 0;
        p.drawLine(left - 1, 0, left - 1, height());
        p.setClipRect(QRect(left, 0, width() - left, height()));
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            const QRect cell(left + header->sectionViewportPosition(column), 0,
                             header->sectionSize(column), height());
            if (cell.right() < left || cell.left() > width())
                continue;
            p.setPen(lines);
            p.drawLine(cell.right(), 0, cell.right(), height());
            const QString text = m_grid->FooterText(column);
            if (text.isEmpty())
                continue;
            const QColor colour = m_grid->FooterColour(column);
            p.setPen(colour.isValid() ? colour : palette().color(QPalette::WindowText));
            const Qt::Alignment align = m_grid->ColumnCentred(column)
                ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
            p.drawText(cell.adjusted(3, 0, -3, 0), int(align), text);
        }
    }

private:
    TRecordGrid *m_grid;
};

TRecordGrid::TRecordGrid(DbConnection *connection, QWidget *parent)
    : QFrame(parent),
      m_model(new TRecordGridModel(connection, this)),
      m_table(new TRecordGridTable(this)),
      m_footer(new TRecordGridFooter(this)),
      m_hbar(new QScrollBar(Qt::Horizontal, this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_table->setObjectName(QStringLiteral("Rows"));
    m_table->setFrameStyle(QFrame::NoFrame);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new TRecordGridDelegate(this));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->setShowGrid(true);
    m_table->setSortingEnabled(false);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The footer sits between the rows and the horizontal scroll bar, so the table's own
    // bar stays hidden and this one follows it.
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = fontMetrics().height() + 6;
    // Rows of one height: a grid of a million rows never measures them.
    QHeaderView *rows = m_table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView *titles = m_table->horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(false);
    titles->setHighlightSections(false);
    titles->setSortIndicatorShown(false);
    titles->setDefaultSectionSize(80);
    titles->setStretchLastSection(false);
    m_footer->setFixedHeight(rowHeight);
    m_hbar->hide();
    setFocusProxy(m_table);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_footer);
    layout->addWidget(m_hbar);

    QScrollBar *inner = m_table->horizontalScrollBar();
    connect(inner, &QScrollBar::valueChanged, m_hbar, &QScrollBar::setValue);
    connect(inner, &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_hbar, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
    connect(m_table, &TRecordGridTable::GeometriesUpdated, this, &TRecordGrid::syncScrollBar);
    connect(titles, &QHeaderView::sectionResized, m_footer, qOverload<>(&QWidget::update));
    connect(titles, &QHeaderView::sectionClicked, this, &TRecordGrid::TitleClicked);
    connect(m_table, &TRecordGridTable::Activated, this, &TRecordGrid::RowActivated);
}

TRecordGrid::~TRecordGrid()
{
    // QWidget hides and deletes the children after this part of the grid is gone: their
    // signals (a resize while hiding) must no longer reach it.
    m_table->disconnect(this);
    m_table->horizontalHeader()->disconnect(this);
}

QTableView *TRecordGrid::View() const
{
    return m_table;
}

void TRecordGrid::SetConnection(DbConnection *connection)
{
    if (connection != m_model->Connection())
        Close();
    m_model->SetConnection(connection);
}

bool TRecordGrid::Open(const TRecordGridModel::Statement &statement)
{
    m_model->ResetColumnLooks();
    const bool ok = m_model->Open(statement);
    columnsBuilt();
    SetCurrentRow(0);
    return ok;
}

void TRecordGrid::Close()
{
    m_model->ResetColumnLooks();
    m_model->Close();
    columnsBuilt();
}

void TRecordGrid::columnsBuilt()
{
    m_columns = QVector<Column>(m_model->columnCount());
    QHeaderView *titles = m_table->horizontalHeader();
    for (int column = 0; column < titles->count(); ++column)
        titles->resizeSection(column, titles->defaultSectionSize());
    m_footer->update();
}

void TRecordGrid::SetColumnTitle(int column, const QString &title)
{
    if (column >= 0 && column < ColumnCount())
        m_model->SetTitle(FieldOf(column), title);
}

QString TRecordGrid::ColumnTitle(int column) const
{
    return m_model->headerData(column, Qt::Horizontal).toString();
}

void TRecordGrid::SetColumnWidth(int column, int width)
{
    if (column >= 0 && column < ColumnCount())
        m_table->horizontalHeader()->resizeSection(column, width);
}

int TRecordGrid::ColumnWidth(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return 0;
    return m_table->horizontalHeader()->sectionSize(column);
}

void TRecordGrid::SetColumnCentred(int column, bool centred)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].centred = centred;
    m_model->SetAlignment(FieldOf(column), centred ? Qt::AlignCenter
                                                   : Qt::AlignLeft | Qt::AlignVCenter);
    m_footer->update();
}

bool TRecordGrid::ColumnCentred(int column) const
{
    return m_columns.value(column).centred;
}

void TRecordGrid::SetFooterText(int column, const QString &text, const QColor &colour)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].footer = Column::Footer::Text;
    m_columns[column].text = text;
    m_columns[column].colour = colour;
    m_footer->update();
}

void TRecordGrid::SetFooterSum(int column, const QColor &colour)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].footer = Column::Footer::Sum;
    m_columns[column].text.clear();
    m_columns[column].colour = colour;
    m_footer->update();
}

QString TRecordGrid::FooterText(int column) const
{
    const Column c = m_columns.value(column);
    switch (c.footer) {
    case Column::Footer::Text:
        return c.text;
    case Column::Footer::Sum:
        return AmountText(m_model->FooterSum(FieldOf(column)));
    case Column::Footer::None:
        break;
    }
    return QString();
}

QColor TRecordGrid::FooterColour(int column) const
{
    return m_columns.value(column).colour;
}

void TRecordGrid::noteDrawn(int column, int textWidth)
{
    if (column < 0 || column >= m_columns.size())
        return;
    int &remembered = m_columns[column].remembered;
    remembered = qMax(remembered, textWidth + 20);
}

int TRecordGrid::CurrentRow() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : -1;
}

qint64 TRecordGrid::CurrentKey() const
{
    return m_model->KeyOfRow(CurrentRow());
}

DbField TRecordGrid::CurrentField(const QString &field) const
{
    return m_model->FieldAt(CurrentRow(), field);
}

bool TRecordGrid::SetCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0)
        return false;
    const QModelIndex current = m_table->currentIndex();
    const QModelIndex at = m_model->index(row, current.isValid() ? current.column() : 0);
    m_table->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollTo(at);
    return true;
}

void TRecordGrid::syncScrollBar()
{
    const QScrollBar *inner = m_table->horizontalScrollBar();
    m_hbar->setRange(inner->minimum(), inner->maximum());
    m_hbar->setPageStep(inner->pageStep());
    m_hbar->setSingleStep(inner->singleStep());
    m_hbar->setValue(inner->value());
    m_hbar->setVisible(inner->maximum() > inner->minimum());
    m_footer->update();
}

#include "RecordGrid.moc"
