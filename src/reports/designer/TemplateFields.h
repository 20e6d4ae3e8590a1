// What a template may print: the fields of the data set its window hands to the engine and
// the variables it answers, per template file.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct TemplateField
{
    QString name;    // as the template writes it: {{name}}
    QString title;   // what the designer shows beside it
};

// The fields and variables of the template with this file name ("Report.frf", any case; a
// path is reduced to its name). A template the program does not print gets the engine's
// own variables only.
QList<TemplateField> TemplateFields(const QString &fileName);

// The data-set fields of that template alone (no variables), in order.
QStringList TemplateDataFields(const QString &fileName);
