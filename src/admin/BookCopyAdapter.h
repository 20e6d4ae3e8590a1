// MERGE ADAPTER (issue 19): the move of a file book onto a server book, declared here until
// src/db/BookCopy.h brings it. At the merge include "BookCopy.h" instead of this header
// and delete BookCopyAdapter.cpp (the layer's MoveBookToServer replaces its placeholder).
// The real one reads BookCopyCancelRequested() (ServerBookAdapter.h) between its steps.
#pragma once

#include "DbBackup.h"

#include <QString>

class DbConnection;

// Copies every row of the book open on from into the empty server book at address (opened
// with password; empty: the user's password file) in one transaction of the server, checks
// the row counts and sums of every table, and commits; on failure or cancel the server
// book is left empty. Progress is told after each step.
DbCopyResult MoveBookToServer(DbConnection &from, const QString &address,
                              const QString &password, const DbCopyProgress &progress);
