// The query layer behind its engine: rows found by the table's key (Parameter has no key
// column of its own), scripts for tools and tests, server addresses, and new book files.
#include "Database.h"
#include "DatabaseKey.h"
#include "DbBackup.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Password = QString::fromLatin1(DatabasePassword);

QStringList values(DbConnection &c, const QString &sql)
{
    DbQuery q(&c);
    q.SetSQL(sql);
    QStringList out;
    if (!q.Open())
        return {q.LastError()};
    for (q.First(); !q.Eof(); q.Next())
        out << q.FieldByName(QStringLiteral("ParameterValue")).AsString();
    return out;
}

// Two Parameter rows alike in every column: a change must reach the one the cursor is on.
struct KeyedChange
{
    const char *name;
    int row;
    std::function<bool(DbQuery &)> change;
    QStringList after;
};

class ParameterRows : public ::testing::TestWithParam<KeyedChange> {};

TEST_P(ParameterRows, ChangeTheRowTheCursorIsOn)
{
    TestDatabase t;
    DbConnection &c = t.dm->ADOConnection1;
    ASSERT_TRUE(c.ExecuteScript(QStringLiteral(
        "INSERT INTO Parameter VALUES (77, 'a'); INSERT INTO Parameter VALUES (77, 'b');"
        "INSERT INTO Parameter VALUES (77, 'b')")))
        << c.LastError().toStdString();
    const QString sql =
        QStringLiteral("Select * From Parameter Where ParameterType = 77 Order By ParameterValue");
    DbQuery q(&c);
    q.SetSQL(sql);
    ASSERT_TRUE(q.Open()) << q.LastError().toStdString();
    ASSERT_TRUE(q.CanModify());
    ASSERT_TRUE(q.MoveTo(GetParam().row));
    ASSERT_TRUE(GetParam().change(q)) << q.LastError().toStdString();
    QStringList cached;
    for (q.First(); !q.Eof(); q.Next())
        cached << q.FieldByName(QStringLiteral("ParameterValue")).AsString();
    cached.sort();
    EXPECT_EQ(cached, GetParam().after);
    EXPECT_EQ(values(c, sql), GetParam().after);
}

bool setValue(DbQuery &q, const char *value)
{
    return q.Edit() && q.SetField(QStringLiteral("ParameterValue"), QString::fromLatin1(value))
        && q.Post();
}

INSTANTIATE_TEST_SUITE_P(Table, ParameterRows, ::testing::Values(
    KeyedChange{"EditSecondTwin", 2, [](DbQuery &q) { return setValue(q, "x"); },
                {"a", "b", "x"}},
    KeyedChange{"EditFirstTwin", 1, [](DbQuery &q) { return setValue(q, "c"); },
                {"a", "b", "c"}},
    KeyedChange{"DeleteOneTwin", 1, [](DbQuery &q) { return q.Delete(); }, {"a", "b"}},
    KeyedChange{"AppendThenEdit", 0,
                [](DbQuery &q) {
                    return q.Append() && q.SetField(QStringLiteral("ParameterType"), 77)
                        && q.SetField(QStringLiteral("ParameterValue"), QStringLiteral("d"))
                        && q.Post() && setValue(q, "e");
                },
                {"a", "b", "b", "e"}}),
    [](const auto &info) { return std::string(info.param.name); });

struct Script
{
    const char *name;
    const char *sql;
    bool ok;
    const char *rows;   // Scratch's rows afterwards
};

class Scripts : public ::testing::TestWithParam<Script> {};

// Tools run several statements at once; a failing one is reported and nothing after it runs.
TEST_P(Scripts, RunInOrderAndStopAtTheFirstFailure)
{
    TestDatabase t;
    DbConnection &c = t.dm->ADOConnection1;
    ASSERT_TRUE(c.ExecuteScript(QStringLiteral("CREATE TABLE Scratch (ParameterValue TEXT)")));
    EXPECT_EQ(c.ExecuteScript(QString::fromUtf8(GetParam().sql)), GetParam().ok);
    EXPECT_EQ(c.LastError().isEmpty(), GetParam().ok) << c.LastError().toStdString();
    EXPECT_EQ(c.Fault(), DbFault::None);
    EXPECT_EQ(values(c, QStringLiteral("Select * From Scratch")).join(QLatin1Char(',')),
              QString::fromLatin1(GetParam().rows));
}

INSTANTIATE_TEST_SUITE_P(Table, Scripts, ::testing::Values(
    Script{"Several", "INSERT INTO Scratch VALUES ('1'); INSERT INTO Scratch VALUES ('2');",
           true, "1,2"},
    Script{"Mistake", "INSERT INTO Scratch VALUES ('1'); INSERT INTO Nowhere VALUES (2);"
                      "INSERT INTO Scratch VALUES ('3')", false, "1"},
    Script{"Empty", "", true, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Scripts, NeedAnOpenBook)
{
    DbConnection c;
    EXPECT_FALSE(c.ExecuteScript(QStringLiteral("SELECT 1")));
    EXPECT_EQ(c.LastError(), QStringLiteral("没有打开的数据库"));
}

TEST(ServerAddress, IsTheUriOnly)
{
    for (const char *a : {"postgresql://shop@db.example.cn:5432/book?sslmode=require",
                          "POSTGRES://shop@db/book", "postgresql:///book?host=/run/postgresql"})
        EXPECT_TRUE(IsServerAddress(QString::fromLatin1(a))) << a;
    for (const char *a : {"/home/shop/Quillmark.MDB", "postgresql/Quillmark.MDB",
                          "postgresql:/book", "", "file://postgresql://x"})
        EXPECT_FALSE(IsServerAddress(QString::fromLatin1(a))) << a;
}

TEST(NewBookFile, FromTheBuiltInSchemaOpensAsOneOfOurs)
{
    TestFolder folder(false);
    const QString path = folder.Path() + QStringLiteral("新账本.mdb");
    const DbCopyResult made = MakeFileBook(path, BookSchema(false), Password);
    ASSERT_TRUE(made.ok) << made.text.toStdString();
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
    DbConnection c;
    ASSERT_TRUE(c.Open(path, Password)) << c.LastError().toStdString();
    DbQuery q(&c);
    q.SetSQL(QStringLiteral("Select * From Power"));
    ASSERT_TRUE(q.Open());
    EXPECT_EQ(q.RecordCount(), 4);
}

TEST(NewBookFile, NeverReplacesAFileNorLeavesAHalfMadeOne)
{
    TestFolder folder(false);
    const QString kept = folder.Path() + QStringLiteral("kept.mdb");
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("data") == 4);
    f.close();
    EXPECT_FALSE(MakeFileBook(kept, BookSchema(false), Password).ok);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("data"));

    const QString broken = folder.Path() + QStringLiteral("broken.mdb");
    const DbCopyResult made =
        MakeFileBook(broken, QStringLiteral("CREATE TABLE A (x); nonsense;"), Password);
    EXPECT_FALSE(made.ok);
    EXPECT_FALSE(made.text.isEmpty());
    EXPECT_FALSE(QFile::exists(broken));
    EXPECT_FALSE(QFile::exists(broken + QStringLiteral(".part")));
}

} // namespace
