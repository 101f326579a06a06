#include "services/tools/FormEncoding.h"

QByteArray encodeForm(const QList<QPair<QString, QString>>& fields) {
    QByteArray body;
    for (const auto& [key, value] : fields) {
        if (!body.isEmpty()) {
            body += '&';
        }
        body += key.toUtf8().toPercentEncoding() + '=' + value.toUtf8().toPercentEncoding();
    }
    return body;
}
