// makedb: creates the prepared database Quillmark.MDB from schema.sql, encrypted with the
// database password. An existing file holds a user's data and is never touched.
//   makedb SCHEMA.sql OUTPUT.MDB
// The file is written under a temporary name and renamed when complete, so an interrupted
// build never leaves a half-made database behind.
#include "../../src/core/DatabaseKey.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace {

bool fileExists(const std::string &path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

int fail(sqlite3 *db, const std::string &tmp, const std::string &what)
{
    std::fprintf(stderr, "makedb: %s\n", what.c_str());
    if (db)
        sqlite3_close(db);
    std::remove(tmp.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: makedb SCHEMA.sql OUTPUT.MDB\n");
        return 2;
    }
    const std::string schemaPath = argv[1];
    const std::string out = argv[2];
    if (fileExists(out)) {
        std::printf("makedb: %s exists and is kept\n", out.c_str());
        return 0;
    }
    std::ifstream in(schemaPath);
    if (!in) {
        std::fprintf(stderr, "makedb: cannot read %s\n", schemaPath.c_str());
        return 1;
    }
    std::stringstream schema;
    schema << in.rdbuf();

    const std::string tmp = out + ".part";
    std::remove(tmp.c_str());
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        return fail(db, tmp, "cannot create " + tmp);
    if (sqlite3_key(db, DatabasePassword, static_cast<int>(sizeof DatabasePassword - 1))
        != SQLITE_OK)
        return fail(db, tmp, "cannot set the database password");
    const std::string script = "BEGIN;\n" + schema.str() + "\nCOMMIT;\n";
    char *err = nullptr;
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string what = std::string("schema failed: ") + (err ? err : "?");
        sqlite3_free(err);
        return fail(db, tmp, what);
    }
    if (sqlite3_close(db) != SQLITE_OK)
        return fail(nullptr, tmp, "cannot close " + tmp);
    if (std::rename(tmp.c_str(), out.c_str()) != 0)
        return fail(nullptr, tmp, "cannot rename " + tmp + " to " + out);
    std::printf("makedb: created %s\n", out.c_str());
    return 0;
}
