#include "SqlText.h"

QString Quoted(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString DateLiteral(const QDate &date)
{
    return QLatin1Char('#') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('#');
}

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('\'') || c == QLatin1Char('"');
}

// The index of the quote that closes the quoted text opening at i (doubled quotes inside
// stay inside), or -1 when the text runs to the end unclosed.
int closingQuote(const QString &sql, int i)
{
    const QChar q = sql.at(i);
    for (int j = i + 1; j < sql.size(); ++j) {
        if (sql.at(j) != q)
            continue;
        if (j + 1 < sql.size() && sql.at(j + 1) == q) {
            ++j;
            continue;
        }
        return j;
    }
    return -1;
}

// The '#' that closes a date literal opened at i: the next '#' on the same line with no
// quote in between, or -1.
int closingHash(const QString &sql, int i)
{
    for (int j = i + 1; j < sql.size(); ++j) {
        const QChar c = sql.at(j);
        if (c == QLatin1Char('#'))
            return j;
        if (isQuote(c) || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return -1;
    }
    return -1;
}

// True when the next character after position j that is not a blank is '('.
bool callFollows(const QString &sql, int j)
{
    while (j < sql.size() && sql.at(j).isSpace())
        ++j;
    return j < sql.size() && sql.at(j) == QLatin1Char('(');
}

} // namespace

QString TranslateDialect(const QString &sql)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (isQuote(c)) {
            // A quoted text, with doubled quotes inside, is copied as it stands.
            const int close = closingQuote(sql, i);
            const int end = close < 0 ? n : close + 1;
            out += sql.mid(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const int close = closingHash(sql, i);
            if (close > i) {
                out += Quoted(sql.mid(i + 1, close - i - 1).trimmed());
                i = close + 1;
                continue;
            }
        }
        if (isWordChar(c) && (i == 0 || !isWordChar(sql.at(i - 1)))) {
            int j = i;
            while (j < n && isWordChar(sql.at(j)))
                ++j;
            const QString word = sql.mid(i, j - i);
            if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                out += QLatin1Char('1');
            else if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                out += QLatin1Char('0');
            else if (word.compare(QLatin1String("InStr"), Qt::CaseInsensitive) == 0
                     && callFollows(sql, j))
                out += QLatin1String(InStrFunction);
            else
                out += word;
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

QString MaskQuotedTexts(const QString &sql)
{
    QString out = sql;
    for (int i = 0; i < out.size(); ++i) {
        if (!isQuote(out.at(i)))
            continue;
        const int close = closingQuote(out, i);
        const int end = close < 0 ? out.size() : close;
        for (int j = i + 1; j < end; ++j)
            out[j] = QLatin1Char(' ');
        i = end;
    }
    return out;
}

bool IsSingleSelect(const QString &sql, QString *why)
{
    auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    // The engine stops reading at a NUL character: what follows it would be dropped unseen.
    if (sql.contains(QChar(0)))
        return refuse(QStringLiteral("语句中含有空字符"));
    for (int i = 0; i < sql.size(); ++i)
        if (isQuote(sql.at(i))) {
            const int close = closingQuote(sql, i);
            if (close < 0)
                return refuse(QStringLiteral("语句中的引号没有配对"));
            i = close;
        }
    const QString mask = MaskQuotedTexts(sql);
    const QString trimmed = mask.trimmed();
    int first = 0;
    while (first < trimmed.size() && isWordChar(trimmed.at(first)))
        ++first;
    if (trimmed.left(first).compare(QLatin1String("select"), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("只能执行查询语句（Select）"));
    if (mask.contains(QLatin1String("--")) || mask.contains(QLatin1String("/*")))
        return refuse(QStringLiteral("查询语句中不能有注释"));
    const int semicolon = mask.indexOf(QLatin1Char(';'));
    if (semicolon >= 0) {
        for (int i = semicolon; i < mask.size(); ++i)
            if (!QStringView(u"; \t\n\r\f").contains(mask.at(i)))   // the engine's blanks only
                return refuse(QStringLiteral("一次只能执行一条语句"));
    }
    return true;
}
