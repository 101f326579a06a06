#include "ui/kit/SectionLayout.h"

#include <QLayout>
#include <QWidget>

namespace SectionLayout {
void clear(QLayout* layout) {
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        } else if (QLayout* child = item->layout()) {
            clear(child);
        }
        delete item;
    }
}
} // namespace SectionLayout
