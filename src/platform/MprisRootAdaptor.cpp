#include "MprisRootAdaptor.h"

#include "MprisService.h"

#include <QCoreApplication>

MprisRootAdaptor::MprisRootAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service)
{}

void MprisRootAdaptor::Raise()
{
    // The program shows, restores and raises its window (a second start asks this too).
    emit m_service->raiseRequested();
}

void MprisRootAdaptor::Quit()
{
    QCoreApplication::quit();
}
