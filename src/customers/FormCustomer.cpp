#include "FormCustomer.h"

#include "DbTransaction.h"
#include "Look.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

TFormCustomer *FormCustomer = nullptr;

namespace {

const QString CannotOpen = QStringLiteral("无法打开数据库");
const QString Duplicate = QStringLiteral("该客户名称已经存在，请重新操作");
const QString Vanished = QStringLiteral("找不到要修改的客户");

QString customerRow(qint64 index)
{
    return QStringLiteral("Select * From Customer Where CustomerIndex = %1").arg(index);
}

QString customerNamed(const QString &name)
{
    return QStringLiteral("Select * From Customer Where CustomerName = ") + Quoted(name);
}

bool setValues(DbQuery &q, const QList<QPair<QString, QString>> &values)
{
    for (const auto &v : values)
        if (!q.SetField(v.first, v.second))
            return false;
    return true;
}

// Renames customer customerIndex from oldName to newName: every money record whose
// MoneyUser equals oldName (by the database's comparison) gets the new name, and the
// customer row gets values (column → text), in one transaction. Either all of it is
// written or, on any failure, nothing. False with the message to show in *error.
bool renameAndUpdateCustomer(qint64 customerIndex, const QString &oldName, const QString &newName,
                             const QList<QPair<QString, QString>> &values, QString *error)
{
    const QString failed = QStringLiteral("客户资料修改失败，客户和它的记录都没有改动：");
    DbTransaction trans(&ShareDataModule->ADOConnection1);
    if (!trans.Active()) {
        *error = failed + trans.LastError();
        return false;
    }
    DbQuery &customer = ShareDataModule->ADOQueryTemp;
    customer.SetSQL(customerRow(customerIndex));
    if (!customer.Open()) {
        *error = failed + customer.LastError();
        return false;
    }
    if (customer.IsEmpty()) {
        *error = Vanished;
        return false;
    }
    if (oldName != newName) {
        DbQuery &records = ShareDataModule->ADOQueryTemp2;
        records.SetSQL(QStringLiteral("Select * From MoneyTable Where MoneyUser = ")
                       + Quoted(oldName));
        if (!records.Open()) {
            *error = failed + records.LastError();
            return false;
        }
        for (records.First(); !records.Eof(); records.Next()) {
            if (!records.Edit() || !records.SetField(QStringLiteral("MoneyUser"), newName)
                || !records.Post()) {
                *error = failed + records.LastError();
                return false; // rolled back: no record and not the customer renamed
            }
        }
    }
    customer.First();
    if (!customer.Edit() || !setValues(customer, values) || !customer.Post()) {
        *error = failed + customer.LastError();
        return false;
    }
    if (!trans.Commit()) {
        *error = failed + trans.LastError();
        return false;
    }
    return true;
}

} // namespace

TFormCustomer::TFormCustomer(QWidget *parent)
    : TCustomerFieldsDialog(parent, QStringLiteral("FormCustomer"), QStringLiteral("客户信息管理"),
                            QStringLiteral("Res/Customer2.ico"))
{
    ButtonDelete = new QToolButton(this);
    ButtonDelete->setObjectName(QStringLiteral("ButtonDelete"));
    ButtonDelete->setText(QStringLiteral("客户删除"));
    ButtonDelete->setIcon(LoadIcon(QStringLiteral("Res/Delete.ico")));
    ButtonDelete->setIconSize(QSize(32, 32));
    ButtonDelete->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ButtonDelete->setCursor(Qt::PointingHandCursor);
    ButtonDelete->setGeometry(22, 200, 73, 81);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormCustomer::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormCustomer::ActionNoExecute);
    connect(ButtonDelete, &QToolButton::clicked, this, &TFormCustomer::ActionDeleteExecute);
    setTabOrder(ButtonNo, ButtonDelete);
}

