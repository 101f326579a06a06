// Puts a secret of the application into the desktop keyring, or removes it, the way the application
// stores it (service "com.brisvane.Pendlow", key = item name), for the system tests.
//   pendlow-test-keyring set <item>       the value is read from standard input (one line)
//   pendlow-test-keyring delete <item>
#include "support/TaskAwait.h"

#include "platform/KeychainService.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    const QString item = args.value(2);
    if (args.size() != 3 || item.isEmpty() ||
        (command != QLatin1String("set") && command != QLatin1String("delete"))) {
        std::fputs("usage: pendlow-test-keyring set|delete <item>\n", stderr);
        return 2;
    }

    KeychainService& keychain = KeychainService::shared();
    TaskOutcome<void> outcome;
    if (command == QLatin1String("set")) {
        QTextStream input(stdin);
        const QString value = input.readLine();
        outcome = awaitTask(keychain.setValue(value, item));
    } else {
        outcome = awaitTask(keychain.deleteValue(item));
    }
    if (!outcome.finished || outcome.failed()) {
        std::fprintf(stderr, "%s %s failed: %s\n", qPrintable(command), qPrintable(item),
                     outcome.finished ? qPrintable(outcome.errorDescription()) : "timed out");
        return 1;
    }
    return 0;
}
