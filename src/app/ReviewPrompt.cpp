#include "ReviewPrompt.h"

#include "library/SettingsKeys.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Orbo", text);
}
} // namespace

bool ReviewPrompt::shouldShow()
{
    UserDefaults &defaults = UserDefaults::standard();
    const QString version = Bundle::version();
    return version != defaults.stringForKey(SettingsKeys::reviewWriteVerKey)
        && version != defaults.stringForKey(SettingsKeys::reviewDontShowVerKey);
}

AlertView *ReviewPrompt::showIfDue()
{
    if (!shouldShow())
        return nullptr;
    auto *alert = new AlertView(QStringLiteral("Ver%1 %2").arg(Bundle::version(), tr("Write a Review")),
                                tr("Rate Review Message"), this, tr("Don't show again"),
                                {tr("Write a Review"), tr("Remind me later")});
    alert->setTag(alertTag);
    alert->show();
    return alert;
}

void ReviewPrompt::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    if (alertView->tag() != alertTag)
        return;
    UserDefaults &defaults = UserDefaults::standard();
    if (buttonIndex == 1) {
        writeReview();
    } else if (buttonIndex == 0) {
        defaults.setObject(Bundle::version(), SettingsKeys::reviewDontShowVerKey);
        defaults.synchronize();
    }
}

void ReviewPrompt::writeReview()
{
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setObject(Bundle::version(), SettingsKeys::reviewWriteVerKey);
    defaults.synchronize();
    if (m_opener)
        m_opener(reviewPageUrl());
    else
        QDesktopServices::openUrl(reviewPageUrl());
}

QUrl ReviewPrompt::reviewPageUrl()
{
    return QUrl(QStringLiteral("appstream://org.orbo.Orbo"));
}
