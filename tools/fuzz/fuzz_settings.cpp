// The settings file with any content: reading never fails or hangs, a file the program
// may not use is never written over, and a value written into a usable one reads back.
#include "Scratch.h"
#include "Settings.h"

#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString file = ScratchFile(QStringLiteral("Quillmark.ini"));
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(content);
    }
    const bool usable = SettingsFileProblem(file).isEmpty();
    for (const QString &key : {SettingKey::UserPower, SettingKey::AccountType,
                               SettingKey::IncomePrompt})
        ReadSetting(SettingKey::Section, key, QStringLiteral("默认"), file);
    const bool written = WriteSetting(SettingKey::Section, SettingKey::PrintType,
                                      QStringLiteral("横向打印"), file);
    if (!usable) {
        QFile f(file);
        if (written || !f.open(QIODevice::ReadOnly) || f.readAll() != content)
            Broken();
    } else if (written && ReadSetting(SettingKey::Section, SettingKey::PrintType, QString(), file)
                              != QStringLiteral("横向打印")) {
        Broken();
    }
    return 0;
}
