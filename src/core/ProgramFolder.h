// Whether the program can keep its settings and its data where it lives: the settings
// file and the database sit in the program folder, and both are rewritten in place.
#pragma once

#include <QString>

// Empty when a file can be created in ProgramDir and the settings file and the database
// beside the program, where they exist, can be written; otherwise the message that says
// which folder or file it is and what the user can do about it.
QString ProgramFolderProblem();
