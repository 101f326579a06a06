#include "platform/UpdateAlert.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

void UpdateAlert::showMessageBox(const UpdateAlert& alert, Answer answer) {
    auto* box = new QMessageBox();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowTitle(QStringLiteral("Pendlow"));
    box->setIcon(alert.style == Style::warning ? QMessageBox::Warning : QMessageBox::Information);
    // Parts of the texts come from the network (versions, error messages): never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(alert.title);
    box->setInformativeText(alert.message);
    if (auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
    }
    const QStringList labels = alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    QList<QPushButton*> buttons;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const bool last = i == labels.size() - 1;
        const auto role =
            i == 0 ? QMessageBox::AcceptRole : (last ? QMessageBox::RejectRole : QMessageBox::ActionRole);
        buttons.append(box->addButton(labels[i], role));
    }
    box->setDefaultButton(buttons.front());
    box->setEscapeButton(buttons.back());
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, answer = std::move(answer)] {
        const qsizetype chosen = buttons.indexOf(qobject_cast<QPushButton*>(box->clickedButton()));
        if (answer) {
            answer(chosen >= 0 ? int(chosen) : int(buttons.size() - 1));
        }
    });
    box->show();
    box->raise();
    box->activateWindow();
}
