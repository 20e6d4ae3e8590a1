// Loading and saving a report template as a `.frf` file: readable, versioned XML
// (docs/report-format.md). A load never crashes on a bad file: it fails with a Chinese
// message that names the file and, for a malformed one, the line and column.
#pragma once

#include "ReportTemplate.h"

#include <QByteArray>
#include <QString>

namespace ReportFormat {

// The version this program writes; it reads this one and every older one.
constexpr int Version = 1;

// Parses a template from the XML text. False, with a Chinese message, when malformed.
bool Read(const QByteArray &xml, ReportTemplate *out, QString *error);
// The XML text of a template.
QByteArray Write(const ReportTemplate &report);

// Loads the file. False, with a Chinese message, when it is missing, unreadable or malformed.
bool Load(const QString &path, ReportTemplate *out, QString *error);
// Saves to the file through a temporary one renamed into place, so a failure or a crash
// leaves the old file whole. False, with a Chinese message, when it cannot be written.
bool Save(const ReportTemplate &report, const QString &path, QString *error);

}  // namespace ReportFormat
