#pragma once
// The tests reach a window's controls as its users do: by what they are, through their
// object names, not through members made public for them.
#include <QObject>
#include <QtGlobal>

// The named child of `parent`; a missing one ends the test run, naming it.
template <class T> T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}
