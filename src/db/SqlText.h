// Pieces of SQL text: quoting of user texts, the translation of the statements the
// windows write (date literals between '#', the words True and False, InStr) into what the
// engine reads, and the checks made on a statement before the engine sees it. Every scan
// here knows quoted texts: nothing between quotes is ever read as SQL.
#pragma once

#include <QDate>
#include <QString>

// The text between single quotes with every quote inside doubled, ready to paste into a
// statement: Quoted("O'Brien") is 'O''Brien'. Every text pasted into a statement goes
// through here.
QString Quoted(const QString &text);

// A date literal in the statements' own form: #2008-02-15#.
QString DateLiteral(const QDate &date);

// The statement as the engine reads it: #yyyy-MM-dd# becomes 'yyyy-MM-dd', the bare words
// True and False become 1 and 0, and InStr( becomes the connection's InStr that ignores
// the case of Latin letters (InStrNoCase). A '#' only opens a date literal when its
// closing '#' comes before any quote or line break. Nothing inside quotes is touched.
QString TranslateDialect(const QString &sql);

// The name under which DbConnection registers the case-blind InStr.
inline constexpr char InStrFunction[] = "InStrNoCase";

// The statement with the contents of its quoted texts replaced by blanks: same length,
// quotes kept, so that positions found in the mask are positions in the statement and no
// word inside a customer's name ("Union Trading") is taken for a keyword.
QString MaskQuotedTexts(const QString &sql);

// True when the text is one Select statement and nothing else: it starts with the word
// Select, holds no second statement (a ';' may only end it), no comment, and no quote left
// open. Otherwise false with the reason, in Chinese, in *why.
bool IsSingleSelect(const QString &sql, QString *why = nullptr);
