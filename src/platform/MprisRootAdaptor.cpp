#include "MprisRootAdaptor.h"

#include "MprisService.h"

#include <QCoreApplication>

MprisRootAdaptor::MprisRootAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service)
{}

void MprisRootAdaptor::Raise()
{
    emit m_service->raiseRequested();
}

void MprisRootAdaptor::Quit()
{
    QCoreApplication::quit();
}
