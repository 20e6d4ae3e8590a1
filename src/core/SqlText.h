// Pieces of SQL text: quoting of user texts and the translation of the statements the
// windows write (date literals between '#', the words True and False) into what the
// engine reads.
#pragma once

#include <QDate>
#include <QString>

// The text between single quotes with every quote inside doubled, ready to paste into a
// statement: Quoted("O'Brien") is 'O''Brien'. Every text pasted into a statement goes
// through here.
QString Quoted(const QString &text);

// A date literal in the statements' own form: #2008-02-15#.
QString DateLiteral(const QDate &date);

// The statement as the engine reads it: #yyyy-MM-dd# becomes 'yyyy-MM-dd' and the bare
// words True and False become 1 and 0. Nothing inside quotes is touched.
QString TranslateDialect(const QString &sql);
