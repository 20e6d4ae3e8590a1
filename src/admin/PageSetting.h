// The settings page "软件设置" (the administrator's): users and their passwords, the data
// modification password, the print orientation, the two write-off prompts and the four
// pick lists. The main window places it on its panel PanelSetting and fills it at the
// administrator's sign-in.
#pragma once

#include <QWidget>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct TParameterKind;

class TPageSetting : public QWidget
{
    Q_OBJECT
public:
    // Fills parent (the panel PanelSetting) from its top left corner.
    explicit TPageSetting(QWidget *parent);

    // The user box.
    QComboBox *ComboBox1;     // users; at first only 管理员 and 出纳
    QLineEdit *Edit4;         // a new user's name, in the list's place while adding
    QLineEdit *Edit1;         // the selected user's password, in plain text
    QPushButton *Button19;    // 新增用户 (builds with user administration only)
    QPushButton *Button20;    // 删除用户 (likewise)
    QPushButton *Button10;    // 修改密码, or 确  定 while adding
    // The data modification password.
    QLineEdit *Edit2;
    QPushButton *Button11;
    // Preferences.
    QComboBox *ComboBox4;     // 纵向打印 / 横向打印, saved by Button12
    QPushButton *Button12;
    QComboBox *ComboBox2;     // 收入出帐提示, saved when changed
    QComboBox *ComboBox5;     // 支出出帐提示, saved when changed
    // 单据设计: always enabled, opens the template designer.
    QPushButton *ButtonDesign;
    // Set by the program: shows the template designer modally.
    std::function<void()> ShowDesigner;

    // The list box of a pick list (ParameterType 1 to 4).
    QListWidget *ListBoxOf(int type) const;
    bool AddingUser() const { return m_adding; }

    // The administrator signed in (at start-up or again): the add and delete buttons as
    // the build allows, the four lists, the preferences and the passwords. An unfinished
    // new user stays as it was.
    void AdministratorSignedIn();

    // Users and passwords.
    void LoadPasswords();
    // Reads the users back into ComboBox1 (all but the data modification row); false when
    // the statement failed, with message shown.
    bool LoadUserList(const QString &message);
    void Button10Click();
    void Button11Click();
    void Button19Click();
    void Button20Click();
    void ComboBox1Change();

    // Pick lists.
    bool LoadParameterList(int type);
    void AddParameter(int type);
    void EditParameter(int type);
    void DeleteParameter(int type);

    // Preferences.
    void LoadPreferences();
    void Button12Click();
    void ComboBox2Change();
    void ComboBox5Change();

    // Templates.
    void ActionDesignExecute();

private:
    void buildUserBox();
    void buildPasswordBox();
    void buildPrintBox();
    void buildPromptBox();
    void buildDesignBox();
    void buildList(const TParameterKind &kind);
    QGroupBox *box(const QString &name, const QRect &place);
    void heading(const QString &name, const QString &text, const QString &picture,
                 const QPoint &at, bool red = false);
    void setPassword();
    void addUser();
    void leaveAdding();
    void savePrompt(QComboBox *combo, const QString &key, const QString &said);
    bool lookUp(int type, const QString &value);

    QListWidget *m_lists[4] = {};
    bool m_adding = false;
};
