#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A modal alert of the updater: a title (the bold first line), a message below it, a style and its
// buttons, the first being the default.
struct UpdateAlert {
    enum class Style { warning = 0, informational = 1 };

    QString title;
    QString message;
    Style style = Style::warning;
    QStringList buttons{QStringLiteral("OK")};

    // Called with the index of the chosen button; closing the alert otherwise counts as the last one.
    using Answer = std::function<void(int button)>;
    // Shows an alert without waiting for it; calls the answer (which may be empty) once it is closed.
    using Presenter = std::function<void(const UpdateAlert& alert, Answer answer)>;

    // The real presentation: an application-modal QMessageBox (window title "Pendlow", texts shown as
    // plain text), raised and activated, deleted once answered.
    static void showMessageBox(const UpdateAlert& alert, Answer answer);
};
