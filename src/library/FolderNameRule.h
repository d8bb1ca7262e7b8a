#pragma once

#include <QString>

// Whether a typed name can become one visible folder of the library. The root's own
// names, the names the listings hide, anything the file system would take as a path or
// hide (a slash, "." and "..", a leading dot) and control characters are refused, so
// a folder that was "created" always shows in the list as typed.
class FolderNameRule
{
public:
    enum class Refusal { None, Empty, Invalid };

    FolderNameRule() = delete;
    static Refusal check(const QString &name);
};
