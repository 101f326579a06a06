#include "services/reports/ExportFormat.h"

QString exportFormatLabel(ExportFormat format) {
    switch (format) {
    case ExportFormat::markdown:
        return QStringLiteral("Markdown");
    case ExportFormat::plainText:
        return QStringLiteral("Plain Text");
    case ExportFormat::csv:
        return QStringLiteral("CSV");
    }
    return {};
}

const QList<ExportFormat>& allExportFormats() {
    static const QList<ExportFormat> formats{ExportFormat::markdown, ExportFormat::plainText,
                                             ExportFormat::csv};
    return formats;
}
