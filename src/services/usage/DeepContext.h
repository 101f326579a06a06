#pragma once

#include <QCoroTask>
#include <QString>

#include <optional>

// What a capture learns beyond the window title: the address of the front browser tab, or the
// subject, sender and mailbox of the selected e-mail.
struct DeepContext {
    std::optional<QString> url;
    std::optional<QString> emailSubject;
    std::optional<QString> emailSender;
    std::optional<QString> emailMailbox;

    bool operator==(const DeepContext& other) const = default;
};

// Answers the deep context of the application in front, given its id and its window title; none when
// nothing is known. Asynchronous: the sources behind it have short time-outs and never block the GUI
// thread; it never throws.
class DeepContextSource {
public:
    virtual ~DeepContextSource() = default;
    virtual QCoro::Task<std::optional<DeepContext>> getContext(QString appId, QString windowTitle) = 0;
};
