// The printouts' scratch tables, PrintTable and PrintReport: a statement's lines written over
// the table's rows in their stored order and read back as the printout's rows, all inside
// one write transaction.
//
// Written this way a statement is whole or not there at all: a failure half-way rolls
// every row back to the previous statement; a table with fewer rows than lines gets the
// rows it lacks at its end, so no line is lost; and since the rows are read back before
// the transaction ends, another copy of the program on the same book cannot write its
// statement between the writing and the reading.
#pragma once

#include "Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <vector>

struct ScratchTable
{
    QString table;         // PrintTable
    QString key;           // PrintIndex: an integer key that gives the stored order
    QString enable;        // PrintEnable: the row belongs to the current statement
    QStringList columns;   // PrintValue1 …: a line's texts, in order
};

struct ScratchRows
{
    QStringList fields;                     // every column of the table
    std::vector<QVector<QVariant>> rows;    // the enabled rows, in the stored order
};

// Writes the lines (each holding up to columns.size() texts, the rest written empty) over
// the first rows of the table, appends the rows it lacks, disables every other row that is
// enabled (told after each 100 as disabled(rows so far)) and reads the enabled rows back.
// False, with a message in *error and the fault behind it, when anything failed: the table
// is then as it was.
bool RewriteScratchTable(DbConnection *conn, const ScratchTable &table,
                         const std::vector<QStringList> &lines, ScratchRows *printed,
                         QString *error, DbFault *fault = nullptr,
                         const std::function<void(int disabled)> &disabled = {});

// The two tables as the printouts use them.
ScratchTable PrintTableScratch();    // PrintValue1 … PrintValue10
ScratchTable PrintReportScratch();   // ReportGrid1 … ReportGrid8
