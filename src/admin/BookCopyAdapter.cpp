// MERGE ADAPTER placeholder, deleted at the merge: this branch has no server engine to move
// a book into, so the move says so and changes nothing.
#include "BookCopyAdapter.h"

DbCopyResult MoveBookToServer(DbConnection &, const QString &, const QString &,
                              const DbCopyProgress &)
{
    DbCopyResult result;
    result.ok = false;
    result.origin = DbCopyResult::Origin::None;
    result.text = QStringLiteral("这个版本的软件还不能把帐本移到服务器。");
    return result;
}
