// The settings file Quillmark.ini: plain UTF-8 section and key names, values as texts.
// A missing file or key reads as the caller's default.
#pragma once

#include <QString>

// Sections and keys of the settings file.
namespace SettingKey {
inline const QString Section = QStringLiteral("Quillmark");
inline const QString DatabaseSection = QStringLiteral("数据库内容");
inline const QString UserPower = QStringLiteral("UserPower");
inline const QString AccountType = QStringLiteral("AccountType");
inline const QString PrintType = QStringLiteral("PrintType");
inline const QString IncomePrompt = QStringLiteral("收入出帐提示");
inline const QString ExpensePrompt = QStringLiteral("支出出帐提示");
inline const QString Address = QStringLiteral("Address");
} // namespace SettingKey

// Limits, in UTF-8 bytes: section, key, default and file name; a stored value; the whole
// settings file (ours holds a few hundred bytes).
constexpr int SettingNameLimit = 255;
constexpr int SettingValueLimit = 1023;
constexpr int SettingsFileLimit = 64 * 1024;

// Why the settings file cannot be used, as the message to show: it is no plain file, is
// larger than SettingsFileLimit, holds binary content or is not UTF-8 text. Empty when it
// is usable or missing. Such a file reads as missing (every key its default) and is never
// written over; sign-in needs to write it, so the program does not start with it.
QString SettingsFileProblem(const QString &file);

// The stored value, or def when the key or the file is missing. A section, key, default
// or file name longer than the name limit is refused: the default comes back (cut to the
// limit at a character boundary). A stored value is returned with at most 1022 bytes,
// never cut inside a character.
QString ReadSetting(const QString &section, const QString &key, const QString &def,
                    const QString &file);

// Writes one value, creating the file, section and key as needed; the file is replaced
// whole, so a failed write leaves the old file intact. False when a text is over its
// limit, the file cannot be written, or the file is one SettingsFileProblem refuses.
bool WriteSetting(const QString &section, const QString &key, const QString &value,
                  const QString &file);

// A UTF-8 text cut to at most maxBytes bytes without splitting a character.
QString CutUtf8(const QString &text, int maxBytes);

// Readers of the settings that several windows compare: the stored text against the
// expected one, anything else counting as the other choice.
QString CurrentAccountBook();      // AccountType, the cash book when missing
bool PortraitPrinting();           // PrintType is "纵向打印"
bool IncomeWriteOffPrompt();       // 收入出帐提示 is "提示"
bool ExpenseWriteOffPrompt();      // 支出出帐提示 is "提示"

// The message shown when the settings file cannot be written: SettingsFileProblem's when
// it has one.
QString SettingsNotWritten();
