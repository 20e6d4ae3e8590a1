// The data modification password check, run before stored records, accounts and customers
// are changed or deleted: the user types the password kept in the Power row "修改".
#pragma once

class DbQuery;

// Asks for the data modification password in the prompt dialog (echoed as "#") and
// compares it, letter case included, with the stored one, read on scratch, the scratch
// query the caller can spare. True when they are equal. False when the prompt is cancelled
// (nothing shown), the row cannot be read ("数据库打开失败"), the row is gone
// ("数据库出错，资料修改密码被删除") or the password differs ("密码错误，请重新操作").
// The prompt keeps the "#" echo: every user of the dialog sets the echo it needs.
bool CheckDataModificationPassword(DbQuery &scratch);
