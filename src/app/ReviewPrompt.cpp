#include "ReviewPrompt.h"

#include "library/SettingsKeys.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"
#include "platform/Translations.h"

#include <QDesktopServices>

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
    auto *alert = new AlertView(QStringLiteral("Ver%1 %2").arg(Bundle::version(), Translations::text("Write a Review")),
                                Translations::text("Rate Review Message"), this, Translations::text("Don't show again"),
                                {Translations::text("Write a Review"), Translations::text("Remind me later")});
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
