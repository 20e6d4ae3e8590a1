// The record grid: a read-only table of money records over a TRecordGridModel, with whole
// rows selected, a current row the program reads and moves, per-column titles, widths and
// centring, a footer row with fixed texts or column sums, a cell hook, a title-click hook
// and the keyboard (arrows, Page Up/Down, Home/End, Enter).
//
// The footer's sums are the model's, from its one aggregate statement when the grid was
// opened: painting never asks the engine for anything but the rows it shows.
#pragma once

#include "RecordGridModel.h"

#include <QColor>
#include <QFrame>
#include <QString>
#include <QVector>

class QScrollBar;
class QTableView;
class TRecordGridFooter;
class TRecordGridTable;

class TRecordGrid : public QFrame
{
    Q_OBJECT
public:
    explicit TRecordGrid(DbConnection *connection = nullptr, QWidget *parent = nullptr);
    ~TRecordGrid() override;

    TRecordGridModel *Model() const { return m_model; }
    // The connection the grid reads from; changing it closes the grid.
    void SetConnection(DbConnection *connection);
    QTableView *View() const;

    // Runs the statement and builds the columns anew from its fields, in field order: each
    // starts with its field name as title, the default width, left alignment, no footer and
    // a remembered width of 0. The first row becomes the current one. False, with the
    // engine's text in LastError(), when the statement fails; the grid is then empty.
    bool Open(const TRecordGridModel::Statement &statement);
    // Removes the rows and the columns.
    void Close();
    bool Active() const { return m_model->Active(); }
    QString LastError() const { return m_model->LastError(); }

    int ColumnCount() const { return m_model->columnCount(); }
    QString FieldOf(int column) const { return m_model->FieldNames().value(column); }
    // The column of a field, without regard to case; -1 when there is none.
    int ColumnOf(const QString &field) const { return m_model->FieldIndex(field); }

    void SetColumnTitle(int column, const QString &title);
    QString ColumnTitle(int column) const;
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    // Centres the column's title, its cells and its footer.
    void SetColumnCentred(int column, bool centred);
    bool ColumnCentred(int column) const;

    // A footer cell: a fixed text, or the sum of the column over every row of the grid as
    // the model summed it (the field must be one of the statement's sums). The colour is
    // the text's; invalid for the grid's own.
    void SetFooterText(int column, const QString &text, const QColor &colour = QColor());
    void SetFooterSum(int column, const QColor &colour = QColor());
    // What the footer cell shows and in which colour; empty for a column without footer.
    QString FooterText(int column) const;
    QColor FooterColour(int column) const;

    // The widest cell text drawn in the column since its columns were built, plus 20
    // pixels; 0 before any was drawn.
    int RememberedWidth(int column) const { return m_columns.value(column).remembered; }

    // Asked for the colour and font of every cell drawn (see TRecordGridModel::Cell).
    void SetCellHook(TRecordGridModel::CellHook hook) { m_model->SetCellHook(std::move(hook)); }

    // The current row: -1 when the grid has none. Its key and fields are those of the
    // model's row.
    int CurrentRow() const;
    qint64 CurrentKey() const;
    DbField CurrentField(const QString &field) const;
    // Makes the row current and shows it; false for a row the grid does not have.
    bool SetCurrentRow(int row);

signals:
    // A click on a column's title (not a drag of its edge).
    void TitleClicked(int column);
    // A double click in the grid or Enter on it: the user wants to edit the current row.
    void RowActivated();

private:
    struct Column
    {
        bool centred = false;
        enum class Footer { None, Text, Sum } footer = Footer::None;
        QString text;
        QColor colour;
        int remembered = 0;
    };
    friend class TRecordGridDelegate;

    void noteDrawn(int column, int textWidth);
    void syncScrollBar();
    void columnsBuilt();

    TRecordGridModel *m_model;
    TRecordGridTable *m_table;
    TRecordGridFooter *m_footer;
    QScrollBar *m_hbar;
    QVector<Column> m_columns;
};
