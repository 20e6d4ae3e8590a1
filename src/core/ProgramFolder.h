// Where the program keeps what it writes. A program folder the user can write (a build, an
// unpacked copy, a folder in the user's home) holds everything, as it always has. A program
// folder shared by every user of the computer (a system-wide install: a folder the user
// cannot write, or one marked with the file SharedInstall) holds only what is read: the
// program, Res, Frf and Help.html, and the prepared book; each user's book, settings,
// backups and saved pictures then live in the user's own data folder.
#pragma once

#include <QString>

// Empty when a file can be created in ProgramDir and the settings file and the database
// beside the program, where they exist, can be written; otherwise the message that says
// which folder or file it is and what the user can do about it.
QString ProgramFolderProblem();

// The name of the file that marks a program folder as shared by every user (the Debian
// package installs it), so that even a user who could write there (root) keeps the books in
// the home folder, where reinstalling the package never reaches them.
inline const QString SharedInstallMarker = QStringLiteral("SharedInstall");

// The user's own data folder, "quillmark" in the desktop's data location (for example
// ~/.local/share/quillmark), with a trailing '/'; empty when there is no home folder.
QString UserDataFolder();

// Chooses DataDir at start-up, after SetProgramDir: the program folder when it is the
// user's to write, otherwise UserDataFolder(), which is made on the first start readable by
// the user alone and given a copy of the prepared book beside the program. Empty when the
// chosen folder and the files in it can be written; otherwise the message that names the
// folders and what to do (DataDir is then left at the program folder).
QString UseDataFolder();

// Report templates ("Bill.frf"): where template `name` is read from (the user's own,
// changed copy in DataDir/Frf when there is one, else the one installed in ProgramDir/Frf)
// and where a template the user changed is saved (DataDir/Frf, made when missing).
QString TemplateToRead(const QString &name);
QString TemplateToSave(const QString &name);

// The pie chart saved as a picture: DataDir + "Cake.bmp".
QString CakePictureFile();
