// With QM_REPORT_SHOTS set to a folder, a picture of a window goes there to be looked at.
#pragma once

#include <QString>
#include <QWidget>

inline void KeepShot(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("QM_REPORT_SHOTS");
    if (!dir.isEmpty())
        window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}
