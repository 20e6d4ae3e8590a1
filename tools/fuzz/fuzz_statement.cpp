// The statements' text routines on any input: the mask keeps every position, the
// translation never changes a quoted text, a text the check lets through is one statement
// to the engine, and any text pasted in with Quoted reads back as itself.
#include "SqlText.h"

#include <QString>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>

namespace {

sqlite3 *engine()
{
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        sqlite3_exec(d, "CREATE TABLE Customer (CustomerIndex INTEGER PRIMARY KEY, "
                        "CustomerName TEXT, CustomerRegion TEXT);"
                        "CREATE TABLE MoneyTable (MoneyIndex INTEGER PRIMARY KEY, "
                        "MoneyUser TEXT, MoneySum REAL, MoneyCreateTime TEXT)",
                     nullptr, nullptr, nullptr);
        return d;
    }();
    return db;
}

// Prepares the text; true when the engine took it and left nothing but blanks and ';'.
bool oneStatement(const QByteArray &sql, bool *prepared)
{
    sqlite3_stmt *st = nullptr;
    const char *tail = nullptr;
    *prepared = sqlite3_prepare_v2(engine(), sql.constData(), int(sql.size()), &st, &tail)
        == SQLITE_OK && st;
    if (!*prepared) {
        sqlite3_finalize(st);
        return true;   // refused by the engine: nothing ran
    }
    bool rest = false;
    for (; tail && tail < sql.constData() + sql.size(); ++tail)
        if (*tail != ';' && *tail != ' ' && *tail != '\t' && *tail != '\n' && *tail != '\r'
            && *tail != '\f' && *tail != '\v')
            rest = true;
    sqlite3_finalize(st);
    return !rest;
}

QString readBack(const QByteArray &sql)
{
    sqlite3_stmt *st = nullptr;
    QString value = QStringLiteral("<not prepared>");
    if (sqlite3_prepare_v2(engine(), sql.constData(), int(sql.size()), &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)),
                                  sqlite3_column_bytes(st, 0));
    sqlite3_finalize(st);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (MaskQuotedTexts(sql).size() != sql.size())
        __builtin_trap();

    const QString translated = TranslateDialect(sql);
    if (IsSingleSelect(translated)) {
        bool prepared = false;
        if (!oneStatement(translated.toUtf8(), &prepared))
            __builtin_trap();   // the check let a second statement through
    }

    // Pasted in as a quoted text, anything a line edit can hold reads back as itself,
    // around the translation as the windows' statements go.
    if (!sql.contains(QChar(0)) && QStringView(sql).isValidUtf16()) {
        const QString statement = QStringLiteral("Select ") + Quoted(sql)
            + QStringLiteral(" As V Where #2008-02-15# = #2008-02-15# And True");
        const QString engineText = TranslateDialect(statement);
        if (!IsSingleSelect(engineText) || readBack(engineText.toUtf8()) != sql)
            __builtin_trap();
    }
    return 0;
}
