#include "services/usage/FrontApplication.h"

#include "services/usage/AppIdentity.h"

FrontApplication FrontApplication::from(const FrontWindow& window) {
    FrontApplication application;
    application.appId = AppIdentity::appId(window.desktopFileId, window.gtkApplicationId,
                                           window.wmClassInstance, window.wmClassClass);
    application.name = window.name;
    application.processId = window.processId;
    application.windowId = window.windowId;
    return application;
}
