#include "ParameterKind.h"

#include <QtGlobal>

namespace {

// Buttons are 41 × 21 in a row under their list, 40 apart.
TParameterKind kind(int type, const char *title, const QRect &list, int firstButton,
                    const char *noun, const char *promptNoun)
{
    TParameterKind k;
    k.type = type;
    k.title = QString::fromUtf8(title);
    k.listBox = QStringLiteral("ListBox%1").arg(type);
    k.list = list;
    k.addButton = QStringLiteral("Button%1").arg(firstButton);
    k.editButton = QStringLiteral("Button%1").arg(firstButton + 1);
    k.deleteButton = QStringLiteral("Button%1").arg(firstButton + 2);
    const QString n = QString::fromUtf8(noun);
    k.addPrompt = QStringLiteral("请输入新%1的名称").arg(QString::fromUtf8(promptNoun));
    k.editPrompt = QStringLiteral("请输入%1的名称").arg(QString::fromUtf8(promptNoun));
    k.empty = n + QStringLiteral("名不能为空");
    k.existsAdding = QStringLiteral("存在同名的%1，请改名").arg(n);
    k.existsEditing = k.existsAdding;
    k.noneToEdit = QStringLiteral("请先选中要修改的%1").arg(n);
    k.noneToDelete = QStringLiteral("请先选中要删除的%1").arg(n);
    return k;
}

QList<TParameterKind> makeKinds()
{
    TParameterKind reason = kind(1, "收支种类", QRect(32, 344, 121, 81), 1, "种类", "种类");
    reason.loadFailed = QStringLiteral("读入帐款收支种类失败");
    // The kinds' prompt asks for "种类的名称" both when adding and when changing.
    reason.addPrompt = QStringLiteral("请输入种类的名称");
    TParameterKind type = kind(2, "款项类别", QRect(188, 344, 121, 81), 4, "类别", "类别");
    type.loadFailed = QStringLiteral("读入帐款类别失败");
    TParameterKind token = kind(3, "款项凭证", QRect(344, 344, 121, 81), 7, "凭证", "凭证");
    token.loadFailed = QStringLiteral("读入帐款凭证失败");
    TParameterKind man = kind(4, "业务员列表", QRect(32, 192, 121, 73), 16, "业务员名称", "");
    man.loadFailed = QStringLiteral("读入业务员失败");
    man.addPrompt = QStringLiteral("请输入要新增的业务员名称");
    man.editPrompt = QStringLiteral("请输入业务员名称");
    man.empty = QStringLiteral("业务员名称不能为空");
    man.existsAdding = QStringLiteral("该业务员名称已存在，请改名");
    man.existsEditing = QStringLiteral("该业务员名称已经存在，请改名");
    return {reason, type, token, man};
}

} // namespace

const QList<TParameterKind> &ParameterKinds()
{
    static const QList<TParameterKind> kinds = makeKinds();
    return kinds;
}

const TParameterKind &ParameterKindOf(int type)
{
    Q_ASSERT(type >= 1 && type <= 4);
    return ParameterKinds().at(qBound(1, type, 4) - 1);
}
