#include "Settings.h"

#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "BookKind.h"
#include "Globals.h"

namespace {

int bytes(const QString &t)
{
    return static_cast<int>(t.toUtf8().size());
}

enum class FileState { Missing, Usable, NotAFile, TooLarge, Binary, NotUtf8, Unreadable };

// Reads the settings file whole when it is one the program may use: a plain file of at
// most SettingsFileLimit bytes of UTF-8 text. Anything else is left alone, unread past
// the limit (a file of gigabytes, a device that never ends).
FileState readSettingsFile(const QString &file, QByteArray *data)
{
    const QFileInfo info(file);
    if (!info.exists())
        return FileState::Missing;
    if (!info.isFile())
        return FileState::NotAFile;
    if (info.size() > SettingsFileLimit)
        return FileState::TooLarge;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return FileState::Unreadable;
    *data = f.read(SettingsFileLimit + 1);
    if (data->size() > SettingsFileLimit)
        return FileState::TooLarge;
    if (data->contains('\0'))
        return FileState::Binary;
    // Stateless: a character cut off at the end of the file is an error, not one still to
    // come (a fuzz run found such a file read as usable).
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(*data);   // the decoding happens here
    Q_UNUSED(text);
    if (utf8.hasError())
        return FileState::NotUtf8;
    return FileState::Usable;
}

bool loadIni(CSimpleIniA *ini, const QString &file)
{
    QByteArray data;
    if (readSettingsFile(file, &data) != FileState::Usable)
        return false;
    return ini->LoadData(data.constData(), size_t(data.size())) >= 0;
}

} // namespace

QString SettingsFileProblem(const QString &file)
{
    QByteArray data;
    QString why;
    switch (readSettingsFile(file, &data)) {
    case FileState::Missing:
    case FileState::Usable:
        return QString();
    case FileState::NotAFile:
        why = QStringLiteral("它不是一个普通文件");
        break;
    case FileState::TooLarge:
        why = QStringLiteral("它有 %1 字节，太大了，不像本软件的设置文件（本软件的设置文件只有几百字节）")
                  .arg(QFileInfo(file).size());
        break;
    case FileState::Binary:
        why = QStringLiteral("它含有二进制内容，不是文本文件");
        break;
    case FileState::NotUtf8:
        why = QStringLiteral("它不是 UTF-8 编码的文本（可能是其他程序写的）");
        break;
    case FileState::Unreadable:
        why = QStringLiteral("它无法读取（没有读取权限）");
        break;
    }
    return QStringLiteral("设置文件无法使用：\n%1\n\n原因：%2。\n\n"
                          "程序没有改动这个文件。它只保存上次登录的用户、选择的帐簿和打印方式等"
                          "设置，不保存帐务数据：请删除或改正它（删除后程序会重新建立它），"
                          "然后重新启动程序。")
        .arg(QDir::toNativeSeparators(file), why);
}

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
    // Line breaks would split the value over lines and corrupt the file; half of a
    // character has no UTF-8 form and would come back as another.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))
        || !QStringView(value).isValidUtf16())
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
    return ReadSetting(SettingKey::Section, SettingKey::AccountType, BookKindOf(BookId::Cash).name,
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
    // A folder in the file's place is the program folder's problem, said as such.
    const QString problem = SettingsFileProblem(SettingsFile);
    if (!problem.isEmpty() && QFileInfo(SettingsFile).isFile())
        return problem;
    return QStringLiteral("无法写入设置文件：%1\n请检查它所在的文件夹是否允许写入。")
        .arg(SettingsFile);
}
