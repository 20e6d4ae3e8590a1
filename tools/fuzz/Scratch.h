// A private folder for the files a fuzz target works on. It goes when the target ends, and
// also when a property breaks: libFuzzer then ends the process without running destructors.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>

inline QTemporaryDir &ScratchFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillmark-fuzz-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir;
}

// A file name inside the scratch folder.
inline QString ScratchFile(const QString &name)
{
    return ScratchFolder().filePath(name);
}

// Stops the fuzzer on a broken property; the input is kept by libFuzzer, not by us.
[[noreturn]] inline void Broken()
{
    ScratchFolder().remove();
    __builtin_trap();
}
