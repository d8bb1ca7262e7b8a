#pragma once

#include <QString>

// How the library reports the one failure it shows the user (a folder that could not be
// created): the shell answers with a one-button alert.
class LibraryErrorReporter
{
public:
    virtual ~LibraryErrorReporter() = default;
    virtual void reportError(const QString &title, const QString &message, const QString &button) = 0;
};
