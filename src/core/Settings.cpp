#include "Settings.h"

#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <QFile>
#include <QSaveFile>

#include "Globals.h"

namespace {

int bytes(const QString &t)
{
    return static_cast<int>(t.toUtf8().size());
}

bool loadIni(CSimpleIniA *ini, const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    return ini->LoadData(data.constData(), size_t(data.size())) >= 0;
}

} // namespace

QString CutUtf8(const QString &text, int maxBytes)
{
    if (bytes(text) <= maxBytes)
        return text;
    QString out;
    int used = 0;
    for (int i = 0; i < text.size();) {
        const int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        const int b = bytes(ch);
        if (used + b > maxBytes)
            break;
        out += ch;
        used += b;
        i += len;
    }
    return out;
}

QString ReadSetting(const QString &section, const QString &key, const QString &def,
                    const QString &file)
{
    if (bytes(section) > SettingNameLimit || bytes(key) > SettingNameLimit
        || bytes(def) > SettingNameLimit || bytes(file) > SettingNameLimit)
        return CutUtf8(def, SettingNameLimit);
    CSimpleIniA ini(true, false, false);
    if (!loadIni(&ini, file))
        return def;
    const char *v = ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(),
                                 nullptr);
    if (!v)
        return def;
    // The value and its terminating zero fit the 1023 bytes a reader passes.
    return CutUtf8(QString::fromUtf8(v), SettingValueLimit - 1);
}

bool WriteSetting(const QString &section, const QString &key, const QString &value,
                  const QString &file)
{
    if (section.isEmpty() || key.isEmpty() || bytes(section) > SettingNameLimit
        || bytes(key) > SettingNameLimit || bytes(file) > SettingNameLimit
        || bytes(value) > SettingValueLimit)
        return false;
    // Line breaks would split the value over lines and corrupt the file.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    CSimpleIniA ini(true, false, false);
    if (QFile::exists(file) && !loadIni(&ini, file))
        return false;
    if (ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(),
                     value.toUtf8().constData()) < 0)
        return false;
    std::string text;
    if (ini.Save(text, false) < 0)
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(text.data(), qint64(text.size()));
    return out.commit();
}

namespace {

bool settingIs(const QString &key, const QString &expected)
{
    return ReadSetting(SettingKey::Section, key, expected, SettingsFile) == expected;
}

} // namespace

QString CurrentAccountBook()
{
    return ReadSetting(SettingKey::Section, SettingKey::AccountType, QStringLiteral("现金帐"),
                       SettingsFile);
}

bool PortraitPrinting()
{
    return settingIs(SettingKey::PrintType, QStringLiteral("纵向打印"));
}

bool IncomeWriteOffPrompt()
{
    return settingIs(SettingKey::IncomePrompt, QStringLiteral("提示"));
}

bool ExpenseWriteOffPrompt()
{
    return settingIs(SettingKey::ExpensePrompt, QStringLiteral("提示"));
}

QString SettingsNotWritten()
{
    return QStringLiteral("无法写入设置文件：%1\n请检查程序所在文件夹是否允许写入。").arg(SettingsFile);
}
