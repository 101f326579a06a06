#pragma once

#include <QList>
#include <QString>

// The three whole-day formats of the export dialog, in the order it offers them.
enum class ExportFormat { markdown, plainText, csv };

// "Markdown", "Plain Text", "CSV": the label of the format's segment.
QString exportFormatLabel(ExportFormat format);
// Every format, in the order above.
const QList<ExportFormat>& allExportFormats();
