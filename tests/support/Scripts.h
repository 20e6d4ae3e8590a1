// What many tests script the same way: signing in through the welcome and login windows,
// the book chooser, the data modification password in the prompt window, and registering
// a test's windows in their global slots.
#pragma once

#include "Registry.h"

#include <QString>

class ScriptedUi;

// The welcome window's 用户登录, then the login window: user chosen, password typed, 确定.
void ScriptSignIn(ScriptedUi &ui, const QString &user, const QString &password = QString());
// The book chooser: the picture of book 0 (cash), 1 (receivable) or 2 (payable); -1
// closes it without a choice.
void ScriptBook(ScriptedUi &ui, int book);
// The prompt window: typed and 确定; a null text is 取消.
void ScriptPassword(ScriptedUi &ui, const QString &typed);

// RegisterWindow for each slot and window in turn: RegisterWindows(FormMain, &main, …).
inline void RegisterWindows() { }
template <typename T, typename... Rest> void RegisterWindows(T *&slot, T *window, Rest &&...rest)
{
    RegisterWindow(slot, window);
    RegisterWindows(std::forward<Rest>(rest)...);
}
