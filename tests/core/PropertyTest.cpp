// Properties of the pure routines over generated inputs: quoting and the statements'
// translation never change a quoted text and always give the engine one statement, amounts
// read back from their text and from their capitals, document numbers count up.
#include "PublicFunction.h"
#include "ShareDM.h"
#include "SqlText.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>
#include <sqlite3.h>

#include <QStringList>

#include <cmath>

namespace {

// Any character a user can type or paste, the awkward ones often: quotes, '#', the SQL
// signs, blanks and line breaks, the ideographic space, Chinese, and characters outside
// the basic plane. No NUL: a text field cannot hold one.
rc::Gen<QString> anyText()
{
    const rc::Gen<char32_t> awkward = rc::gen::element<char32_t>(
        U'\'', U'"', U'#', U'%', U'_', U'*', U';', U'-', U'/', U'\\', U' ', U'\t', U'\n', U'\r',
        U'(', U')', U',', U'=', U'T', U'r', U'u', U'e', U'0', U'9', U'\u3000', U'张', U'帐',
        U'\U0001F600', U'\U00020000');
    const rc::Gen<char32_t> anyPoint = rc::gen::oneOf(
        rc::gen::inRange<char32_t>(1, 0xD800), rc::gen::inRange<char32_t>(0xE000, 0x110000));
    const rc::Gen<char32_t> point = rc::gen::weightedOneOf<char32_t>({{3, awkward}, {1, anyPoint}});
    return rc::gen::map(rc::gen::container<std::u32string>(point), [](const std::u32string &s) {
        return QString::fromUcs4(s.data(), qsizetype(s.size()));
    });
}

// The one text value of a statement as the engine reads it, or a marker when the engine
// saw anything but one statement.
QString engineReads(const QString &statement)
{
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    const QByteArray sql = TranslateDialect(statement).toUtf8();
    sqlite3_stmt *st = nullptr;
    const char *tail = nullptr;
    QString value = QStringLiteral("<not prepared>");
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, &tail) == SQLITE_OK) {
        if (tail && QByteArray(tail).trimmed().size() > 0)
            value = QStringLiteral("<more than one statement>");
        else if (sqlite3_step(st) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)),
                                      sqlite3_column_bytes(st, 0));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return value;
}

RC_GTEST_PROP(Quoting, AnyTextReadsBackExactly, ())
{
    const QString text = *anyText();
    const QString statement = QStringLiteral("Select ") + Quoted(text) + QStringLiteral(" As V");
    RC_ASSERT(IsSingleSelect(TranslateDialect(statement)));
    RC_ASSERT(engineReads(statement) == text);
}

// A statement made of the pieces the windows paste together: quoted texts, date literals,
// True/False, InStr, comparisons. The translation keeps every quoted text as it stands, in
// order, and the result is one Select.
RC_GTEST_PROP(Translation, KeepsQuotedTextsAndGivesOneStatement, ())
{
    const auto texts = *rc::gen::container<std::vector<QString>>(anyText());
    const auto glue = *rc::gen::container<std::vector<int>>(texts.size(),
                                                            rc::gen::inRange(0, 7));
    QString statement = QStringLiteral("Select * From Customer Where (CustomerIndex > 1)");
    QStringList quoted;
    for (size_t i = 0; i < texts.size(); ++i) {
        static const char *const joins[] = {" And CustomerName = ", " Or InStr(CustomerRemark,",
                                            " And True = ", " Or # ", " And MoneyCreateTime = #2008-02-15# And x = ",
                                            " And CustomerRegion In (", " And False <> "};
        statement += QString::fromUtf8(joins[glue[i]]);
        quoted << Quoted(texts[i]);
        statement += quoted.last();
        if (glue[i] == 1 || glue[i] == 5)
            statement += QLatin1Char(')');
    }
    const QString translated = TranslateDialect(statement);
    RC_ASSERT(IsSingleSelect(translated));
    qsizetype from = 0;
    for (const QString &q : quoted) {
        const qsizetype at = translated.indexOf(q, from);
        RC_ASSERT(at >= 0);
        from = at + q.size();
    }
}

RC_GTEST_PROP(AmountText, WholeCentsReadBackExactly, ())
{
    const qint64 cents = *rc::gen::inRange<qint64>(-9999999999999LL, 10000000000000LL);
    const double amount = double(cents) / 100.0;
    const QString text = AmountText(amount);
    RC_ASSERT(text.toDouble() == amount);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    RC_ASSERT(point < 0 || text.size() - point - 1 <= 2);
}

RC_GTEST_PROP(AmountText, AnyAmountRoundsToTheNearestCent, ())
{
    const double amount = *rc::gen::map(rc::gen::inRange<qint64>(-100000000000000LL,
                                                                  100000000000000LL),
                                        [](qint64 v) { return double(v) / 1000.0; });
    const QString text = AmountText(amount);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    RC_ASSERT(point < 0 || text.size() - point - 1 <= 2);
    RC_ASSERT(std::abs(text.toDouble() - amount) <= 0.005 + 1e-9 * std::abs(amount));
}

// The capitals of a bill read back: each digit, its unit and an ideographic space.
qint64 fenOfCapitals(const QString &capitals)
{
    static const QString numerals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    if (capitals.size() % 3 != 0)
        return -1;
    qint64 fen = 0;
    for (qsizetype i = 0; i < capitals.size(); i += 3) {
        const qsizetype digit = numerals.indexOf(capitals.at(i));
        if (digit < 0 || capitals.at(i + 2) != QChar(0x3000))
            return -1;
        fen = fen * 10 + digit;
    }
    return fen;
}

RC_GTEST_PROP(Capitals, EveryAmountUpToANinetyNineMillionReadsBack, ())
{
    const qint64 fen = *rc::gen::inRange<qint64>(0, 10000000000LL);
    const QString capitals = AmountToCapitals(double(fen) / 100.0);
    RC_ASSERT(fenOfCapitals(capitals) == fen);
    // The units run 分 角 元 拾 … from the right, whatever the digits.
    static const QString units = QStringLiteral("分角元拾佰仟万拾佰仟亿");
    for (qsizetype k = 0; k * 3 < capitals.size(); ++k)
        RC_ASSERT(capitals.at(capitals.size() - 2 - 3 * k) == units.at(k));
}

RC_GTEST_PROP(DocumentNumbers, TheNextOfAValidNumberIsValidAndGreater, ())
{
    const auto prefixChars = rc::gen::element<char>('A', 'B', 'N', 'O', '-', '0', '/', 'x');
    const std::string prefix = *rc::gen::container<std::string>(prefixChars);
    const qint64 tail = *rc::gen::inRange<qint64>(1, 2147483647LL);
    const QString number = QString::fromStdString(prefix) + QString::number(tail);
    RC_PRE(IsValidDocumentNumber(number));
    const QString next = NextDocumentNumber(number);
    RC_ASSERT(IsValidDocumentNumber(next));
    RC_ASSERT(next.startsWith(QString::fromStdString(prefix)));
    RC_ASSERT(next.mid(qsizetype(prefix.size())).toLongLong() == tail + 1);
}

} // namespace
