#pragma once
// A window's part found by its object name, as the program names its controls. The test
// stops at once when no part or more than one of that type carries the name, rather than
// going on with a null pointer or the wrong part. Qt::FindDirectChildrenOnly leaves out the
// parts of the windows the owner holds (the Options dialog's OK, not the About box's).
#include <QByteArray>
#include <QObject>
#include <QtGlobal>

template <class T>
T *namedChild(const QObject &owner, const char *name,
              Qt::FindChildOptions options = Qt::FindChildrenRecursively)
{
    const QList<T *> found = owner.findChildren<T *>(QLatin1String(name), options);
    if (found.size() != 1)
        qFatal("%s has %d children named \"%s\" of the type asked for, not one",
               qPrintable(owner.objectName()), int(found.size()), name);
    return found.first();
}
