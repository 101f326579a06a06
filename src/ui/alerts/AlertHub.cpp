#include "ui/alerts/AlertHub.h"

#include <QCoreApplication>

AlertHub& AlertHub::instance() {
    static AlertHub* hub = new AlertHub(QCoreApplication::instance());
    return *hub;
}
