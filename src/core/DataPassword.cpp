#include "DataPassword.h"

#include "FormAsk.h"
#include "Look.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QLineEdit>

bool CheckDataModificationPassword(DbQuery &scratch)
{
    // Without the prompt there is no way to ask: nothing may be changed then.
    Q_ASSERT(FormAsk);
    if (!FormAsk)
        return false;
    FormAsk->Title = QStringLiteral("修改密码");
    FormAsk->Prompt = QStringLiteral("请输入资料修改密码");
    FormAsk->Answer.clear();
    SetPasswordChar(FormAsk->Edit1, QLatin1Char('#'));
    if (Ui::ShowModal(FormAsk) != QDialog::Accepted)
        return false;
    const QString typed = FormAsk->Answer;
    if (!RunQuery(scratch, QStringLiteral("Select * From Power Where PowerName = '修改'"),
                  QStringLiteral("数据库打开失败")))
        return false;
    if (scratch.IsEmpty()) {
        Ui::Message(QStringLiteral("数据库出错，资料修改密码被删除"), QString(), Ui::Icon::Error);
        return false;
    }
    scratch.First();
    if (scratch.FieldByName(QStringLiteral("PowerKey")).AsString() != typed) {
        Ui::Message(QStringLiteral("密码错误，请重新操作"), QString(), Ui::Icon::Warning);
        return false;
    }
    return true;
}
