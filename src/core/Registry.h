// The global pointers by which windows reach one another (FormMain, FormAsk, …) are set
// here, by the one place that creates the windows, never by a window itself.
#pragma once

#include <QObject>

#include <type_traits>

// Makes window the registered one of its kind unless another live window already is:
// true when it took the place. The pointer is cleared when the window is destroyed, so
// it never points at a window that is gone.
template <typename T>
bool RegisterWindow(T *&slot, T *window)
{
    static_assert(std::is_base_of_v<QObject, T>, "windows are QObjects");
    if (!window || slot)
        return false;
    slot = window;
    QObject::connect(window, &QObject::destroyed, [&slot, window] {
        if (slot == window)
            slot = nullptr;
    });
    return true;
}

// The same for an object that is not a window (the shared data module): registered while
// this guard lives, cleared when it goes, which the owner arranges to be before the object.
template <typename T>
class Registration
{
public:
    Registration(T *&slot, T *object) : m_slot(slot), m_object(object)
    {
        if (!m_slot)
            m_slot = m_object;
    }
    ~Registration()
    {
        if (m_slot == m_object)
            m_slot = nullptr;
    }
    Registration(const Registration &) = delete;
    Registration &operator=(const Registration &) = delete;
    bool Registered() const { return m_slot == m_object; }

private:
    T *&m_slot;
    T *m_object;
};
