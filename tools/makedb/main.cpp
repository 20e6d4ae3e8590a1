// makedb: creates the prepared database Quillmark.MDB from schema.sql, encrypted with the
// database password. An existing file holds a user's data and is never touched.
//   makedb SCHEMA.sql OUTPUT.MDB
// The file is written under a temporary name and renamed when complete, so an interrupted
// build never leaves a half-made database behind (MakeFileBook).
#include "DatabaseKey.h"
#include "DbBackup.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: makedb SCHEMA.sql OUTPUT.MDB\n");
        return 2;
    }
    const QString schemaPath = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    if (QFile::exists(out)) {
        std::printf("makedb: %s exists and is kept\n", argv[2]);
        return 0;
    }
    QFile in(schemaPath);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "makedb: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString schema = QString::fromUtf8(in.readAll());
    const DbCopyResult made =
        MakeFileBook(out, schema, QString::fromLatin1(DatabasePassword));
    if (!made.ok) {
        std::fprintf(stderr, "makedb: %s\n", made.text.toLocal8Bit().constData());
        return 1;
    }
    std::printf("makedb: created %s\n", argv[2]);
    return 0;
}
