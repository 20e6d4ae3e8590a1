// The settings file: defaults, plain UTF-8 names, the length limits and the readers that
// count any unexpected text as the other choice.
#include "Globals.h"
#include "Settings.h"
#include "TestFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(Settings, DefaultsWithoutAFile)
{
    TestFolder folder(false);
    EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("出纳"),
                          SettingsFile), QStringLiteral("出纳"));
    EXPECT_EQ(CurrentAccountBook(), QStringLiteral("现金帐"));
    EXPECT_TRUE(PortraitPrinting());
    EXPECT_TRUE(IncomeWriteOffPrompt());
    EXPECT_TRUE(ExpenseWriteOffPrompt());
    EXPECT_EQ(ReadSetting(SettingKey::DatabaseSection, SettingKey::Address, QString(),
                          SettingsFile), QString());
    EXPECT_FALSE(QFile::exists(SettingsFile));
}

struct ChoiceCase { const char *printType; const char *prompt; bool portrait; bool promptOn; };

class Choices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(Choices, AnythingButTheExpectedTextIsTheOtherChoice)
{
    TestFolder folder(false);
    const ChoiceCase c = GetParam();
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::PrintType,
                             QString::fromUtf8(c.printType), SettingsFile));
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::IncomePrompt,
                             QString::fromUtf8(c.prompt), SettingsFile));
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::ExpensePrompt,
                             QString::fromUtf8(c.prompt), SettingsFile));
    EXPECT_EQ(PortraitPrinting(), c.portrait);
    EXPECT_EQ(IncomeWriteOffPrompt(), c.promptOn);
    EXPECT_EQ(ExpenseWriteOffPrompt(), c.promptOn);
}

INSTANTIATE_TEST_SUITE_P(Table, Choices, ::testing::Values(
    ChoiceCase{"纵向打印", "提示", true, true}, ChoiceCase{"横向打印", "不提示", false, false},
    ChoiceCase{"portrait", "yes", false, false}, ChoiceCase{"", "", false, false},
    ChoiceCase{"纵向", "提示2", false, false}));

TEST(Settings, ChineseNamesRoundTripAsPlainUtf8)
{
    TestFolder folder(false);
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::IncomePrompt,
                             QStringLiteral("不提示"), SettingsFile));
    ASSERT_TRUE(WriteSetting(SettingKey::DatabaseSection, SettingKey::Address,
                             QStringLiteral("/共享/帐簿/Quillmark.MDB"), SettingsFile));
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("查看"),
                             SettingsFile));
    EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::IncomePrompt, QStringLiteral("提示"),
                          SettingsFile), QStringLiteral("不提示"));
    EXPECT_EQ(ReadSetting(SettingKey::DatabaseSection, SettingKey::Address, QString(),
                          SettingsFile), QStringLiteral("/共享/帐簿/Quillmark.MDB"));
    // Keys are found without regard to case, as the settings routines always did.
    EXPECT_EQ(ReadSetting(QStringLiteral("QUILLMARK"), QStringLiteral("userpower"), QString(),
                          SettingsFile), QStringLiteral("查看"));

    const QByteArray bytes = fileBytes(SettingsFile);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("[数据库内容]").toUtf8()));
    EXPECT_TRUE(bytes.contains(QStringLiteral("收入出帐提示").toUtf8()));
    EXPECT_TRUE(bytes.contains(QStringLiteral("不提示").toUtf8()));
    EXPECT_FALSE(bytes.contains("%U"));
}

TEST(Settings, OverlongTextsAreRefusedAndLongValuesCutAtACharacter)
{
    TestFolder folder(false);
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::PrintType, QStringLiteral("横向打印"),
                             SettingsFile));
    const QByteArray before = fileBytes(SettingsFile);

    EXPECT_FALSE(WriteSetting(SettingKey::Section, SettingKey::PrintType,
                              QString(1024, QLatin1Char('a')), SettingsFile));
    EXPECT_FALSE(WriteSetting(SettingKey::Section, QString(86, QChar(0x6C49)), QStringLiteral("x"),
                              SettingsFile));   // 258 bytes
    EXPECT_FALSE(WriteSetting(SettingKey::Section, SettingKey::PrintType,
                              QStringLiteral("a\nb=c"), SettingsFile));
    EXPECT_EQ(fileBytes(SettingsFile), before);
    EXPECT_EQ(ReadSetting(SettingKey::Section, QString(86, QChar(0x6C49)), QStringLiteral("默认"),
                          SettingsFile), QStringLiteral("默认"));

    EXPECT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower,
                             QString(1023, QLatin1Char('b')), SettingsFile));
    EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::UserPower, QString(), SettingsFile),
              QString(1022, QLatin1Char('b')));

    // A hand-edited file with a long Chinese value: 400 characters of 3 bytes each.
    writeFile(SettingsFile, "[Quillmark]\nUserPower=" + QString(400, QChar(0x6C49)).toUtf8() + "\n");
    const QString cut = ReadSetting(SettingKey::Section, SettingKey::UserPower, QString(),
                                    SettingsFile);
    EXPECT_EQ(cut, QString(340, QChar(0x6C49)));
    EXPECT_EQ(CutUtf8(QStringLiteral("a汉字"), 3), QStringLiteral("a"));
    EXPECT_EQ(CutUtf8(QStringLiteral("a汉字"), 4), QStringLiteral("a汉"));
}

TEST(Settings, UnwritableFileReportsFailureAndKeepsDefaults)
{
    TestFolder folder(false);
    const QString inMissingDir = folder.Path() + QStringLiteral("没有/Quillmark.ini");
    EXPECT_FALSE(WriteSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("出纳"),
                              inMissingDir));
    EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("出纳"),
                          inMissingDir), QStringLiteral("出纳"));
}

} // namespace