QList<QPair<QString, QString>> TFormCustomer::values() const
{
    QList<QPair<QString, QString>> out;
    for (int i = 0; i < CustomerFieldCount; ++i)
        out.append({CustomerFields()[i].column, m_edits[size_t(i)]->text()});
    return out;
}

void TFormCustomer::FormShow()
{
    FillRegionList(ComboBox1);
    if (DialogCustomerIndex == 0) {
        for (QLineEdit *edit : m_edits)
            edit->clear();
        ButtonDelete->hide();
        Edit1->setFocus();
        return;
    }
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    // Without the row there is nothing to edit: confirming would write nowhere.
    if (!RunQuery(q, customerRow(DialogCustomerIndex), QStringLiteral("客户资料读入失败"))) {
        done(NothingWritten);
        return;
    }
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要修改的记录"));
        done(NothingWritten);
        return;
    }
    q.First();
    for (int i = 0; i < CustomerFieldCount; ++i)
        m_edits[size_t(i)]->setText(q.FieldByName(CustomerFields()[i].column).AsString());
    ButtonDelete->show();
    Edit1->setFocus();
}

void TFormCustomer::ActionYesExecute()
{
    if (Edit1->text().isEmpty()) {
        Ui::Message(QStringLiteral("客户名称不得为空"));
        Edit1->setFocus();
        return;
    }
    if (DialogCustomerIndex == 0)
        insertCustomer();
    else
        updateCustomer();
}

void TFormCustomer::insertCustomer()
{
    const QString name = Edit1->text();
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, customerNamed(name), CannotOpen))
        return;
    if (!q.IsEmpty()) {
        Ui::Message(Duplicate);
        Edit1->setFocus();
        return;
    }
    if (!q.Append() || !setValues(q, values())
        || !q.SetField(QStringLiteral("CustomerPower"), Session::User()) || !q.Post()) {
        Ui::Message(QStringLiteral("客户资料保存失败：") + q.LastError(), QString(),
                    Ui::Icon::Error);
        q.Cancel();
        return;
    }
    Ui::Message(QStringLiteral("客户　%1　新增成功").arg(name));
    done(Written);
}

void TFormCustomer::updateCustomer()
{
    const QString typed = Edit1->text();
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, customerRow(DialogCustomerIndex), CannotOpen))
        return;
    if (q.IsEmpty()) {
        Ui::Message(Vanished);
        return;
    }
    q.First();
    const QString stored = q.FieldByName(QStringLiteral("CustomerName")).AsString();
    // The program compares the names exactly; the database finds a name that differs only
    // in the case of its letters, the customer's own included.
    if (stored != typed) {
        if (!RunQuery(q, customerNamed(typed), CannotOpen))
            return;
        if (!q.IsEmpty()) {
            Ui::Message(Duplicate);
            Edit1->setFocus();
            return;
        }
    }
    QString error;
    if (!renameAndUpdateCustomer(DialogCustomerIndex, stored, typed, values(), &error)) {
        Ui::Message(error, QString(), error == Vanished ? Ui::Icon::Information : Ui::Icon::Error);
        return;
    }
    Ui::Message(QStringLiteral("客户资料修改成功"));
    done(Written);
}

void TFormCustomer::ActionNoExecute()
{
    done(NothingWritten);
}

void TFormCustomer::reject()
{
    done(NothingWritten);
}

void TFormCustomer::ActionDeleteExecute()
{
    if (DialogCustomerIndex == 0)
        return;
    if (!Ui::Ask(QStringLiteral("确实要删除该客户吗？"), QStringLiteral("删除警告")))
        return;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, customerRow(DialogCustomerIndex), QStringLiteral("数据库打开失败")))
        return;
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要删除的客户，它可能已被删除"));
        return;
    }
    // Its money records keep the name: totals and reports still find them, and a
    // customer created later under the same name takes them over.
    q.First();
    if (!q.Delete()) {
        Ui::Message(QStringLiteral("删除客户时出错：") + q.LastError(), QString(), Ui::Icon::Error);
        return;
    }
    done(Written);
}
