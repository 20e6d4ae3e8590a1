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

} // namespace

QString TranslateDialect(const QString &sql)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quoted text, with doubled quotes inside, is copied as it stands.
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const int close = sql.indexOf(QLatin1Char('#'), i + 1);
            if (close > i) {
                QString inner = sql.mid(i + 1, close - i - 1).trimmed();
                inner.replace(QLatin1Char('\''), QLatin1String("''"));
                out += QLatin1Char('\'') + inner + QLatin1Char('\'');
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
